#include "com/dispatch_table.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "com/error_report.h"
#include "win/platform/variant.h"

namespace vamu::com {
namespace {

// Member names are ASCII: folding A-Z is all the case-insensitive match
// needs, without a locale lookup per character.
char16_t folded(char16_t c) noexcept { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; }

std::u16string foldedName(const char16_t* name) {
    std::u16string out;
    for (; *name; ++name) out += folded(*name);
    return out;
}

// A table's names, folded and sorted once, for a binary search per lookup.
class NameIndex {
public:
    explicit NameIndex(std::span<const DispatchMember> members) {
        for (const DispatchMember& m : members) entries_.emplace_back(foldedName(m.name), m.id);
        std::sort(entries_.begin(), entries_.end());
    }
    DISPID find(const OLECHAR* name) const {
        std::u16string key;
        for (; *name; ++name) key += folded(static_cast<char16_t>(*name));
        const auto at = std::lower_bound(entries_.begin(), entries_.end(), std::pair(key, DISPID{INT32_MIN}));
        return at != entries_.end() && at->first == key ? at->second : DISPID_UNKNOWN;
    }

private:
    std::vector<std::pair<std::u16string, DISPID>> entries_;
};

const NameIndex& indexOf(std::span<const DispatchMember> members) {
    static std::mutex guard;
    static std::map<const DispatchMember*, std::unique_ptr<NameIndex>> indexes;
    const std::lock_guard lock(guard);
    auto& index = indexes[members.data()];
    if (!index) index = std::make_unique<NameIndex>(members);
    return *index;
}

// The entry that answers id under flags, as the system's dispatcher picks
// it: the flags must name the entry's kind. A property get also answers a
// plain call, as a script reads a property. A property put takes only
// DISPATCH_PROPERTYPUT: the properties hold strings, never object
// references, so DISPATCH_PROPERTYPUTREF finds no member.
bool answers(const DispatchMember& m, WORD flags) {
    switch (m.kind) {
        case MemberKind::Method:
            return (flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET)) != 0 &&
                   (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) == 0;
        case MemberKind::PropertyGet:
            return (flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET)) != 0 &&
                   (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) == 0;
        case MemberKind::PropertyPut:
            return (flags & DISPATCH_PROPERTYPUT) != 0;
    }
    return false;
}

const DispatchMember* find(std::span<const DispatchMember> members, DISPID id, WORD flags) {
    for (const DispatchMember& m : members) {
        if (m.id == id && answers(m, flags)) return &m;
    }
    return nullptr;
}

// The arrays must be there for the counts given, and no more names than
// arguments: E_INVALIDARG before anything is read from them.
HRESULT checkArrays(const DISPPARAMS& params) {
    if (params.cArgs != 0 && !params.rgvarg) return E_INVALIDARG;
    if (params.cNamedArgs != 0 && !params.rgdispidNamedArgs) return E_INVALIDARG;
    if (params.cNamedArgs > params.cArgs) return E_INVALIDARG;
    return S_OK;
}

HRESULT checkCounts(const DispatchMember& member, const DISPPARAMS& params) {
    if (member.kind == MemberKind::PropertyPut) {
        // The value goes as the named argument DISPID_PROPERTYPUT.
        if (params.cNamedArgs == 0 || params.rgdispidNamedArgs[0] != DISPID_PROPERTYPUT) {
            return DISP_E_PARAMNOTFOUND;
        }
        if (params.cNamedArgs > 1) return DISP_E_NONAMEDARGS;
    } else if (params.cNamedArgs != 0) {
        return DISP_E_NONAMEDARGS;
    }
    if (params.cArgs < member.required || params.cArgs > member.count) return DISP_E_BADPARAMCOUNT;
    return S_OK;
}

HRESULT run(const DispatchMember& member, IDispatch* self, LCID lcid, DISPPARAMS& params, VARIANT* result,
            EXCEPINFO* excepInfo, UINT* argErr) {
    BoundArgs args;
    const HRESULT bound = args.bind(member, params, lcid, argErr);
    if (FAILED(bound)) return bound;
    win::Variant value;
    const Status status = member.call(self, args, *value.get());
    args.writeBack();
    if (!status.ok()) return reportToInvoke(*status.error, excepInfo);
    if (result) {
        VariantClear(result);
        *result = value.ref();
        VariantInit(value.get());
    }
    return S_OK;
}

}  // namespace

HRESULT BoundArgs::bind(const DispatchMember& member, DISPPARAMS& params, LCID lcid, UINT* argErr) {
    count_ = params.cArgs;
    for (std::size_t i = 0; i < count_; ++i) {
        const auto type = static_cast<VARTYPE>(member.params[i] & ~VT_BYREF);
        const std::size_t position = count_ - 1 - i;  // rgvarg runs backwards
        const HRESULT hr = args_[i].bind(params.rgvarg[position], type, lcid);
        if (FAILED(hr)) {
            if (argErr) *argErr = static_cast<UINT>(position);
            return hr;
        }
    }
    return S_OK;
}

void BoundArgs::writeBack() noexcept {
    for (std::size_t i = 0; i < count_; ++i) args_[i].writeBack();
}

HRESULT getIdsOfNames(std::span<const DispatchMember> members, REFIID iid, LPOLESTR* names, UINT count,
                      DISPID* ids) noexcept {
    if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    if (count == 0) return S_OK;
    if (!names || !ids) return E_POINTER;
    for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
    if (names[0]) {
        try {
            ids[0] = indexOf(members).find(names[0]);
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
    }
    // Named arguments are not taken, so no parameter name is known.
    return ids[0] == DISPID_UNKNOWN || count > 1 ? DISP_E_UNKNOWNNAME : S_OK;
}

HRESULT invokeMember(std::span<const DispatchMember> members, IDispatch* self, DISPID id, REFIID iid,
                     LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo,
                     UINT* argErr) noexcept {
    if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    if (!params) return E_INVALIDARG;
    const HRESULT arrays = checkArrays(*params);
    if (FAILED(arrays)) return arrays;
    const DispatchMember* member = find(members, id, flags);
    if (!member) return DISP_E_MEMBERNOTFOUND;
    const HRESULT counts = checkCounts(*member, *params);
    if (FAILED(counts)) return counts;
    return atInvokeBoundary(excepInfo,
                            [&] { return run(*member, self, lcid, *params, result, excepInfo, argErr); });
}

}  // namespace vamu::com
