// vamu-host: plays the host program on this machine and drives the plug-in
// through a map session given on the command line.

#include <iostream>
#include <string>
#include <vector>

#include "simulator/arguments.h"
#include "simulator/session.h"

int main(int argc, char** argv) {
    using namespace vamu::sim;
    std::string error;
    const auto options = parseArguments(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!options) {
        std::cerr << "vamu-host: " << error << '\n' << kUsage;
        return 2;
    }
    try {
        Session session(*options, std::cout);
        if (!session.start()) {
            session.finish(std::cerr);
            return 1;
        }
        for (const Request& request : options->requests) session.run(request);
        session.finish(std::cerr);
    } catch (const std::exception& e) {
        std::cerr << "vamu-host: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
