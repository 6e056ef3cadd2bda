#pragma once
// The host's automation class as the test process offers it: registered
// with CoRegisterClassObject for the time of a test, its instances reached
// by the plug-in through the entries 19 (the map object) and 38 (the
// installation directory) of their function table.

#include <windows.h>
#include <objbase.h>

#include <string>

#include "win/host/host_objects.h"

namespace vamu::host {

extern const CLSID kHostAutomationClsid;
extern const IID kHostAutomationIid;

class HostAutomationClass {
public:
    // Registers the class object; unregisters it on destruction.
    explicit HostAutomationClass(std::wstring installationDirectory);
    ~HostAutomationClass();
    HostAutomationClass(const HostAutomationClass&) = delete;
    HostAutomationClass& operator=(const HostAutomationClass&) = delete;

    bool registered() const noexcept { return cookie_ != 0; }
    int instancesMade() const noexcept;
    int mapObjectReads() const noexcept;
    int directoryReads() const noexcept;
    PlainObject& mapObject() noexcept;

private:
    DWORD cookie_ = 0;
};

}  // namespace vamu::host
