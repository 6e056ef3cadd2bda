#pragma once
// A substitute for the host program's objects: its map form with the
// picture box "picMap", and its automation object. Each keeps what the
// plug-in did to it (the newest calls, the current caption) and calls its
// hook before each member runs.

#include <cstdint>
#include <deque>
#include <memory>
#include <string>

#include "contracts/automation.h"
#include "contracts/host.h"
#include "native/call_hook.h"
#include "native/recent_calls.h"

namespace vamu::native {

enum class PictureBoxMember { Picture, ScaleMode, ScaleWidth, ScaleHeight };

// A picture box of a settable size in pixels (15 twips each). ScaleWidth and
// ScaleHeight answer in the current scale mode, rounded to a Single: 0 (user,
// taken as twips here) and 1 twips, 2 points, 3 pixels, 4 characters (120 by
// 240 twips), 5 inches, 6 millimetres, 7 centimetres. Another mode is the
// host's error 380 (invalid property value).
class SubstitutePictureBox : public AutomationObject, public HostPictureBox {
public:
    using Member = PictureBoxMember;

    explicit SubstitutePictureBox(double widthPixels = 320, double heightPixels = 240);

    void setPicture(const PictureRef& picture) override;
    void setScaleMode(std::int16_t mode) override;
    double scaleWidth() override;
    double scaleHeight() override;

    const PictureRef& picture() const noexcept { return picture_; }
    std::int16_t scaleMode() const noexcept { return scaleMode_; }
    void setPixelSize(double width, double height);
    // Whether the object offers the standard picture-box interface (only
    // then does the binding take it as a typed picture box).
    bool offersPictureBoxInterface() const noexcept { return standard_; }
    void setOffersPictureBoxInterface(bool offers) { standard_ = offers; }
    // The newest calls, failed ones included, in order.
    const std::deque<PictureBoxMember>& calls() const noexcept { return calls_; }
    void onCall(CallHook<Member>::Function hook) { hook_.set(std::move(hook)); }

private:
    void enter(PictureBoxMember member);
    double scaled(double pixels, bool vertical) const;

    PictureRef picture_;
    std::int16_t scaleMode_ = 1;
    double width_;
    double height_;
    bool standard_ = true;
    std::deque<PictureBoxMember> calls_;
    CallHook<Member> hook_;
};

enum class FormMember { PicMap, CaptionGet, CaptionSet };

// The host's map form. Without a "picMap" control, looking it up is the
// host's error 730 ("Control 'picMap' not found").
class SubstituteForm : public AutomationObject, public HostForm {
public:
    using Member = FormMember;

    explicit SubstituteForm(
        std::shared_ptr<SubstitutePictureBox> picMap = std::make_shared<SubstitutePictureBox>(),
        std::u16string caption = u"UI-View32");

    std::shared_ptr<HostPictureBox> picMap() override;
    std::u16string caption() override;
    void setCaption(const std::u16string& caption) override;

    // Null: the form has no control of that name.
    const std::shared_ptr<SubstitutePictureBox>& picMapControl() const noexcept { return picMap_; }
    void setPicMapControl(std::shared_ptr<SubstitutePictureBox> picMap) { picMap_ = std::move(picMap); }
    const std::u16string& currentCaption() const noexcept { return caption_; }
    // How many times the plug-in wrote the caption (the form keeps only the
    // current one, as a real form does).
    std::int64_t captionWrites() const noexcept { return captionWrites_; }
    int picMapLookups() const noexcept { return picMapLookups_; }
    void onCall(CallHook<Member>::Function hook) { hook_.set(std::move(hook)); }

private:
    std::shared_ptr<SubstitutePictureBox> picMap_;
    std::u16string caption_;
    std::int64_t captionWrites_ = 0;
    int picMapLookups_ = 0;
    CallHook<Member> hook_;
};

// The host's map object: the plug-in only holds it.
class SubstituteMapObject : public AutomationObject {};

enum class AutomationMember { MapObject, InstallationDirectory };

// The host's automation object. Without a map object, asking for it is
// error 91: the host has none to hand over.
class SubstituteAutomation : public AutomationObject, public HostAutomation {
public:
    using Member = AutomationMember;

    explicit SubstituteAutomation(std::u16string installationDirectory = u"C:\\UIVIEW");

    ObjectRef mapObject() override;
    std::u16string installationDirectory() override;

    void setInstallationDirectory(std::u16string directory) { directory_ = std::move(directory); }
    // Null: the host has no map object.
    void setMapObject(ObjectRef map) { map_ = std::move(map); }
    const ObjectRef& currentMapObject() const noexcept { return map_; }
    void onCall(CallHook<Member>::Function hook) { hook_.set(std::move(hook)); }

private:
    std::u16string directory_;
    ObjectRef map_ = std::make_shared<SubstituteMapObject>();
    CallHook<Member> hook_;
};

}  // namespace vamu::native
