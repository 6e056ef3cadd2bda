#pragma once
// How many calls from the host are running on this thread: work that must
// never run inside one (the re-publish of a view whose tiles arrived) asks
// here first. A modal loop inside a request (a message box) dispatches the
// panel's messages while the request is still running.

namespace vamu::com {

// Counts one call from the host for as long as it lives.
class HostCall {
public:
    HostCall() noexcept;
    ~HostCall();
    HostCall(const HostCall&) = delete;
    HostCall& operator=(const HostCall&) = delete;
};

// The calls from the host running on this thread, nested ones counted.
int hostCallDepth() noexcept;

}  // namespace vamu::com
