#pragma once
// A small test runner for the Windows checks, which run under Wine where no
// test framework is at hand. Each case counts as passed when none of its
// checks failed and it threw nothing.

#include <functional>
#include <string>
#include <vector>

#include "contracts/runtime_error.h"

namespace vamu::wincheck {

struct Case {
    const char* name;
    std::function<void()> body;
};

std::vector<Case>& cases();
void fail(const char* expression, const char* file, int line);

struct Registrar {
    Registrar(const char* name, std::function<void()> body) { cases().push_back({name, std::move(body)}); }
};

// The run-time error number the statement raised, 0 for none, -1 for an
// exception of another kind.
int errorOf(const std::function<void()>& statement);

}  // namespace vamu::wincheck

#define WINCHECK_JOIN2(a, b) a##b
#define WINCHECK_JOIN(a, b) WINCHECK_JOIN2(a, b)
#define CHECK_CASE(name)                                                             \
    static void name();                                                              \
    static ::vamu::wincheck::Registrar WINCHECK_JOIN(registrar_, name)(#name, name); \
    static void name()
#define CHECK(condition)                                                          \
    do {                                                                          \
        if (!(condition)) ::vamu::wincheck::fail(#condition, __FILE__, __LINE__); \
    } while (false)
#define CHECK_RAISES(number, statement) CHECK(::vamu::wincheck::errorOf([&] { statement; }) == (number))
