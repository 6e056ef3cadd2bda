#pragma once
// The check runner of every program that runs under Wine, where no test
// framework is at hand. A check that fails prints its place and what it saw;
// a case passes when none of its checks failed and it threw nothing. Cases
// are registered with CHECK_CASE and run by runRegisteredCases, or run one at
// a time with runCase; report prints the totals.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "contracts/runtime_error.h"

namespace vamu::wine_test {

// Checks passed and failed so far, in all cases.
int& passes();
int& failures();
void fail(const char* file, int line, const std::string& what);

// Runs body as the case name: "[ok]     name" or "[FAILED] name" (after the
// checks that failed in it); true when it passed.
bool runCase(const std::string& name, const std::function<void()>& body);
// "label: N passed, N failed (N checks, N failed)" for the cases run so far;
// the exit status: 0 when every case passed, 1 otherwise.
int report(const std::string& label);

struct Case {
    const char* name;
    std::function<void()> body;
};
std::vector<Case>& cases();
struct Registrar {
    Registrar(const char* name, std::function<void()> body) { cases().push_back({name, std::move(body)}); }
};
// Runs the registered cases, or only those whose names contain one of the
// given words; then reports under label. Returns the exit status (2 when no
// case matched).
int runRegisteredCases(const std::string& label, const std::vector<std::string>& words);

// The run-time error number the statement raised, 0 for none, -1 for an
// exception of another kind.
int errorOf(const std::function<void()>& statement);

std::string narrow(const std::wstring& text);
std::string hex(unsigned long value);

}  // namespace vamu::wine_test

#define WINE_TEST_JOIN2(a, b) a##b
#define WINE_TEST_JOIN(a, b) WINE_TEST_JOIN2(a, b)
#define CHECK_CASE(name)                                                               \
    static void name();                                                                \
    static ::vamu::wine_test::Registrar WINE_TEST_JOIN(registrar_, name)(#name, name); \
    static void name()

#define CHECK(cond)                                             \
    do {                                                        \
        if (cond) {                                             \
            ++::vamu::wine_test::passes();                      \
        } else {                                                \
            ::vamu::wine_test::fail(__FILE__, __LINE__, #cond); \
        }                                                       \
    } while (0)

#define CHECK_RAISES(number, statement) CHECK(::vamu::wine_test::errorOf([&] { statement; }) == (number))

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
