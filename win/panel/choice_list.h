#pragma once
// The map's source list: a drop-down list box (CBS_DROPDOWNLIST). Only the
// user's pick raises the change event; a selection by program does not.

#include <windows.h>

#include "contracts/widgets.h"
#include "win/platform/handles.h"

namespace vamu::win {

class WinChoiceList : public ChoiceList {
public:
    explicit WinChoiceList(UniqueWindow window) : window_(std::move(window)) {}

    HWND handle() const noexcept { return window_.get(); }

    void setItems(const std::vector<std::u16string>& items) override;
    std::vector<std::u16string> items() override;
    void setSelected(std::int32_t index) override;  // -1 or outside the list: none
    std::int32_t selected() override;
    void onChange(std::function<void(std::int32_t index)> handler) override { change_ = std::move(handler); }

    // The user's pick reached the panel (CBN_SELCHANGE): the event for the
    // entry now selected (a failing handler is ignored).
    void changed();

private:
    std::function<void(std::int32_t)> change_;
    UniqueWindow window_;
};

}  // namespace vamu::win
