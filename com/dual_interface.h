#pragma once
// A dual interface written as C COM objects are: the interface pointer is
// the address of a DualInterface, whose first word points at an array of
// function pointers, IUnknown's and IDispatch's seven methods followed by
// one generated method per member row (request_member.h), row i at slot
// 7 + i. Rows are in the order of the IDL, and the type-library check
// (member_check.h) compares each row's slot with FUNCDESC::oVft, so the
// array is the vtable the IDL's header declares. A generated method takes
// `this` as its first parameter, as a COM method does on every target.

#include <windows.h>
#include <oaidl.h>

#include <array>
#include <span>
#include <vector>

#include "com/com_object.h"
#include "com/dispatch_table.h"

namespace vamu::com {

// The object behind a generated dual interface: its IUnknown and the
// requests its members run.
template <class Host>
class DualOwner : public IUnknown {
public:
    virtual Host& requests() = 0;

protected:
    ~DualOwner() = default;
};

// The vtable of one dual interface and what its IDispatch half answers
// with, made once per process from the interface's rows.
class DualVtable {
public:
    // base: the seven methods of IUnknown and IDispatch. Throws
    // std::logic_error for a row without a generated method.
    DualVtable(const IID& iid, std::span<const DispatchMember> members, const std::array<AnyMethod, 7>& base);

    const AnyMethod* slots() const noexcept { return slots_.data(); }
    const IID& iid() const noexcept { return iid_; }
    std::span<const DispatchMember> members() const noexcept { return members_; }

private:
    IID iid_;
    std::span<const DispatchMember> members_;
    std::vector<AnyMethod> slots_;
};

// One dual interface per Host: its vtable is made on the first object's
// construction, from the iid and rows that object gives.
template <class Host>
class DualInterface {
public:
    DualInterface(const IID& iid, std::span<const DispatchMember> members, DualOwner<Host>& owner)
        : table_(&vtableOf(iid, members)), owner_(&owner) {
        vtable_ = table_->slots();
    }

    // The interface pointer, typed as the IDL's header declares it.
    template <class Interface>
    Interface* as() noexcept {
        return reinterpret_cast<Interface*>(this);
    }
    static DualInterface& from(IDispatch* self) noexcept { return *reinterpret_cast<DualInterface*>(self); }

    const DualVtable& table() const noexcept { return *table_; }
    Host& requests() const { return owner_->requests(); }

    // The seven methods every dual interface begins with.
    static std::array<AnyMethod, 7> baseMethods() noexcept {
        return {reinterpret_cast<AnyMethod>(&QueryInterface), reinterpret_cast<AnyMethod>(&AddRef),
                reinterpret_cast<AnyMethod>(&Release),        reinterpret_cast<AnyMethod>(&GetTypeInfoCount),
                reinterpret_cast<AnyMethod>(&GetTypeInfo),    reinterpret_cast<AnyMethod>(&GetIDsOfNames),
                reinterpret_cast<AnyMethod>(&Invoke)};
    }

private:
    static const DualVtable& vtableOf(const IID& iid, std::span<const DispatchMember> members) {
        static const DualVtable table(iid, members, baseMethods());
        return table;
    }

    static HRESULT STDMETHODCALLTYPE QueryInterface(DualInterface* self, REFIID iid, void** object) noexcept {
        return self->owner_->QueryInterface(iid, object);
    }
    static ULONG STDMETHODCALLTYPE AddRef(DualInterface* self) noexcept { return self->owner_->AddRef(); }
    static ULONG STDMETHODCALLTYPE Release(DualInterface* self) noexcept { return self->owner_->Release(); }
    static HRESULT STDMETHODCALLTYPE GetTypeInfoCount(DualInterface*, UINT* count) noexcept {
        if (!count) return E_POINTER;
        *count = 1;  // the description of the interface
        return S_OK;
    }
    static HRESULT STDMETHODCALLTYPE GetTypeInfo(DualInterface* self, UINT index, LCID,
                                                 ITypeInfo** info) noexcept {
        return typeInfoAt(self->table_->iid(), index, info);
    }
    static HRESULT STDMETHODCALLTYPE GetIDsOfNames(DualInterface* self, REFIID iid, LPOLESTR* names,
                                                   UINT count, LCID, DISPID* ids) noexcept {
        return getIdsOfNames(self->table_->members(), iid, names, count, ids);
    }
    // Our own Invoke rather than ITypeInfo::Invoke, for VB's coercion and
    // write-back of by-reference arguments: see dispatch_table.h.
    static HRESULT STDMETHODCALLTYPE Invoke(DualInterface* self, DISPID id, REFIID iid, LCID lcid, WORD flags,
                                            DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo,
                                            UINT* argErr) noexcept {
        return invokeMember(self->table_->members(), self->as<IDispatch>(), id, iid, lcid, flags, params,
                            result, excepInfo, argErr);
    }

    const AnyMethod* vtable_ = nullptr;  // first, as in every COM object
    const DualVtable* table_;
    DualOwner<Host>* owner_;
};

}  // namespace vamu::com
