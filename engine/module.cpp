#include "engine/module.h"

namespace vamu {

Module::Module(Services& services_, PanelMaker makePanel)
    : services(services_), makePanel_(std::move(makePanel)) {}

PanelAccess& Module::panel() {
    if (!panel_) panel_ = makePanel_(*this);
    return *panel_;
}

}  // namespace vamu
