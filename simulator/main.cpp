// vamu-host: plays the host program on this machine and drives the plug-in
// through a map session given on the command line.

#include <iostream>
#include <string>
#include <vector>

#include "simulator/arguments.h"
#include "simulator/native_endpoint.h"
#include "simulator/session_driver.h"

int main(int argc, char** argv) {
    using namespace vamu::sim;
    std::string error;
    const auto options = parseArguments(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!options) {
        std::cerr << "vamu-host: " << error << '\n' << kUsage;
        return 2;
    }
    if (options->help) {
        std::cout << kHelp;
        return 0;
    }
    if (options->version) {
        std::cout << "vamu-host " << VAMU_VERSION << '\n';
        return 0;
    }
    return runSession(
        *options,
        [&](const std::filesystem::path& hostDir, EventSink& sink) {
            return std::make_unique<NativeEndpoint>(*options, hostDir, sink, std::cout);
        },
        std::cout, std::cerr);
}
