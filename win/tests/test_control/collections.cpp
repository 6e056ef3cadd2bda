// The control's layer and data-set collections and their items, as objects
// whose members are called by name. Each is a snapshot taken when the
// collection is asked for.

#include <functional>
#include <string>
#include <vector>

#include "test_map.h"
#include "win/activex/excep_info.h"
#include "win/platform/bstr.h"
#include "win/platform/variant.h"

namespace vamu::testmap {
namespace {

// One member: its name and what a call of it (any kind, any arguments)
// returns.
struct Member {
    const wchar_t* name;
    std::function<void(DISPPARAMS&, VARIANT&)> call;
};

class NamedObject final : public IDispatch {
public:
    explicit NamedObject(std::vector<Member> members) : members_(std::move(members)) {
        InterlockedIncrement(&module().objects);
    }

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid != IID_IUnknown && iid != IID_IDispatch) return E_NOINTERFACE;
        *out = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    STDMETHODIMP_(ULONG) Release() override {
        const LONG left = InterlockedDecrement(&refs_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }
    STDMETHODIMP GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info) *info = nullptr;
        return DISP_E_BADINDEX;
    }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        if (!names || !ids || count == 0) return E_INVALIDARG;
        for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
        for (std::size_t i = 0; i < members_.size(); ++i) {
            if (lstrcmpiW(members_[i].name, names[0]) == 0) {
                ids[0] = static_cast<DISPID>(i + 1);
                return count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
            }
        }
        return DISP_E_UNKNOWNNAME;
    }
    STDMETHODIMP Invoke(DISPID member, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* info, UINT*) override {
        if (member < 1 || static_cast<std::size_t>(member) > members_.size()) return DISP_E_MEMBERNOTFOUND;
        DISPPARAMS none{};
        win::Variant ignored;
        VARIANT* out = result ? result : ignored.get();
        VariantInit(out);
        try {
            members_[static_cast<std::size_t>(member - 1)].call(params ? *params : none, *out);
        } catch (...) {
            return win::activex::reportCurrentException(info);
        }
        return S_OK;
    }

private:
    ~NamedObject() { InterlockedDecrement(&module().objects); }

    LONG refs_ = 1;
    std::vector<Member> members_;
};

ComPtr<IDispatch> named(std::vector<Member> members) {
    return ComPtr<IDispatch>::attach(new NamedObject(std::move(members)));
}

void setLong(VARIANT& out, std::int32_t value) {
    out.vt = VT_I4;
    out.lVal = value;
}

// A collection of count items; Item takes the zero-based index (by
// reference or by value) and raises error 9 outside the range.
ComPtr<IDispatch> collection(std::vector<std::function<ComPtr<IDispatch>()>> items) {
    const auto count = static_cast<std::int32_t>(items.size());
    return named({
        {L"Count", [count](DISPPARAMS&, VARIANT& out) { setLong(out, count); }},
        {L"Item",
         [items](DISPPARAMS& params, VARIANT& out) {
             if (params.cArgs != 1) raise(ErrorNumber::InvalidProcedureCall);
             const std::int32_t index = win::toLong(params.rgvarg[0]);
             if (index < 0 || static_cast<std::size_t>(index) >= items.size())
                 raise(ErrorNumber::SubscriptOutOfRange);
             out.vt = VT_DISPATCH;
             out.pdispVal = items[static_cast<std::size_t>(index)]().detach();
         }},
    });
}

}  // namespace

ComPtr<IDispatch> layerCollection(MapLayers& layers) {
    std::vector<std::function<ComPtr<IDispatch>()>> items;
    const std::int32_t count = layers.count();
    for (std::int32_t i = 0; i < count; ++i) {
        std::int32_t index = i;
        const auto layer = layers.item(index);
        const std::u16string title = layer->title();
        const std::int32_t scale = layer->layerScale(), id = layer->layerID();
        const bool enabled = layer->enabled();
        items.push_back([=] {
            return named({
                {L"Title",
                 [title](DISPPARAMS&, VARIANT& out) {
                     out.vt = VT_BSTR;
                     out.bstrVal = win::Bstr(title).detach();
                 }},
                {L"LayerScale", [scale](DISPPARAMS&, VARIANT& out) { setLong(out, scale); }},
                {L"LayerID", [id](DISPPARAMS&, VARIANT& out) { setLong(out, id); }},
                {L"Enabled",
                 [enabled](DISPPARAMS&, VARIANT& out) {
                     out.vt = VT_BOOL;
                     out.boolVal = enabled ? VARIANT_TRUE : VARIANT_FALSE;
                 }},
            });
        });
    }
    return collection(std::move(items));
}

ComPtr<IDispatch> areaCollection(MapAreas& areas) {
    std::vector<std::function<ComPtr<IDispatch>()>> items;
    const std::int32_t count = areas.count();
    for (std::int32_t i = 0; i < count; ++i) {
        std::int32_t index = i;
        const std::u16string code = areas.item(index)->areaCode();
        items.push_back([=] {
            return named({{L"AreaCode", [code](DISPPARAMS&, VARIANT& out) {
                               out.vt = VT_BSTR;
                               out.bstrVal = win::Bstr(code).detach();
                           }}});
        });
    }
    return collection(std::move(items));
}

ComPtr<IDispatch> plainObject() { return named({}); }

}  // namespace vamu::testmap
