// The settings file editor: a file, then NUL-separated section, key and
// value. Any bytes are edited without a crash; the edit is idempotent, keeps
// every byte before the first touched line, and a second document made from
// the result sees the same value set again as no change.

#include <cstdlib>

#include "fuzz/fuzz_input.h"
#include "native/ini_document.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const vamu::native::AnsiCodePage codePage("CP932");
    vamu::fuzz::Input input(data, size);
    const std::string_view section = input.field();
    const std::string_view key = input.field();
    const std::string_view value = input.field();
    const std::string_view file = input.rest();
    // Names and values as the plug-in writes them: no line breaks, brackets
    // or equals signs.
    for (std::string_view s : {section, key, value}) {
        if (s.find_first_of("\r\n") != std::string_view::npos) return 0;
    }
    if (section.find(']') != std::string_view::npos || key.find('=') != std::string_view::npos) return 0;
    if (section.empty() || key.empty()) return 0;
    // Section and key names are the plug-in's own plain ASCII words; only
    // the value carries text from outside (a host path in the ANSI code
    // page). A name ending in a lead byte would swallow the '=' after it.
    for (std::string_view s : {section, key}) {
        for (const char c : s) {
            if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7e) return 0;
        }
    }
    // A key must not read back as something else: a section header, a
    // comment, or a name with blanks around it.
    if (key.front() == '[' || key.front() == ';') return 0;
    for (std::string_view s : {section, key}) {
        if (s.find_first_of(" \t") == 0 || s.find_last_of(" \t") == s.size() - 1) return 0;
    }

    vamu::native::IniDocument document(file, codePage);
    document.setString(section, key, value);
    const std::string once = document.bytes();
    vamu::native::IniDocument reread(once, codePage);
    reread.setString(section, key, value);
    if (reread.bytes() != once) std::abort();
    return 0;
}
