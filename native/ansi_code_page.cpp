#include "native/ansi_code_page.h"

#include <iconv.h>

#include <cerrno>

#include "contracts/runtime_error.h"
#include "contracts/text.h"

namespace vamu::native {
namespace {

class Converter {
public:
    Converter(const std::string& to, const std::string& from) : cd_(iconv_open(to.c_str(), from.c_str())) {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) raise(ErrorNumber::InvalidProcedureCall);
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts one whole character; the errno of the failure otherwise.
    int convert(std::string_view in, std::string& out) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char buffer[16];
        char* source = const_cast<char*>(in.data());
        std::size_t left = in.size();
        char* target = buffer;
        std::size_t room = sizeof buffer;
        if (iconv(cd_, &source, &left, &target, &room) == static_cast<std::size_t>(-1)) return errno;
        if (left != 0) return EINVAL;
        out.append(buffer, static_cast<std::size_t>(target - buffer));
        return 0;
    }

private:
    iconv_t cd_;
};

std::string utf16le(char16_t unit) { return {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)}; }

bool isSurrogate(char16_t unit) { return unit >= 0xD800 && unit < 0xE000; }

}  // namespace

AnsiCodePage::AnsiCodePage(std::string name) : name_(std::move(name)) {
    Converter toUtf8(std::string("UTF-8"), name_);
    for (int byte = 0; byte < 256; ++byte) {
        std::string ignored;
        leadBytes_[static_cast<std::size_t>(byte)] =
            toUtf8.convert(std::string(1, static_cast<char>(byte)), ignored) == EINVAL;
    }
}

std::string AnsiCodePage::encode(std::u16string_view text) const {
    Converter fromUtf16(name_, "UTF-16LE");
    std::string out;
    for (char16_t unit : text) {
        if (isSurrogate(unit) || fromUtf16.convert(utf16le(unit), out) != 0) out += '?';
    }
    return out;
}

std::u16string AnsiCodePage::decode(std::string_view bytes) const {
    Converter toUtf8(std::string("UTF-8"), name_);
    std::string utf8;
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t width =
            isLeadByte(static_cast<std::uint8_t>(bytes[i])) && i + 1 < bytes.size() ? 2 : 1;
        if (toUtf8.convert(bytes.substr(i, width), utf8) != 0) utf8 += "\xEF\xBF\xBD";
        i += width;
    }
    return fromUtf8(utf8);
}

}  // namespace vamu::native
