// vamu-host.exe: plays the host program on Windows and drives the
// registered vamuMapserver.dll over COM through a map session given on the
// command line, printing the same lines as vamu-host on Linux.

#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <ole2.h>
#include <shellapi.h>

#include <cstdio>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "contracts/text.h"
#include "simulator/arguments.h"
#include "simulator/session_driver.h"
#include "win/host/com_endpoint.h"
#include "win/host/server_loader.h"

namespace {

// The command line as UTF-8 words, without the program's name.
std::vector<std::string> arguments() {
    int count = 0;
    LPWSTR* words = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> out;
    for (int i = 1; words && i < count; ++i) {
        const std::wstring word = words[i];
        out.push_back(vamu::toUtf8(std::u16string(word.begin(), word.end())));
    }
    LocalFree(words);
    return out;
}

// Takes "--dll PATH" out of the words: the DLL to load without registration.
bool takeDll(std::vector<std::string>& words, std::optional<std::wstring>& dll, std::string& error) {
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (words[i] != "--dll") continue;
        if (i + 1 == words.size()) {
            error = "--dll PATH is missing";
            return false;
        }
        const std::u16string path = vamu::fromUtf8(words[i + 1]);
        dll = std::wstring(path.begin(), path.end());
        words.erase(words.begin() + static_cast<std::ptrdiff_t>(i),
                    words.begin() + static_cast<std::ptrdiff_t>(i) + 2);
        return true;
    }
    return true;
}

class OleSession {
public:
    OleSession() : ok_(SUCCEEDED(OleInitialize(nullptr))) {}
    ~OleSession() {
        if (ok_) OleUninitialize();
    }
    OleSession(const OleSession&) = delete;
    OleSession& operator=(const OleSession&) = delete;
    bool ok() const noexcept { return ok_; }

private:
    bool ok_;
};

}  // namespace

int main() {
    using namespace vamu;
    // The lines are UTF-8 with bare line feeds, as on Linux.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    std::vector<std::string> words = arguments();
    std::optional<std::wstring> dll;
    std::string error;
    std::optional<sim::Options> options;
    if (takeDll(words, dll, error)) options = sim::parseArguments(words, error);
    if (!options) {
        std::cerr << "vamu-host: " << error << '\n'
                  << sim::kUsage
                  << "vamu-host.exe also takes --dll PATH: the DLL to load without registration\n";
        return 2;
    }
    if (options->help) {
        std::cout << sim::kHelp
                  << "vamu-host.exe also takes --dll PATH: the DLL to load without registration\n";
        return sim::kSessionDone;
    }
    if (options->version) {
        std::cout << "vamu-host " << VAMU_VERSION << '\n';
        return sim::kSessionDone;
    }
    host::setTileEnvironment(options->tiles);
    OleSession ole;
    if (!ole.ok()) {
        std::cerr << "vamu-host: OleInitialize failed\n";
        return sim::kSessionNotStarted;
    }
    const int status = sim::runSession(
        *options,
        [&](const std::filesystem::path& hostDir, sim::EventSink& sink) {
            win::ComPtr<IDispatch> server =
                dll ? host::createServerFromDll(*dll) : host::createRegisteredServer();
            return std::make_unique<host::ComEndpoint>(std::move(server), *options, hostDir, sink);
        },
        std::cout, std::cerr);
    std::cout.flush();
    return status;
}
