#pragma once
// The panel's top-level window: caption, border style, visibility, and a
// close request that never destroys it.

#include <windows.h>

#include <functional>
#include <optional>

#include "contracts/widgets.h"
#include "win/panel/window_procedure.h"

namespace vamu::win {

class FormWindow : public Window, private MessageTarget {
public:
    using CommandHandler = std::function<void(int id, int code)>;
    // A message the form has no use for itself: the result where the
    // handler took it, nothing for the default handling.
    using MessageHandler = std::function<std::optional<LRESULT>(UINT message, WPARAM wParam, LPARAM lParam)>;

    // Hidden, at the system's default position, with a client area of
    // clientWidth × clientHeight pixels and the fixed-single border.
    FormWindow(HINSTANCE instance, const std::u16string& caption, int clientWidth, int clientHeight);
    ~FormWindow() override;

    HWND handle() const noexcept { return window_.get(); }
    // WM_COMMAND from the child controls.
    void onCommand(CommandHandler handler) { command_ = std::move(handler); }
    void onOtherMessage(MessageHandler handler) { other_ = std::move(handler); }

    // Window
    void setCaption(const std::u16string& caption) override;
    std::u16string caption() override;
    // 0 none, 1 fixed single, 2 sizable, 3 fixed dialog, 4 fixed tool
    // window, 5 sizable tool window; anything else is error 380. The client
    // area keeps its size.
    void setBorderStyle(std::int16_t style) override;
    void setVisible(bool visible) override;
    bool visible() override;
    void show() override;
    void onCloseRequest(std::function<void(bool& cancel)> handler) override;

private:
    LRESULT onMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    void close();

    int clientWidth_;
    int clientHeight_;
    std::function<void(bool& cancel)> closeRequest_;
    CommandHandler command_;
    MessageHandler other_;
    UniqueWindow window_;
};

}  // namespace vamu::win
