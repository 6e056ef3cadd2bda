// vamu-host's command line: NUL-separated words. Any words give options or a
// reason, never a crash or an exception; accepted options stay in range.

#include <cstdlib>

#include "fuzz/fuzz_input.h"
#include "simulator/arguments.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vamu::fuzz::Input input(data, size);
    std::vector<std::string> args;
    while (!input.empty() && args.size() < 64) args.emplace_back(input.field());
    std::string error;
    const auto options = vamu::sim::parseArguments(args, error);
    if (!options) {
        if (error.empty()) std::abort();  // a refusal always says why
        return 0;
    }
    if (options->width <= 0 || options->height <= 0) std::abort();
    for (const auto& request : options->requests) {
        if (request.kind == vamu::sim::RequestKind::Corners && request.degrees.size() != 4) std::abort();
        if (request.kind == vamu::sim::RequestKind::Centre && request.degrees.size() != 2) std::abort();
    }
    return 0;
}
