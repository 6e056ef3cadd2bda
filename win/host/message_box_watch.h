#pragma once
// Closes the modal message boxes that the plug-in shows on this thread and
// keeps their titles and texts: a CBT hook sees each dialog when it is
// activated, and once the dialog's own loop runs it is read and sent OK.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace vamu::host {

struct SeenMessageBox {
    std::wstring title;
    std::wstring text;
};

class MessageBoxWatch {
public:
    MessageBoxWatch();
    ~MessageBoxWatch();
    MessageBoxWatch(const MessageBoxWatch&) = delete;
    MessageBoxWatch& operator=(const MessageBoxWatch&) = delete;

    bool active() const noexcept { return hook_ && messageHook_; }
    // The boxes seen since the last call, oldest first.
    std::vector<SeenMessageBox> take();
    // Told of each box as it is read, before it is closed.
    void onSeen(std::function<void(const SeenMessageBox&)> observer);

private:
    HHOOK hook_ = nullptr;
    HHOOK messageHook_ = nullptr;
};

}  // namespace vamu::host
