#pragma once
// A settings file as bytes in the ANSI code page, edited the way
// WritePrivateProfileString edits it: section and key names match without
// regard to the case of single-byte letters (two-byte characters compare
// exactly), spaces and tabs around names do not count, and every line the
// edit does not touch stays byte for byte. New lines end in CR LF.

#include <string>
#include <string_view>
#include <vector>

#include "native/ansi_code_page.h"

namespace vamu::native {

class IniDocument {
public:
    IniDocument(std::string_view bytes, const AnsiCodePage& codePage);

    // The first entry of the key in the first section of that name gets the
    // value (the key keeps its spelling). A missing key is added after the
    // last non-blank line of the section; a missing section is added at the
    // end of the file, after a blank line when the file has text.
    void setString(std::string_view section, std::string_view key, std::string_view value);

    std::string bytes() const;

private:
    struct Line {
        std::string text;    // without its line break
        std::string ending;  // "\r\n", "\n", "\r" or "" for a last line without one
    };

    std::string_view sectionName(const Line& line) const;  // empty view: no section header
    bool isSectionHeader(const Line& line) const;
    bool keyMatches(const Line& line, std::string_view key) const;
    bool sameName(std::string_view a, std::string_view b) const;
    std::size_t find(std::string_view bytes, char c) const;  // first single-byte c, or npos
    void insertLine(std::size_t at, std::string text);

    const AnsiCodePage& codePage_;
    std::vector<Line> lines_;
};

}  // namespace vamu::native
