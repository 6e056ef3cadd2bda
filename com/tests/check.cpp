#include "check.h"

namespace vamu::wine_test {

int& failures() {
    static int count = 0;
    return count;
}

int& passes() {
    static int count = 0;
    return count;
}

void fail(const char* file, int line, const std::string& what) {
    ++failures();
    std::printf("FAILED %s:%d: %s\n", file, line, what.c_str());
    std::fflush(stdout);
}

std::string narrow(const std::wstring& text) {
    if (text.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr,
                        nullptr);
    return out;
}

std::string hex(unsigned long value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", value);
    return text;
}

}  // namespace vamu::wine_test
