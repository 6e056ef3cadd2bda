#include "native/substitute_host.h"

namespace vamu::native {
namespace {

constexpr double kTwipsPerPixel = 15.0;

// Twips per unit of a scale mode, across and down; zero for no such mode.
double twipsPerUnit(std::int16_t mode, bool vertical) {
    switch (mode) {
        case 0:
        case 1:
            return 1.0;
        case 2:
            return 20.0;
        case 3:
            return kTwipsPerPixel;
        case 4:
            return vertical ? 240.0 : 120.0;
        case 5:
            return 1440.0;
        case 6:
            return 56.7;
        case 7:
            return 567.0;
        default:
            return 0.0;
    }
}

}  // namespace

SubstitutePictureBox::SubstitutePictureBox(double widthPixels, double heightPixels)
    : width_(widthPixels), height_(heightPixels) {}

void SubstitutePictureBox::enter(PictureBoxMember member) {
    remember(calls_, member);
    hook_(member);
}

void SubstitutePictureBox::setPicture(const PictureRef& picture) {
    enter(PictureBoxMember::Picture);
    picture_ = picture;
}

void SubstitutePictureBox::setScaleMode(std::int16_t mode) {
    enter(PictureBoxMember::ScaleMode);
    if (twipsPerUnit(mode, false) == 0.0) {
        throw RuntimeError::foreign(hresultOf(380), describe(ErrorNumber::InvalidPropertyValue));
    }
    scaleMode_ = mode;
}

double SubstitutePictureBox::scaled(double pixels, bool vertical) const {
    const double units = pixels * kTwipsPerPixel / twipsPerUnit(scaleMode_, vertical);
    return static_cast<double>(static_cast<float>(units));
}

double SubstitutePictureBox::scaleWidth() {
    enter(PictureBoxMember::ScaleWidth);
    return scaled(width_, false);
}

double SubstitutePictureBox::scaleHeight() {
    enter(PictureBoxMember::ScaleHeight);
    return scaled(height_, true);
}

void SubstitutePictureBox::setPixelSize(double width, double height) {
    width_ = width;
    height_ = height;
}

SubstituteForm::SubstituteForm(std::shared_ptr<SubstitutePictureBox> picMap, std::u16string caption)
    : picMap_(std::move(picMap)), caption_(std::move(caption)) {}

std::shared_ptr<HostPictureBox> SubstituteForm::picMap() {
    ++picMapLookups_;
    hook_(FormMember::PicMap);
    if (!picMap_) throw RuntimeError::foreign(hresultOf(730), u"Control 'picMap' not found");
    return picMap_;
}

std::u16string SubstituteForm::caption() {
    hook_(FormMember::CaptionGet);
    return caption_;
}

void SubstituteForm::setCaption(const std::u16string& caption) {
    hook_(FormMember::CaptionSet);
    caption_ = caption;
    ++captionWrites_;
}

SubstituteAutomation::SubstituteAutomation(std::u16string installationDirectory)
    : directory_(std::move(installationDirectory)) {}

ObjectRef SubstituteAutomation::mapObject() {
    hook_(AutomationMember::MapObject);
    if (!map_) raise(ErrorNumber::ObjectNotSet);
    return map_;
}

std::u16string SubstituteAutomation::installationDirectory() {
    hook_(AutomationMember::InstallationDirectory);
    return directory_;
}

}  // namespace vamu::native
