// The Windows platform checks: every registered case, or those whose names
// contain a word given on the command line.

#include <windows.h>
#include <objbase.h>

#include <string>
#include <vector>

#include "win/tests/support/check.h"

int main(int argc, char** argv) {
    if (FAILED(OleInitialize(nullptr))) return 2;
    const int status =
        vamu::wine_test::runRegisteredCases("win", std::vector<std::string>(argv + 1, argv + argc));
    OleUninitialize();
    return status;
}
