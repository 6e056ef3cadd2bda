#pragma once
// The Windows implementations of the core's contracts, for one apartment.

#include <windows.h>
#include <oaidl.h>

#include <memory>

#include "contracts/automation.h"
#include "contracts/services.h"

namespace vamu {
class Module;
}

namespace vamu::win {

class WinTiles;

class WinPlatform {
public:
    explicit WinPlatform(HMODULE module);  // the DLL's own module handle
    ~WinPlatform();
    WinPlatform(const WinPlatform&) = delete;
    WinPlatform& operator=(const WinPlatform&) = delete;

    Services& services();
    // Makes the map tiles (from the settings file and the process's
    // environment) for the module: its tiles while its panel's main map is
    // built in, none with an installed map control. The panels made from
    // now on draw from them.
    WinTiles& startTiles(Module& module);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// An object handed over by a caller, held as a counted reference; calls on
// its views go through IDispatch. A null pointer gives a null reference.
ObjectRef wrapDispatch(IDispatch* object);

}  // namespace vamu::win
