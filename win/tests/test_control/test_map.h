#pragma once
// The test map control: the project's built-in map window (MapWindow) behind
// a dispatch interface with the installed control's identifiers, a
// connection point for PositionChanged, in-place activation and a type
// library. Members: ole_object.cpp (IOleObject, IOleInPlaceObject),
// map_dispatch.cpp (IDispatch), event_point.cpp (connection point),
// module.cpp (identity, persistence, class information, the DLL exports),
// factory.cpp (the class object).

#include <windows.h>
#include <ocidl.h>
#include <oleidl.h>

#include <memory>
#include <utility>
#include <vector>

#include "mapcontrol/replacement_map_control.h"
#include "win/panel/map_window.h"
#include "win/platform/clipboard.h"
#include "win/platform/com_ptr.h"

namespace vamu::testmap {

using win::ComPtr;

// Module-wide state shared by the pieces.
struct Module {
    HINSTANCE instance = nullptr;
    LONG objects = 0;
    LONG locks = 0;
    LONG connections = 0;
    LONG sinkRefs = 0;
    LONG userMode = -1;
    LONG ambientFont = 0;
    LONG fired = 0;
    LONG licensed = 0;  // controls made with the run-time licence key
    LONG active = 0;    // controls active in place
};
Module& module();
bool switchOn(const wchar_t* value);  // VAMU_TEST_MAP equals value
ComPtr<ITypeInfo> typeInfoOf(REFGUID guid);
IClassFactory* classFactory() noexcept;  // factory.cpp

class TestMap;

// The control's one connection point; it lives inside the control and
// shares its reference count.
class EventPoint final : public IConnectionPoint {
public:
    explicit EventPoint(TestMap& owner) noexcept : owner_(owner) {}
    ~EventPoint();

    // Raises PositionChanged on every sink; a sink's failure is raised as a
    // run-time error to the caller.
    void fire(std::int32_t lat, std::int32_t lng, std::int32_t third);

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP GetConnectionInterface(IID* iid) override;
    STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** container) override;
    STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override;
    STDMETHODIMP Unadvise(DWORD cookie) override;
    STDMETHODIMP EnumConnections(IEnumConnections** connections) override;

private:
    TestMap& owner_;
    std::vector<std::pair<DWORD, ComPtr<IDispatch>>> sinks_;
    DWORD nextCookie_ = 1;
};

class TestMap final : public IDispatch,
                      public IOleObject,
                      public IOleInPlaceObject,
                      public IPersistStreamInit,
                      public IProvideClassInfo,
                      public IConnectionPointContainer {
public:
    TestMap();

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IDispatch
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID member, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params,
                        VARIANT* result, EXCEPINFO* info, UINT* argError) override;

    // IOleObject
    STDMETHODIMP SetClientSite(IOleClientSite* site) override;
    STDMETHODIMP GetClientSite(IOleClientSite** site) override;
    STDMETHODIMP SetHostNames(LPCOLESTR app, LPCOLESTR object) override;
    STDMETHODIMP Close(DWORD saveOption) override;
    STDMETHODIMP SetMoniker(DWORD which, IMoniker* moniker) override;
    STDMETHODIMP GetMoniker(DWORD assign, DWORD which, IMoniker** moniker) override;
    STDMETHODIMP InitFromData(IDataObject* data, BOOL creation, DWORD reserved) override;
    STDMETHODIMP GetClipboardData(DWORD reserved, IDataObject** data) override;
    STDMETHODIMP DoVerb(LONG verb, LPMSG message, IOleClientSite* site, LONG index, HWND parent,
                        LPCRECT position) override;
    STDMETHODIMP EnumVerbs(IEnumOLEVERB** verbs) override;
    STDMETHODIMP Update() override;
    STDMETHODIMP IsUpToDate() override;
    STDMETHODIMP GetUserClassID(CLSID* clsid) override;
    STDMETHODIMP GetUserType(DWORD form, LPOLESTR* type) override;
    STDMETHODIMP SetExtent(DWORD aspect, SIZEL* size) override;
    STDMETHODIMP GetExtent(DWORD aspect, SIZEL* size) override;
    STDMETHODIMP Advise(IAdviseSink* sink, DWORD* connection) override;
    STDMETHODIMP Unadvise(DWORD connection) override;
    STDMETHODIMP EnumAdvise(IEnumSTATDATA** advise) override;
    STDMETHODIMP GetMiscStatus(DWORD aspect, DWORD* status) override;
    STDMETHODIMP SetColorScheme(LOGPALETTE* palette) override;

    // IOleWindow, IOleInPlaceObject
    STDMETHODIMP GetWindow(HWND* window) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL enter) override;
    STDMETHODIMP InPlaceDeactivate() override;
    STDMETHODIMP UIDeactivate() override;
    STDMETHODIMP SetObjectRects(LPCRECT position, LPCRECT clip) override;
    STDMETHODIMP ReactivateAndUndo() override;

    // IPersist, IPersistStreamInit
    STDMETHODIMP GetClassID(CLSID* clsid) override;
    STDMETHODIMP IsDirty() override;
    STDMETHODIMP Load(LPSTREAM stream) override;
    STDMETHODIMP Save(LPSTREAM stream, BOOL clearDirty) override;
    STDMETHODIMP GetSizeMax(ULARGE_INTEGER* size) override;
    STDMETHODIMP InitNew() override;

    // IProvideClassInfo
    STDMETHODIMP GetClassInfo(ITypeInfo** info) override;

    // IConnectionPointContainer
    STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** points) override;
    STDMETHODIMP FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;

private:
    ~TestMap();
    void readAmbients();
    // The built-in map; raises error 91 before activation.
    win::MapWindow& map();
    void invokeMember(DISPID member, WORD flags, DISPPARAMS& params, VARIANT* result);

    LONG refs_ = 1;
    win::WindowClasses classes_;
    win::WinClipboard clipboard_;
    mapcontrol::PersistedSettings settings_;
    bool overviewMode_ = false;
    EventPoint events_{*this};
    ComPtr<IOleClientSite> site_;
    ComPtr<IOleInPlaceSite> inPlaceSite_;
    std::unique_ptr<win::MapWindow> window_;
};

// The control's collections and their items: objects whose members are
// called by name.
ComPtr<IDispatch> layerCollection(MapLayers& layers);
ComPtr<IDispatch> areaCollection(MapAreas& areas);
// An automation object with no members.
ComPtr<IDispatch> plainObject();

}  // namespace vamu::testmap
