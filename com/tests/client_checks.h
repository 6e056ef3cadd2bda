#pragma once
// The groups of checks the Wine client runs, one per command-line word.

#include <string>

namespace vamu::wine_test {

void checkTypeLibrary();
void checkRegistered();
void checkUnregistered();
void checkDispatchRules();
// A whole session against the host's objects; installDirectory is what the
// host's automation object reports, with its trailing backslash.
void checkSession(const std::wstring& installDirectory);
void benchRequests(long iterations);

}  // namespace vamu::wine_test
