#pragma once
// The system's ANSI code page, as the "A" functions of Windows convert with
// it: Japanese Windows uses code page 932 (Shift_JIS with Microsoft's
// extensions). A character the code page lacks becomes '?', one for each
// UTF-16 unit, so a character outside the basic plane becomes "??".

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace vamu::native {

class AnsiCodePage {
public:
    // An iconv name such as "CP932"; one iconv does not know is error 5.
    explicit AnsiCodePage(std::string name = "CP932");

    std::string encode(std::u16string_view text) const;
    // Bytes that do not form a character become U+FFFD.
    std::u16string decode(std::string_view bytes) const;
    // True for the first byte of a two-byte character.
    bool isLeadByte(std::uint8_t byte) const noexcept { return leadBytes_[byte]; }

private:
    std::string name_;
    std::array<bool, 256> leadBytes_{};
};

}  // namespace vamu::native
