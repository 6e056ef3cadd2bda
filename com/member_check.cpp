#include "com/member_check.h"

#include <cstdio>

#include "win/platform/bstr.h"
#include "win/platform/com_ptr.h"

namespace vamu::com {
namespace {

// The descriptions the type library lends out, handed back on every path.
class FuncDesc {
public:
    FuncDesc(ITypeInfo* info, UINT index) : info_(info) { hr_ = info->GetFuncDesc(index, &desc_); }
    ~FuncDesc() {
        if (desc_) info_->ReleaseFuncDesc(desc_);
    }
    FuncDesc(const FuncDesc&) = delete;
    FuncDesc& operator=(const FuncDesc&) = delete;
    const FUNCDESC* get() const noexcept { return SUCCEEDED(hr_) ? desc_ : nullptr; }

private:
    ITypeInfo* info_;
    FUNCDESC* desc_ = nullptr;
    HRESULT hr_;
};

std::u16string hex(unsigned long value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", value);
    return std::u16string(text, text + std::char_traits<char>::length(text));
}

std::u16string number(std::size_t value) { return hex(static_cast<unsigned long>(value)); }

// A parameter's type as a VARTYPE: VT_BYREF for a pointer, VT_ARRAY for a
// SAFEARRAY of the element type.
VARTYPE typeOf(const TYPEDESC& t) {
    if (t.vt == VT_PTR && t.lptdesc) return static_cast<VARTYPE>(VT_BYREF | typeOf(*t.lptdesc));
    if (t.vt == VT_SAFEARRAY && t.lptdesc) return static_cast<VARTYPE>(VT_ARRAY | t.lptdesc->vt);
    return t.vt;
}

INVOKEKIND invokeKindOf(MemberKind kind) {
    switch (kind) {
        case MemberKind::PropertyGet:
            return INVOKE_PROPERTYGET;
        case MemberKind::PropertyPut:
            return INVOKE_PROPERTYPUT;
        case MemberKind::Method:
            break;
    }
    return INVOKE_FUNC;
}

std::u16string paramDifference(const DispatchMember& m, std::size_t i, const ELEMDESC& e) {
    const std::u16string where = std::u16string(m.name) + u", parameter " + number(i) + u": ";
    const VARTYPE type = typeOf(e.tdesc);
    const USHORT flags = e.paramdesc.wParamFlags;
    if (i == m.count) {  // the retval
        if (type != (VT_BYREF | m.result) || (flags & PARAMFLAG_FRETVAL) == 0) {
            return where + u"the type library has the retval type " + hex(type) + u", the table " +
                   hex(m.result);
        }
        return {};
    }
    if (type != m.params[i]) {
        return where + u"type " + hex(type) + u" in the type library, " + hex(m.params[i]) + u" in the table";
    }
    const bool byReference = (m.params[i] & VT_BYREF) != 0;
    if (((flags & PARAMFLAG_FOUT) != 0) != byReference || (flags & PARAMFLAG_FRETVAL) != 0) {
        return where + u"[out] flags " + hex(flags) + u" disagree with the table";
    }
    if (((flags & PARAMFLAG_FOPT) != 0) != (i >= m.required)) {
        return where + u"optional in one and required in the other";
    }
    return {};
}

// Row index of the table sits at vtable slot 7 + index, after IUnknown's
// and IDispatch's methods.
std::size_t slotOffset(std::size_t index) { return (7 + index) * sizeof(void*); }

std::u16string functionDifference(ITypeInfo* info, const DispatchMember& m, std::size_t index,
                                  const FUNCDESC& f) {
    win::Bstr name;
    info->GetDocumentation(f.memid, name.put(), nullptr, nullptr, nullptr);
    if (name.str() != m.name)
        return u"the type library has " + name.str() + u" where the table has " + m.name;
    const std::u16string where = std::u16string(m.name) + u": ";
    if (f.memid != m.id) {
        return where + u"dispatch id " + hex(static_cast<unsigned long>(f.memid)) +
               u" in the type library, " + hex(static_cast<unsigned long>(m.id)) + u" in the table";
    }
    if (f.invkind != invokeKindOf(m.kind)) return where + u"the invoke kinds disagree";
    if (static_cast<std::size_t>(f.oVft) != slotOffset(index)) {
        return where + u"vtable offset " + number(static_cast<std::size_t>(f.oVft)) +
               u" in the type library, " + number(slotOffset(index)) + u" in the table";
    }
    const std::size_t params = m.count + (m.result == VT_EMPTY ? 0 : 1);
    if (static_cast<std::size_t>(f.cParams) != params) {
        return where + number(static_cast<std::size_t>(f.cParams)) + u" parameters in the type library, " +
               number(params) + u" in the table";
    }
    for (std::size_t i = 0; i < params; ++i) {
        std::u16string difference = paramDifference(m, i, f.lprgelemdescParam[i]);
        if (!difference.empty()) return difference;
    }
    return {};
}

}  // namespace

std::u16string differenceFromType(std::span<const DispatchMember> members, ITypeInfo* info) {
    HREFTYPE half = 0;
    win::ComPtr<ITypeInfo> vtable;
    if (!info || FAILED(info->GetRefTypeOfImplType(-1, &half)) ||
        FAILED(info->GetRefTypeInfo(half, vtable.put()))) {
        return u"the type library has no dual interface for the table";
    }
    TYPEATTR* attr = nullptr;
    if (FAILED(vtable->GetTypeAttr(&attr))) return u"the interface has no attributes";
    const std::size_t count = attr->cFuncs;
    vtable->ReleaseTypeAttr(attr);
    if (count != members.size()) {
        return u"the type library has " + number(count) + u" members, the table " + number(members.size());
    }
    for (std::size_t i = 0; i < count; ++i) {
        const FuncDesc desc(vtable.get(), static_cast<UINT>(i));
        if (!desc.get()) return u"member " + number(i) + u" cannot be read from the type library";
        std::u16string difference = functionDifference(vtable.get(), members[i], i, *desc.get());
        if (!difference.empty()) return difference;
    }
    return {};
}

}  // namespace vamu::com
