#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <exception>

#include "win/tests/check.h"

namespace vamu::wincheck {
namespace {

int failedChecks = 0;

}  // namespace

std::vector<Case>& cases() {
    static std::vector<Case> all;
    return all;
}

void fail(const char* expression, const char* file, int line) {
    ++failedChecks;
    std::printf("  check failed: %s (%s:%d)\n", expression, file, line);
}

int errorOf(const std::function<void()>& statement) {
    try {
        statement();
    } catch (const RuntimeError& e) {
        return e.number();
    } catch (...) {
        return -1;
    }
    return 0;
}

}  // namespace vamu::wincheck

int main() {
    using namespace vamu::wincheck;
    if (FAILED(OleInitialize(nullptr))) return 2;
    int passed = 0, failed = 0;
    for (const Case& c : cases()) {
        const int before = failedChecks;
        bool threw = false;
        try {
            c.body();
        } catch (const std::exception& e) {
            std::printf("  exception: %s\n", e.what());
            threw = true;
        } catch (...) {
            threw = true;
        }
        const bool ok = !threw && failedChecks == before;
        std::printf("%s %s\n", ok ? "[ok]    " : "[FAILED]", c.name);
        ++(ok ? passed : failed);
    }
    std::printf("%d passed, %d failed\n", passed, failed);
    std::fflush(stdout);
    OleUninitialize();
    return failed == 0 ? 0 : 1;
}
