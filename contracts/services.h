#pragma once
// Everything outside the core, bundled as the core receives it.

#include <memory>
#include <string>

#include "contracts/host.h"
#include "contracts/platform.h"
#include "contracts/widgets.h"

namespace vamu {

class PanelFactory {
public:
    virtual ~PanelFactory() = default;
    // The panel's window with its frame, buttons, log and two map controls.
    virtual std::unique_ptr<PanelWidgets> create() = 0;
};

class VersionInfo {
public:
    virtual ~VersionInfo() = default;
    virtual std::u16string productName() = 0;
};

struct Services {
    HostBinding& host;
    Clipboard& clipboard;
    Pictures& pictures;
    MessageBoxes& messages;
    Clock& clock;
    ProfileWriter& profile;
    PanelFactory& panels;
    VersionInfo& version;
};

}  // namespace vamu
