#include "com/map_serv_object.h"

#include "com/map_serv_members.h"
#include "com/type_library.h"

namespace vamu::com {
MapServObject::MapServObject(Module& module)
    : requests_(module), dual_(IID__clsMapServ, mapServMembers(), *this) {}

HRESULT MapServObject::QueryInterface(REFIID iid, void** object) noexcept {
    IUnknown* const errorInfo = static_cast<ISupportErrorInfo*>(this);
    IUnknown* const classInfo = static_cast<IProvideClassInfo*>(this);
    return win::queryInterface(iid, object,
                               {{&IID_IUnknown, dual()},
                                {&IID_IDispatch, dual()},
                                {&IID__clsMapServ, dual()},
                                {&IID_ISupportErrorInfo, errorInfo},
                                {&IID_IProvideClassInfo, classInfo}});
}

HRESULT MapServObject::InterfaceSupportsErrorInfo(REFIID iid) noexcept {
    return IsEqualIID(iid, IID__clsMapServ) ? S_OK : S_FALSE;
}

HRESULT MapServObject::GetClassInfo(ITypeInfo** info) noexcept { return typeInfoOf(CLSID_clsMapServ, info); }

}  // namespace vamu::com
