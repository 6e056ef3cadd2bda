// The test host for vamuMapserver.dll under Wine. One group of checks per
// run, named on the command line:
//   typelib | registered | unregistered | dispatch | session <host dir> | install <host dir> |
//   bench [calls] | random <host dir> [calls] | soak <host dir> [requests]

#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "win/tests/support/check.h"
#include "client_checks.h"

namespace {

using namespace vamu::wine_test;

std::wstring widen(const char* text) {
    std::wstring out;
    for (; *text; ++text) out += static_cast<wchar_t>(static_cast<unsigned char>(*text));
    return out;
}

// The group of checks the command line names, or nothing for an unknown one.
std::function<void()> group(int argc, char** argv) {
    const std::string what = argc > 1 ? argv[1] : "";
    const std::wstring dir = argc > 2 ? widen(argv[2]) : L"";
    const long count = argc > 3 ? std::atol(argv[3]) : 0;
    if (what == "typelib") return checkTypeLibrary;
    if (what == "registered") return checkRegistered;
    if (what == "unregistered") return checkUnregistered;
    if (what == "dispatch") return checkDispatchRules;
    if (what == "bench") return [argc, argv] { benchRequests(argc > 2 ? std::atol(argv[2]) : 20000); };
    if (argc < 3) return {};
    if (what == "session") return [dir] { checkSession(dir); };
    if (what == "install") return [dir] { checkInstallMessage(dir); };
    if (what == "random") return [dir, count] { randomCalls(count > 0 ? count : 20000, dir); };
    if (what == "soak") return [dir, count] { soakRequests(count > 0 ? count : 10000, dir); };
    return {};
}

}  // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    const std::function<void()> checks = group(argc, argv);
    if (!checks) {
        std::printf(
            "usage: vamu_wine_client typelib|registered|unregistered|dispatch|session DIR|install DIR|bench "
            "[N]|random DIR [N]|soak DIR [N]\n");
        return 2;
    }
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 2;
    runCase(argv[1], checks);
    CoUninitialize();
    return report(argv[1]);
}
