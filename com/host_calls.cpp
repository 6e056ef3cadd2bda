#include "com/host_calls.h"

namespace vamu::com {
namespace {

thread_local int t_depth = 0;

}  // namespace

HostCall::HostCall() noexcept { ++t_depth; }

HostCall::~HostCall() { --t_depth; }

int hostCallDepth() noexcept { return t_depth; }

}  // namespace vamu::com
