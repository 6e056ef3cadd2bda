#pragma once
// The layer buttons: a control array of radio buttons. Every click of the
// user raises the click event; setting a value by program does not.

#include <windows.h>

#include <memory>
#include <vector>

#include "contracts/widgets.h"
#include "win/platform/handles.h"

namespace vamu::win {

class WinOptionButton : public OptionButton {
public:
    explicit WinOptionButton(UniqueWindow window) : window_(std::move(window)) {}

    HWND handle() const noexcept { return window_.get(); }

    void setEnabled(bool enabled) override;
    void setVisible(bool visible) override;
    void setCaption(const std::u16string& caption) override;
    // True checks this button; the array unchecks the others.
    void setValue(bool value) override;
    bool enabled() override;
    bool visible() override;
    std::u16string caption() override;
    bool value() override;

    // Set by the array that holds the button.
    void onChecked(std::function<void()> uncheckOthers) { uncheckOthers_ = std::move(uncheckOthers); }

private:
    std::function<void()> uncheckOthers_;
    UniqueWindow window_;
};

class WinOptionButtons : public OptionButtons {
public:
    void add(UniqueWindow button);

    OptionButton& button(std::int16_t index) override;  // error 9 outside the array
    std::int16_t size() override;
    void onClick(std::function<void(std::int16_t index)> handler) override;

    // The user clicked button index: it becomes the selected one and the
    // click event is raised, also when it was selected already, as the
    // button reports every click (a failing handler is ignored).
    void clicked(std::int16_t index);

private:
    void uncheckAllBut(std::size_t index);

    std::vector<std::unique_ptr<WinOptionButton>> buttons_;
    std::function<void(std::int16_t index)> click_;
};

}  // namespace vamu::win
