#include "native/ini_document.h"

namespace vamu::native {
namespace {

constexpr std::string_view kNewLine = "\r\n";

std::string_view trimmed(std::string_view s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

bool isBlank(std::string_view s) { return trimmed(s).empty(); }

char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

IniDocument::IniDocument(std::string_view bytes, const AnsiCodePage& codePage) : codePage_(codePage) {
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines_.push_back({std::string(bytes.substr(start)), ""});
            break;
        }
        const std::size_t breakSize = bytes.compare(end, 2, kNewLine) == 0 ? 2 : 1;
        lines_.push_back(
            {std::string(bytes.substr(start, end - start)), std::string(bytes.substr(end, breakSize))});
        start = end + breakSize;
    }
}

std::size_t IniDocument::find(std::string_view bytes, char c) const {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == c) return i;
        if (codePage_.isLeadByte(static_cast<std::uint8_t>(bytes[i]))) ++i;  // skip the trail byte
    }
    return std::string_view::npos;
}

bool IniDocument::isSectionHeader(const Line& line) const {
    const std::string_view text = trimmed(line.text);
    return !text.empty() && text.front() == '[';
}

std::string_view IniDocument::sectionName(const Line& line) const {
    const std::string_view inner = trimmed(line.text).substr(1);
    return trimmed(inner.substr(0, find(inner, ']')));
}

bool IniDocument::keyMatches(const Line& line, std::string_view key) const {
    const std::string_view text = trimmed(line.text);
    if (text.empty() || text.front() == ';' || text.front() == '[') return false;
    return sameName(trimmed(text.substr(0, find(text, '='))), key);
}

bool IniDocument::sameName(std::string_view a, std::string_view b) const {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (codePage_.isLeadByte(static_cast<std::uint8_t>(a[i])) && i + 1 < a.size()) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
            ++i;
        } else if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

void IniDocument::insertLine(std::size_t at, std::string text) {
    if (at > 0 && lines_[at - 1].ending.empty()) lines_[at - 1].ending = kNewLine;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), {std::move(text), std::string(kNewLine)});
}

void IniDocument::setString(std::string_view section, std::string_view key, std::string_view value) {
    section = trimmed(section);
    key = trimmed(key);
    std::size_t header = 0;
    while (header < lines_.size() &&
           !(isSectionHeader(lines_[header]) && sameName(sectionName(lines_[header]), section))) {
        ++header;
    }
    if (header == lines_.size()) {
        if (!lines_.empty() && !isBlank(lines_.back().text)) insertLine(lines_.size(), "");
        insertLine(lines_.size(), "[" + std::string(section) + "]");
        insertLine(lines_.size(), std::string(key) + "=" + std::string(value));
        return;
    }
    std::size_t lastFilled = header;
    for (std::size_t i = header + 1; i < lines_.size() && !isSectionHeader(lines_[i]); ++i) {
        if (keyMatches(lines_[i], key)) {
            const std::string_view text = trimmed(lines_[i].text);
            lines_[i].text = std::string(trimmed(text.substr(0, find(text, '=')))) + "=" + std::string(value);
            return;
        }
        if (!isBlank(lines_[i].text)) lastFilled = i;
    }
    insertLine(lastFilled + 1, std::string(key) + "=" + std::string(value));
}

std::string IniDocument::bytes() const {
    std::string out;
    for (const Line& line : lines_) out += line.text + line.ending;
    return out;
}

}  // namespace vamu::native
