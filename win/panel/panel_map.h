#pragma once
// A map control as the panel holds it: the built-in map drawn in a window of
// the panel's own, or an installed ActiveX control in its site window.

#include <windows.h>

#include "contracts/map_control.h"

namespace vamu::win {

class PanelMap : public MapControl {
public:
    // The window that stands for the control on the panel.
    virtual HWND handle() const noexcept = 0;
};

}  // namespace vamu::win
