#pragma once
// The COM object of the class clsMapServ: the dual interface _clsMapServ,
// generated from its member rows (map_serv_members.cpp, dual_interface.h),
// ISupportErrorInfo and IProvideClassInfo over one core object. Every method
// is noexcept: no exception leaves the object, a failure is an HRESULT with
// error info.

#include <windows.h>
#include <ocidl.h>

#include "com/com_object.h"
#include "com/dual_interface.h"
#include "com/map_serv_requests.h"
#include "vamuMapserver.h"

namespace vamu::com {

class MapServObject
    : public ServerObject<MapServObject, DualOwner<MapServRequests>, ISupportErrorInfo, IProvideClassInfo> {
public:
    explicit MapServObject(Module& module);

    // The object's IUnknown and _clsMapServ (with the creator's reference).
    _clsMapServ* dual() noexcept { return dual_.as<_clsMapServ>(); }

    // Every member reaches the core through here; tests replace it with one
    // that throws, to show that nothing leaves the COM boundary.
    MapServRequests& requests() override { return requests_; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) noexcept override;

    // ISupportErrorInfo
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) noexcept override;

    // IProvideClassInfo
    HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** info) noexcept override;

protected:
    friend class win::RefCounted<MapServObject, DualOwner<MapServRequests>, ISupportErrorInfo,
                                 IProvideClassInfo>;
    virtual ~MapServObject() = default;  // tests derive from the class

private:
    MapServRequests requests_;
    DualInterface<MapServRequests> dual_;
};

}  // namespace vamu::com
