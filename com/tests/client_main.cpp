// The test host for vamuMapserver.dll under Wine. One group of checks per
// run, named on the command line:
//   typelib | registered | unregistered | dispatch | session <host dir> | install <host dir> |
//   bench [calls] | random <host dir> [calls] | soak <host dir> [requests]

#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "check.h"
#include "client_checks.h"

namespace {

using namespace vamu::wine_test;

std::wstring widen(const char* text) {
    std::wstring out;
    for (; *text; ++text) out += static_cast<wchar_t>(static_cast<unsigned char>(*text));
    return out;
}

bool run(int argc, char** argv) {
    const std::string what = argc > 1 ? argv[1] : "";
    if (what == "typelib") {
        checkTypeLibrary();
    } else if (what == "registered") {
        checkRegistered();
    } else if (what == "unregistered") {
        checkUnregistered();
    } else if (what == "dispatch") {
        checkDispatchRules();
    } else if (what == "session" && argc > 2) {
        checkSession(widen(argv[2]));
    } else if (what == "install" && argc > 2) {
        checkInstallMessage(widen(argv[2]));
    } else if (what == "random" && argc > 2) {
        randomCalls(argc > 3 ? std::atol(argv[3]) : 20000, widen(argv[2]));
    } else if (what == "soak" && argc > 2) {
        soakRequests(argc > 3 ? std::atol(argv[3]) : 10000, widen(argv[2]));
    } else if (what == "bench") {
        benchRequests(argc > 2 ? std::atol(argv[2]) : 20000);
    } else {
        std::printf(
            "usage: vamu_wine_client typelib|registered|unregistered|dispatch|session DIR|install DIR|bench "
            "[N]|random DIR [N]|soak DIR [N]\n");
        return false;
    }
    std::printf("%s: %d passed, %d failed\n", what.c_str(), passes(), failures());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 2;
    const bool known = run(argc, argv);
    CoUninitialize();
    return !known ? 2 : (failures() == 0 ? 0 : 1);
}
