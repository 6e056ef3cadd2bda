#include "win/panel/option_buttons.h"

#include "contracts/runtime_error.h"
#include "win/panel/window_procedure.h"

namespace vamu::win {

void WinOptionButton::setEnabled(bool enabled) { EnableWindow(handle(), enabled ? TRUE : FALSE); }

void WinOptionButton::setVisible(bool visible) { ShowWindow(handle(), visible ? SW_SHOWNA : SW_HIDE); }

void WinOptionButton::setCaption(const std::u16string& caption) { setWindowText(handle(), caption); }

void WinOptionButton::setValue(bool value) {
    SendMessageW(handle(), BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
    if (value && uncheckOthers_) uncheckOthers_();
}

bool WinOptionButton::enabled() { return IsWindowEnabled(handle()) != FALSE; }

bool WinOptionButton::visible() { return hasVisibleStyle(handle()); }

std::u16string WinOptionButton::caption() { return windowText(handle()); }

bool WinOptionButton::value() { return SendMessageW(handle(), BM_GETCHECK, 0, 0) == BST_CHECKED; }

void WinOptionButtons::add(UniqueWindow button) {
    const std::size_t index = buttons_.size();
    buttons_.push_back(std::make_unique<WinOptionButton>(std::move(button)));
    buttons_.back()->onChecked([this, index] { uncheckAllBut(index); });
}

OptionButton& WinOptionButtons::button(std::int16_t index) {
    if (index < 0 || static_cast<std::size_t>(index) >= buttons_.size())
        raise(ErrorNumber::SubscriptOutOfRange);
    return *buttons_[static_cast<std::size_t>(index)];
}

std::int16_t WinOptionButtons::size() { return static_cast<std::int16_t>(buttons_.size()); }

void WinOptionButtons::onClick(std::function<void(std::int16_t index)> handler) {
    click_ = std::move(handler);
}

void WinOptionButtons::clicked(std::int16_t index) {
    OptionButton& clicked = button(index);
    clicked.setValue(true);
    if (!click_) return;
    try {
        click_(index);
    } catch (...) {
        // The window procedure is no place for a failure to go on.
    }
}

void WinOptionButtons::uncheckAllBut(std::size_t index) {
    for (std::size_t i = 0; i < buttons_.size(); ++i) {
        if (i != index) SendMessageW(buttons_[i]->handle(), BM_SETCHECK, BST_UNCHECKED, 0);
    }
}

}  // namespace vamu::win
