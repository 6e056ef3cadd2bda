#include "contracts/text.h"

#include <cstdint>

namespace vamu {

std::string toUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        } else if (c >= 0xD800 && c < 0xE000) {
            c = 0xFFFD;  // a lone surrogate cannot be written as UTF-8
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

namespace {

// What a lead byte starts: the sequence's length and the range its second
// byte must lie in, which rules out overlong forms, encoded surrogates and
// code points above U+10FFFF. Length 0 for a byte that starts nothing.
struct Lead {
    int length;
    std::uint8_t low, high;
};

Lead leadOf(std::uint8_t b) {
    if (b < 0x80) return {1, 0, 0};
    if (b >= 0xC2 && b <= 0xDF) return {2, 0x80, 0xBF};
    if (b == 0xE0) return {3, 0xA0, 0xBF};
    if (b == 0xED) return {3, 0x80, 0x9F};
    if (b >= 0xE1 && b <= 0xEF) return {3, 0x80, 0xBF};
    if (b == 0xF0) return {4, 0x90, 0xBF};
    if (b >= 0xF1 && b <= 0xF3) return {4, 0x80, 0xBF};
    if (b == 0xF4) return {4, 0x80, 0x8F};
    return {0, 0, 0};
}

void appendUtf16(std::u16string& out, char32_t c) {
    if (c >= 0x10000) {
        c -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (c >> 10));
        out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    } else {
        out += static_cast<char16_t>(c);
    }
}

}  // namespace

// Malformed input becomes U+FFFD, one for each maximal ill-formed part (a
// truncated sequence gives one, a stray byte gives one).
std::u16string fromUtf8(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto b = static_cast<std::uint8_t>(text[i]);
        const Lead lead = leadOf(b);
        if (lead.length == 0) {
            out += u'\uFFFD';
            ++i;
            continue;
        }
        char32_t c = lead.length == 1 ? b : b & (0x7F >> lead.length);
        int k = 1;
        for (; k < lead.length && i + static_cast<std::size_t>(k) < text.size(); ++k) {
            const auto n = static_cast<std::uint8_t>(text[i + static_cast<std::size_t>(k)]);
            const std::uint8_t low = k == 1 ? lead.low : 0x80;
            const std::uint8_t high = k == 1 ? lead.high : 0xBF;
            if (n < low || n > high) break;
            c = (c << 6) | (n & 0x3F);
        }
        i += static_cast<std::size_t>(k);
        if (k < lead.length) {
            out += u'\uFFFD';
            continue;
        }
        appendUtf16(out, c);
    }
    return out;
}

std::size_t lengthOfFirstLines(std::u16string_view text, std::int32_t count) {
    std::size_t end = 0;
    for (std::int32_t line = 0; line < count; ++line) {
        const std::size_t lineEnd = text.find(u"\r\n", end);
        if (lineEnd == std::u16string_view::npos) return text.size();
        end = lineEnd + 2;
    }
    return end;
}

std::u16string decimalText(std::int64_t value) {
    const std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

}  // namespace vamu
