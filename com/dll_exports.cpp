// The four entry points of an in-process COM server, and DllMain.

#include <windows.h>

#include "com/class_factory.h"
#include "com/registration.h"
#include "com/server_lifetime.h"

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        vamu::com::setDllModule(instance);
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* object) {
    return vamu::com::getClassObject(clsid, iid, object);
}

STDAPI DllCanUnloadNow() { return vamu::com::canUnload() ? S_OK : S_FALSE; }

STDAPI DllRegisterServer() { return vamu::com::registerServer(); }

STDAPI DllUnregisterServer() { return vamu::com::unregisterServer(); }

}  // extern "C"
