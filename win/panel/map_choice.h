#pragma once
// The panel's two maps: instances of the installed map control
// ProAtlas2002CtrlLib.ProAtlasCtrl when it is registered and can be created
// and activated, otherwise the built-in map. Both maps are always of the same
// kind. The line for the activity log says which one is in use and, after a
// fallback, why.

#include <windows.h>

#include <memory>
#include <string>

#include "contracts/platform.h"
#include "win/panel/panel_map.h"

namespace vamu::win {

inline constexpr wchar_t kMapControlProgId[] = L"ProAtlas2002CtrlLib.ProAtlasCtrl";

struct PanelMaps {
    std::unique_ptr<PanelMap> miniAtlas;
    std::unique_ptr<PanelMap> atlas;
    std::u16string logLine;
};

// Makes miniAtlas, then Atlas, as children of the panel's window at their
// places in its tab order.
PanelMaps makePanelMaps(HINSTANCE instance, HWND form, HFONT font, Clipboard& clipboard);

}  // namespace vamu::win
