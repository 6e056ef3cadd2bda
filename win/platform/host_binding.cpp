#include "win/platform/host_binding.h"

#include <array>

#include "win/platform/bstr.h"
#include "win/platform/com_error.h"
#include "win/platform/dispatch.h"
#include "win/platform/win_picture.h"

namespace vamu::win {
namespace {

// A host picture box, its members called by name.
class PictureBox : public HostPictureBox {
public:
    explicit PictureBox(ComPtr<IDispatch> object) : object_(std::move(object)) {}

    void setPicture(const PictureRef& picture) override {
        ComPtr<IPictureDisp> disp;
        if (picture) disp = winPictureOf(picture).dispatch();
        putProperty(object_.get(), u"Picture", Variant::dispatch(disp.get()));
    }
    void setScaleMode(std::int16_t mode) override {
        putProperty(object_.get(), u"ScaleMode", Variant::i2(mode));
    }
    double scaleWidth() override { return toDouble(getProperty(object_.get(), u"ScaleWidth").ref()); }
    double scaleHeight() override { return toDouble(getProperty(object_.get(), u"ScaleHeight").ref()); }

private:
    ComPtr<IDispatch> object_;
};

class Form : public HostForm {
public:
    explicit Form(ComPtr<IDispatch> object) : object_(std::move(object)) {}

    std::shared_ptr<HostPictureBox> picMap() override {
        Variant name = Variant::string(u"picMap");
        Variant result =
            invoke(object_.get(), DISPID_VALUE, CallKind::MethodOrGet, std::span<VARIANT>(name.get(), 1));
        ComPtr<IDispatch> box = toDispatch(result.ref());
        if (!box) raise(ErrorNumber::ObjectNotSet);
        return std::make_shared<PictureBox>(std::move(box));
    }
    std::u16string caption() override { return toString(getProperty(object_.get(), u"Caption").ref()); }
    void setCaption(const std::u16string& caption) override {
        putProperty(object_.get(), u"Caption", Variant::string(caption));
    }

private:
    ComPtr<IDispatch> object_;
};

// The events object. The arguments refer to the caller's variables; a
// string travels in a BSTR of its own whose final contents (the host may
// have replaced them) are copied back, also when the call fails.
class Events : public HostEvents {
public:
    explicit Events(ComPtr<IDispatch> object) : object_(std::move(object)) {}

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
            invoke(object_.get(), name, CallKind::Method, args);
        } catch (...) {
            info = text.str();
            throw;
        }
        info = text.str();
    }

    ComPtr<IDispatch> object_;
};

ComPtr<IDispatch> held(const ObjectRef& object) { return ComPtr<IDispatch>::retain(dispatchOf(object)); }

}  // namespace

std::shared_ptr<HostForm> WinHostBinding::form(const ObjectRef& object) {
    ComPtr<IDispatch> d = held(object);
    if (!d) return nullptr;
    return std::make_shared<Form>(std::move(d));
}

std::shared_ptr<HostEvents> WinHostBinding::events(const ObjectRef& object) {
    ComPtr<IDispatch> d = held(object);
    if (!d) return nullptr;
    return std::make_shared<Events>(std::move(d));
}

std::shared_ptr<HostPictureBox> WinHostBinding::lateBoundPictureBox(const ObjectRef& object) {
    ComPtr<IDispatch> d = held(object);
    if (!d) return nullptr;
    return std::make_shared<PictureBox>(std::move(d));
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
