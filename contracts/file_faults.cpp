#include "contracts/file_faults.h"

#include <utility>

namespace vamu {
namespace {

FileFaultHook& hook() {
    static FileFaultHook current;
    return current;
}

}  // namespace

FileFaultScope::FileFaultScope(FileFaultHook hook)
    : previous_(std::exchange(vamu::hook(), std::move(hook))) {}

FileFaultScope::~FileFaultScope() { hook() = std::move(previous_); }

FileFault fileFaultFor(FileCall call) { return hook() ? hook()(call) : FileFault::None; }

}  // namespace vamu
