#pragma once
// The groups of checks the Wine client runs, one per command-line word.

#include <cstddef>
#include <string>
#include <vector>

#include "win/host/host_objects.h"

namespace vamu::wine_test {

// The host's objects and calls, shared with vamu-host.exe.
using namespace ::vamu::host;

void checkTypeLibrary();
void checkRegistered();
void checkUnregistered();
void checkDispatchRules();
// A whole session against the host's objects; installDirectory is what the
// host's automation object reports, with its trailing backslash.
void checkSession(const std::wstring& installDirectory);
void benchRequests(long iterations);
// Initialize against a map control without the nationwide data set: the
// panel asks for it to be installed.
void checkInstallMessage(const std::wstring& installDirectory);

// With VAMU_EXPECT_MAP set to "hosted" or "builtin": the map the panel says
// it uses, and whether the test map control is loaded.
void checkMapInUse();
// The overview dragged with the mouse moves and publishes the main map.
void checkOverviewDrag(const std::vector<host::Events::Report>& reports);
// The session's reports and map file size, written to the file named by
// VAMU_SESSION_DIGEST when it is set.
void writeDigest(const std::vector<host::Events::Report>& reports, std::size_t redraws, long bitmapSize);
// count random Invoke calls against an initialised server in installDirectory.
void randomCalls(long count, const std::wstring& installDirectory);
// count ordinary requests, with the time per request and the memory in use
// after every 100.
void soakRequests(long count, const std::wstring& installDirectory);

}  // namespace vamu::wine_test
