#include "win/platform/host_binding.h"

#include <array>

#include "win/platform/bstr.h"
#include "win/platform/com_error.h"
#include "win/platform/dispatch.h"
#include "win/platform/win_picture.h"

namespace vamu::win {
namespace {

// A host picture box, its members called by name.
class PictureBox : public HostPictureBox, private LateBound {
public:
    using LateBound::LateBound;

    void setPicture(const PictureRef& picture) override {
        ComPtr<IPictureDisp> disp;
        if (picture) disp = winPictureOf(picture).dispatch();
        setProperty(u"Picture", Variant::dispatch(disp.get()));
    }
    void setScaleMode(std::int16_t mode) override { setProperty(u"ScaleMode", Variant::i2(mode)); }
    double scaleWidth() override { return toDouble(property(u"ScaleWidth").ref()); }
    double scaleHeight() override { return toDouble(property(u"ScaleHeight").ref()); }
};

class Form : public HostForm, private LateBound {
public:
    using LateBound::LateBound;

    std::shared_ptr<HostPictureBox> picMap() override {
        Variant name = Variant::string(u"picMap");
        Variant result =
            invoke(object(), DISPID_VALUE, CallKind::MethodOrGet, std::span<VARIANT>(name.get(), 1));
        ComPtr<IDispatch> box = toDispatch(result.ref());
        if (!box) raise(ErrorNumber::ObjectNotSet);
        return std::make_shared<PictureBox>(std::move(box));
    }
    std::u16string caption() override { return toString(property(u"Caption").ref()); }
    void setCaption(const std::u16string& caption) override {
        setProperty(u"Caption", Variant::string(caption));
    }
};

// The events object. The arguments refer to the caller's variables; a
// string travels in a BSTR of its own whose final contents (the host may
// have replaced them) are copied back, also when the call fails.
class Events : public HostEvents, private LateBound {
public:
    using LateBound::LateBound;

    void signalInformation(double& x1, double& x2, double& y1, double& y2, std::u16string& info) override {
        Bstr text(info);
        std::array<VARIANT, 5> args{Variant::refR8(&x1).ref(), Variant::refR8(&x2).ref(),
                                    Variant::refR8(&y1).ref(), Variant::refR8(&y2).ref(),
                                    Variant::refBstr(text.put()).ref()};
        call(u"SignalInformation", args, text, info);
    }
    void signalSpecialRedraw(std::u16string& info) override {
        Bstr text(info);
        std::array<VARIANT, 1> args{Variant::refBstr(text.put()).ref()};
        call(u"SignalSpecialRedraw", args, text, info);
    }

private:
    void call(std::u16string_view name, std::span<VARIANT> args, const Bstr& text, std::u16string& info) {
        try {
            invoke(object(), name, CallKind::Method, args);
        } catch (...) {
            info = text.str();
            throw;
        }
        info = text.str();
    }
};

// A view of the object (one reference held), or null for Nothing.
template <class View>
std::shared_ptr<View> viewOf(const ObjectRef& object) {
    ComPtr<IDispatch> d = ComPtr<IDispatch>::retain(dispatchOf(object));
    if (!d) return nullptr;
    return std::make_shared<View>(std::move(d));
}

}  // namespace

std::shared_ptr<HostForm> WinHostBinding::form(const ObjectRef& object) { return viewOf<Form>(object); }

std::shared_ptr<HostEvents> WinHostBinding::events(const ObjectRef& object) { return viewOf<Events>(object); }

std::shared_ptr<HostPictureBox> WinHostBinding::lateBoundPictureBox(const ObjectRef& object) {
    return viewOf<PictureBox>(object);
}

std::shared_ptr<HostPictureBox> WinHostBinding::pictureBox(const ObjectRef& object) {
    IDispatch* d = dispatchOf(object);
    if (!d) return nullptr;
    void* box = nullptr;
    const HRESULT hr = d->QueryInterface(kPictureBoxIid, &box);
    if (hr == E_NOINTERFACE || (SUCCEEDED(hr) && !box)) raise(ErrorNumber::TypeMismatch);
    if (FAILED(hr)) throw errorFromHresult(hr);
    // The picture-box interface is a dual one: its members are reached by
    // name through its IDispatch part.
    return std::make_shared<PictureBox>(ComPtr<IDispatch>::attach(static_cast<IDispatch*>(box)));
}

}  // namespace vamu::win
