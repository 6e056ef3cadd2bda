#include "native/substitute_binding.h"

namespace vamu::native {
namespace {

// The view of an object that lacks the members: each call raises 438.
class MissingMembers : public HostForm, public HostEvents, public HostPictureBox {
public:
    std::shared_ptr<HostPictureBox> picMap() override { missing(); }
    std::u16string caption() override { missing(); }
    void setCaption(const std::u16string&) override { missing(); }
    void signalInformation(double&, double&, double&, double&, std::u16string&) override { missing(); }
    void signalSpecialRedraw(std::u16string&) override { missing(); }
    void setPicture(const PictureRef&) override { missing(); }
    void setScaleMode(std::int16_t) override { missing(); }
    double scaleWidth() override { missing(); }
    double scaleHeight() override { missing(); }

private:
    [[noreturn]] static void missing() { raise(ErrorNumber::ObjectDoesNotSupport); }
};

// The object as the view T, a view that fails each call, or null for Nothing.
template <class T>
std::shared_ptr<T> view(const ObjectRef& object) {
    if (!object) return nullptr;
    if (auto typed = std::dynamic_pointer_cast<T>(object)) return typed;
    return std::make_shared<MissingMembers>();
}

}  // namespace

std::shared_ptr<HostForm> SubstituteHostBinding::form(const ObjectRef& object) {
    return view<HostForm>(object);
}

std::shared_ptr<HostEvents> SubstituteHostBinding::events(const ObjectRef& object) {
    return view<HostEvents>(object);
}

std::shared_ptr<HostPictureBox> SubstituteHostBinding::lateBoundPictureBox(const ObjectRef& object) {
    return view<HostPictureBox>(object);
}

std::shared_ptr<HostPictureBox> SubstituteHostBinding::pictureBox(const ObjectRef& object) {
    if (!object) return nullptr;
    auto box = std::dynamic_pointer_cast<HostPictureBox>(object);
    const auto* substitute = dynamic_cast<const SubstitutePictureBox*>(object.get());
    if (!box || (substitute != nullptr && !substitute->offersPictureBoxInterface())) {
        raise(ErrorNumber::TypeMismatch);
    }
    return box;
}

std::shared_ptr<HostAutomation> SubstituteHostBinding::createAutomation() {
    if (!canCreate_ || !automation_) raise(ErrorNumber::CannotCreateObject);
    ++created_;
    return automation_;
}

}  // namespace vamu::native
