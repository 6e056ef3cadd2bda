#include "win/platform/host_binding.h"

#include "win/platform/bstr.h"
#include "win/platform/com_error.h"
#include "win/platform/com_ptr.h"
#include "win/platform/dispatch.h"
#include "win/win_platform.h"

namespace vamu::win {
namespace {

// The host's automation object, read through two entries of its function
// table (property gets with one out parameter each).
class Automation : public HostAutomation {
public:
    explicit Automation(ComPtr<IUnknown> object) : object_(std::move(object)) {}

    ObjectRef mapObject() override {
        ComPtr<IDispatch> map;
        call(kMapObjectEntry, map.put());
        if (!map) raise(ErrorNumber::ObjectNotSet);
        void* typed = nullptr;
        if (FAILED(map->QueryInterface(kHostMapIid, &typed)) || !typed) raise(ErrorNumber::TypeMismatch);
        auto held = ComPtr<IDispatch>::attach(static_cast<IDispatch*>(typed));
        return wrapDispatch(held.get());
    }

    std::u16string installationDirectory() override {
        Bstr directory;
        call(kInstallationDirectoryEntry, directory.put());
        return directory.str();
    }

private:
    template <class Out>
    void call(int entry, Out* out) {
        using Getter = HRESULT(STDMETHODCALLTYPE*)(void* self, Out* result);
        void* self = object_.get();
        void** table = *static_cast<void***>(self);
        const auto getter = reinterpret_cast<Getter>(table[entry]);
        const HRESULT hr = getter(self, out);
        if (FAILED(hr)) throw errorFromCall(hr, object_.get(), kHostAutomationIid);
    }

    ComPtr<IUnknown> object_;
};

}  // namespace

ErrorNumber creationError(HRESULT hr) noexcept {
    return hr == E_OUTOFMEMORY ? ErrorNumber::OutOfMemory : ErrorNumber::CannotCreateObject;
}

std::shared_ptr<HostAutomation> WinHostBinding::createAutomation() {
    ComPtr<IUnknown> object;
    const HRESULT hr =
        CoCreateInstance(kHostAutomationClsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                         kHostAutomationIid, object.putVoid());
    if (FAILED(hr)) raise(creationError(hr));
    if (!object) raise(ErrorNumber::ObjectNotSet);
    return std::make_shared<Automation>(std::move(object));
}

}  // namespace vamu::win
