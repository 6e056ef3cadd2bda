#pragma once
// A minimal checker for the Wine client: every failed check is printed with
// its place and counted; the program's exit code is the number of failures.

#include <windows.h>

#include <cstdio>
#include <string>

namespace vamu::host {}

namespace vamu::wine_test {

int& failures();
int& passes();

void fail(const char* file, int line, const std::string& what);
std::string narrow(const std::wstring& text);
std::string hex(unsigned long value);

// The host's objects and calls, shared with vamu-host.exe.
using namespace ::vamu::host;

}  // namespace vamu::wine_test

#define CHECK(cond)                                             \
    do {                                                        \
        if (cond) {                                             \
            ++::vamu::wine_test::passes();                      \
        } else {                                                \
            ::vamu::wine_test::fail(__FILE__, __LINE__, #cond); \
        }                                                       \
    } while (0)

#define CHECK_HR(expected, actual)                                                                     \
    do {                                                                                               \
        const HRESULT vamu_hr_ = (actual);                                                             \
        if (vamu_hr_ == static_cast<HRESULT>(expected)) {                                              \
            ++::vamu::wine_test::passes();                                                             \
        } else {                                                                                       \
            ::vamu::wine_test::fail(__FILE__, __LINE__,                                                \
                                    #actual " gave " +                                                 \
                                        ::vamu::wine_test::hex(static_cast<unsigned long>(vamu_hr_)) + \
                                        ", expected " #expected);                                      \
        }                                                                                              \
    } while (0)

#define CHECK_WSTR(expected, actual)                                                                    \
    do {                                                                                                \
        const std::wstring vamu_a_ = (actual), vamu_e_ = (expected);                                    \
        if (vamu_a_ == vamu_e_) {                                                                       \
            ++::vamu::wine_test::passes();                                                              \
        } else {                                                                                        \
            ::vamu::wine_test::fail(__FILE__, __LINE__,                                                 \
                                    #actual " is \"" + ::vamu::wine_test::narrow(vamu_a_) +             \
                                        "\", expected \"" + ::vamu::wine_test::narrow(vamu_e_) + "\""); \
        }                                                                                               \
    } while (0)
