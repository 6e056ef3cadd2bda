#pragma once
// What keeps vamuMapserver.dll in use: the live COM objects it handed out
// (class factories included) and the locks taken with LockServer.

#include <windows.h>

namespace vamu::com {

// The DLL's own module handle, set once when the DLL is attached.
HMODULE dllModule() noexcept;
void setDllModule(HMODULE module) noexcept;

void objectCreated() noexcept;
void objectDestroyed() noexcept;
void lockServer(bool lock) noexcept;

// True when no object is alive and no lock is held.
bool canUnload() noexcept;

// Counts one live object for as long as it exists; a COM class holds one.
class ObjectCount {
public:
    ObjectCount() noexcept { objectCreated(); }
    ~ObjectCount() { objectDestroyed(); }
    ObjectCount(const ObjectCount&) = delete;
    ObjectCount& operator=(const ObjectCount&) = delete;
};

}  // namespace vamu::com
