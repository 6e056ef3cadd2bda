#pragma once
// Every call the plug-in makes to the platform and to the host's objects,
// counted in one sequence, with the N-th one made to fail. Each call counts
// twice: once before it reaches the real service (the call fails without
// effect) and once after (the call did its work and still reports failure).

#include <cstdint>
#include <memory>
#include <string>

#include "contracts/services.h"

namespace vamu::testing {

// The failure the sweep injects: a host or system call failing on its own.
inline constexpr std::uint32_t kInjectedHresult = 0x80004005u;

class FaultPlan {
public:
    // Fails the n-th point from now on (0: none).
    void arm(std::int64_t n) {
        failAt_ = n;
        points_ = 0;
        fired_ = false;
        where_.clear();
    }
    void point(const char* where) {
        if (++points_ != failAt_) return;
        fired_ = true;
        where_ = where;
        throw RuntimeError::foreign(kInjectedHresult, u"Injected failure");
    }
    bool fired() const noexcept { return fired_; }
    const std::string& where() const noexcept { return where_; }

private:
    std::int64_t failAt_ = 0;
    std::int64_t points_ = 0;
    bool fired_ = false;
    std::string where_;
};

// Runs body between the two points of one call.
template <class Body>
auto guardedCall(FaultPlan& plan, const char* where, Body&& body) {
    plan.point(where);
    if constexpr (std::is_void_v<decltype(body())>) {
        body();
        plan.point(where);
    } else {
        auto result = body();
        plan.point(where);
        return result;
    }
}

class FaultyClipboard : public Clipboard {
public:
    FaultyClipboard(Clipboard& inner, FaultPlan& plan) : inner_(inner), plan_(plan) {}
    void setImage(const Image& image) override {
        guardedCall(plan_, "Clipboard.setImage", [&] { inner_.setImage(image); });
    }
    bool hasBitmap() override {
        return guardedCall(plan_, "Clipboard.hasBitmap", [&] { return inner_.hasBitmap(); });
    }
    PictureRef picture() override {
        return guardedCall(plan_, "Clipboard.picture", [&] { return inner_.picture(); });
    }

private:
    Clipboard& inner_;
    FaultPlan& plan_;
};

class FaultyPictures : public Pictures {
public:
    FaultyPictures(Pictures& inner, FaultPlan& plan) : inner_(inner), plan_(plan) {}
    PictureRef load(const std::u16string& path) override {
        return guardedCall(plan_, "Pictures.load", [&] { return inner_.load(path); });
    }
    void saveAsBmp(const PictureRef& picture, const std::u16string& path) override {
        guardedCall(plan_, "Pictures.saveAsBmp", [&] { inner_.saveAsBmp(picture, path); });
    }

private:
    Pictures& inner_;
    FaultPlan& plan_;
};

class FaultyMessages : public MessageBoxes {
public:
    FaultyMessages(MessageBoxes& inner, FaultPlan& plan) : inner_(inner), plan_(plan) {}
    void show(const std::u16string& text, MessageButtons buttons,
              const std::optional<std::u16string>& title) override {
        guardedCall(plan_, "MessageBox", [&] { inner_.show(text, buttons, title); });
    }

private:
    MessageBoxes& inner_;
    FaultPlan& plan_;
};

class FaultyClock : public Clock {
public:
    FaultyClock(Clock& inner, FaultPlan& plan) : inner_(inner), plan_(plan) {}
    ClockReading now() override {
        return guardedCall(plan_, "Clock.now", [&] { return inner_.now(); });
    }
    std::u16string shortDate(const ClockReading& at) override {
        return guardedCall(plan_, "Clock.shortDate", [&] { return inner_.shortDate(at); });
    }
    std::u16string timeOfDay(const ClockReading& at) override {
        return guardedCall(plan_, "Clock.timeOfDay", [&] { return inner_.timeOfDay(at); });
    }

private:
    Clock& inner_;
    FaultPlan& plan_;
};

class FaultyProfile : public ProfileWriter {
public:
    FaultyProfile(ProfileWriter& inner, FaultPlan& plan) : inner_(inner), plan_(plan) {}
    bool writeString(const std::u16string& section, const std::u16string& key, const std::u16string& value,
                     const std::u16string& file) override {
        return guardedCall(plan_, "Profile.write",
                           [&] { return inner_.writeString(section, key, value, file); });
    }

private:
    ProfileWriter& inner_;
    FaultPlan& plan_;
};

class FaultyPictureBox : public HostPictureBox {
public:
    FaultyPictureBox(std::shared_ptr<HostPictureBox> inner, FaultPlan& plan)
        : inner_(std::move(inner)), plan_(plan) {}
    void setPicture(const PictureRef& picture) override {
        guardedCall(plan_, "PictureBox.Picture", [&] { inner_->setPicture(picture); });
    }
    void setScaleMode(std::int16_t mode) override {
        guardedCall(plan_, "PictureBox.ScaleMode", [&] { inner_->setScaleMode(mode); });
    }
    double scaleWidth() override {
        return guardedCall(plan_, "PictureBox.ScaleWidth", [&] { return inner_->scaleWidth(); });
    }
    double scaleHeight() override {
        return guardedCall(plan_, "PictureBox.ScaleHeight", [&] { return inner_->scaleHeight(); });
    }

private:
    std::shared_ptr<HostPictureBox> inner_;
    FaultPlan& plan_;
};

class FaultyForm : public HostForm {
public:
    FaultyForm(std::shared_ptr<HostForm> inner, FaultPlan& plan) : inner_(std::move(inner)), plan_(plan) {}
    std::shared_ptr<HostPictureBox> picMap() override {
        auto box = guardedCall(plan_, "Form.picMap", [&] { return inner_->picMap(); });
        return box ? std::make_shared<FaultyPictureBox>(std::move(box), plan_) : nullptr;
    }
    std::u16string caption() override {
        return guardedCall(plan_, "Form.Caption", [&] { return inner_->caption(); });
    }
    void setCaption(const std::u16string& caption) override {
        guardedCall(plan_, "Form.Caption=", [&] { inner_->setCaption(caption); });
    }

private:
    std::shared_ptr<HostForm> inner_;
    FaultPlan& plan_;
};

class FaultyEvents : public HostEvents {
public:
    FaultyEvents(std::shared_ptr<HostEvents> inner, FaultPlan& plan)
        : inner_(std::move(inner)), plan_(plan) {}
    void signalInformation(double& x1, double& x2, double& y1, double& y2, std::u16string& info) override {
        guardedCall(plan_, "Events.SignalInformation",
                    [&] { inner_->signalInformation(x1, x2, y1, y2, info); });
    }
    void signalSpecialRedraw(std::u16string& info) override {
        guardedCall(plan_, "Events.SignalSpecialRedraw", [&] { inner_->signalSpecialRedraw(info); });
    }

private:
    std::shared_ptr<HostEvents> inner_;
    FaultPlan& plan_;
};

class FaultyAutomation : public HostAutomation {
public:
    FaultyAutomation(std::shared_ptr<HostAutomation> inner, FaultPlan& plan)
        : inner_(std::move(inner)), plan_(plan) {}
    ObjectRef mapObject() override {
        return guardedCall(plan_, "Automation.MapObject", [&] { return inner_->mapObject(); });
    }
    std::u16string installationDirectory() override {
        return guardedCall(plan_, "Automation.InstallationDirectory",
                           [&] { return inner_->installationDirectory(); });
    }

private:
    std::shared_ptr<HostAutomation> inner_;
    FaultPlan& plan_;
};

template <class View, class Faulty>
std::shared_ptr<View> wrapped(std::shared_ptr<View> view, FaultPlan& plan) {
    return view ? std::make_shared<Faulty>(std::move(view), plan) : nullptr;
}

class FaultyHost : public HostBinding {
public:
    FaultyHost(HostBinding& inner, FaultPlan& plan) : inner_(inner), plan_(plan) {}
    std::shared_ptr<HostForm> form(const ObjectRef& object) override {
        return wrapped<HostForm, FaultyForm>(
            guardedCall(plan_, "Host.form", [&] { return inner_.form(object); }), plan_);
    }
    std::shared_ptr<HostEvents> events(const ObjectRef& object) override {
        return wrapped<HostEvents, FaultyEvents>(
            guardedCall(plan_, "Host.events", [&] { return inner_.events(object); }), plan_);
    }
    std::shared_ptr<HostPictureBox> lateBoundPictureBox(const ObjectRef& object) override {
        return wrapped<HostPictureBox, FaultyPictureBox>(
            guardedCall(plan_, "Host.lateBoundPictureBox",
                        [&] { return inner_.lateBoundPictureBox(object); }),
            plan_);
    }
    std::shared_ptr<HostPictureBox> pictureBox(const ObjectRef& object) override {
        return wrapped<HostPictureBox, FaultyPictureBox>(
            guardedCall(plan_, "Host.pictureBox", [&] { return inner_.pictureBox(object); }), plan_);
    }
    std::shared_ptr<HostAutomation> createAutomation() override {
        return wrapped<HostAutomation, FaultyAutomation>(
            guardedCall(plan_, "Host.createAutomation", [&] { return inner_.createAutomation(); }), plan_);
    }

private:
    HostBinding& inner_;
    FaultPlan& plan_;
};

}  // namespace vamu::testing
