#include "win/host/server_loader.h"

#include <cstdio>
#include <stdexcept>

namespace vamu::host {

const CLSID kMapServClsid = {0xAC89BF8E, 0x8678, 0x4FBB, {0x99, 0x5A, 0x92, 0x20, 0x99, 0x45, 0x7A, 0x89}};

namespace {

void check(HRESULT hr, const char* step) {
    if (SUCCEEDED(hr)) return;
    char text[160];
    std::snprintf(text, sizeof text, "%s failed (HRESULT 0x%08lX)", step, static_cast<unsigned long>(hr));
    throw std::runtime_error(text);
}

}  // namespace

win::ComPtr<IDispatch> createRegisteredServer() {
    CLSID clsid{};
    check(CLSIDFromProgID(L"vamuMapserver.clsMapServ", &clsid), "CLSIDFromProgID(vamuMapserver.clsMapServ)");
    win::ComPtr<IDispatch> server;
    check(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, server.putVoid()),
          "CoCreateInstance(vamuMapserver.clsMapServ)");
    return server;
}

win::ComPtr<IDispatch> createServerFromDll(const std::wstring& dll) {
    const HMODULE module = LoadLibraryW(dll.c_str());
    if (!module) check(HRESULT_FROM_WIN32(GetLastError()), "LoadLibrary of the --dll file");
    using Entry = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    const auto entry =
        reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject")));
    if (!entry) throw std::runtime_error("the --dll file has no DllGetClassObject");
    win::ComPtr<IClassFactory> factory;
    check(entry(kMapServClsid, IID_IClassFactory, factory.putVoid()), "DllGetClassObject(clsMapServ)");
    win::ComPtr<IDispatch> server;
    check(factory->CreateInstance(nullptr, IID_IDispatch, server.putVoid()), "IClassFactory::CreateInstance");
    return server;
}

}  // namespace vamu::host
