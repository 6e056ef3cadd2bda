// The four entry points of an in-process COM server, DllMain, and the
// prefetch of map tiles (prefetch_entry.h). The system headers declare the
// COM ones without noexcept, so each only calls functions that are noexcept
// (and wrap their bodies in atBoundary).

#include <windows.h>

#include "com/class_factory.h"
#include "com/prefetch_entry.h"
#include "com/registration.h"
#include "com/server_lifetime.h"
#include "com/type_library.h"

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) vamu::com::setDllModule(instance);
    // Unloaded by FreeLibrary (not at process exit, where oleaut32 may be
    // gone already): the type descriptions go with the DLL.
    if (reason == DLL_PROCESS_DETACH && !reserved) vamu::com::releaseTypeInfos();
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* object) {
    return vamu::com::getClassObject(clsid, iid, object);
}

STDAPI DllCanUnloadNow() noexcept { return vamu::com::canUnload() ? S_OK : S_FALSE; }

STDAPI DllRegisterServer() noexcept { return vamu::com::registerServer(); }

STDAPI DllUnregisterServer() noexcept { return vamu::com::unregisterServer(); }

STDAPI VamuPrefetchTiles(const VamuPrefetchArea* area, VamuPrefetchProgress progress, void* context,
                         VamuPrefetchReport* report) noexcept {
    return vamu::com::prefetchTiles(area, progress, context, report);
}

}  // extern "C"
