#include "win/host/message_box_watch.h"

namespace vamu::host {
namespace {

// Sent to a box when it is activated; read when the box's own message loop
// takes it, by which time the box has its text.
constexpr UINT kReadBox = WM_APP + 0x5A;

std::vector<SeenMessageBox>& seen() {
    static std::vector<SeenMessageBox> boxes;
    return boxes;
}

std::function<void(const SeenMessageBox&)>& observer() {
    static std::function<void(const SeenMessageBox&)> told;
    return told;
}

std::wstring windowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(length));
    return text;
}

bool hasClass(HWND window, const wchar_t* expected) {
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    return _wcsicmp(name, expected) == 0;
}

BOOL CALLBACK takeStaticText(HWND child, LPARAM found) {
    auto& out = *reinterpret_cast<std::wstring*>(found);
    if (hasClass(child, L"Static")) out = windowText(child);
    return out.empty();
}

// The message: the box's static control with text (its number differs
// between systems, and the icon is a static control too).
std::wstring messageText(HWND box) {
    std::wstring text;
    EnumChildWindows(box, takeStaticText, reinterpret_cast<LPARAM>(&text));
    return text;
}

LRESULT CALLBACK onCbt(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
        const auto window = reinterpret_cast<HWND>(wParam);
        static HWND last = nullptr;  // a box activated again is the same box
        if (hasClass(window, L"#32770") && window != last) {
            last = window;
            PostMessageW(window, kReadBox, 0, 0);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK onGetMessage(int code, WPARAM wParam, LPARAM lParam) {
    auto* msg = reinterpret_cast<MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && msg->message == kReadBox) {
        seen().push_back({windowText(msg->hwnd), messageText(msg->hwnd)});
        if (observer()) observer()(seen().back());
        PostMessageW(msg->hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        msg->message = WM_NULL;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

MessageBoxWatch::MessageBoxWatch()
    : hook_(SetWindowsHookExW(WH_CBT, onCbt, nullptr, GetCurrentThreadId())),
      messageHook_(SetWindowsHookExW(WH_GETMESSAGE, onGetMessage, nullptr, GetCurrentThreadId())) {}

MessageBoxWatch::~MessageBoxWatch() {
    if (hook_) UnhookWindowsHookEx(hook_);
    if (messageHook_) UnhookWindowsHookEx(messageHook_);
}

void MessageBoxWatch::onSeen(std::function<void(const SeenMessageBox&)> told) {
    observer() = std::move(told);
}

std::vector<SeenMessageBox> MessageBoxWatch::take() {
    std::vector<SeenMessageBox> boxes;
    boxes.swap(seen());
    return boxes;
}

}  // namespace vamu::host
