#pragma once
// The map controls' properties as stored with the panel window: both show
// the nationwide data set at 1:5,000,000; only the overview has scroll bars.

#include "mapcontrol/replacement_map_control.h"

namespace vamu {

inline mapcontrol::PersistedSettings storedMapSettings(bool overview) {
    mapcontrol::PersistedSettings settings;
    settings.areaCode = u"RDW2010";
    settings.layerScale = 5000000;
    settings.scrollBar = overview;
    settings.mouseScroll = true;
    settings.keydownScroll = false;
    return settings;
}

}  // namespace vamu
