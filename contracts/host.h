#pragma once
// The host program as the plug-in calls it. Every member may fail with a
// run-time error (a foreign one when the host itself fails the call).

#include <cstdint>
#include <memory>
#include <string>

#include "contracts/automation.h"
#include "contracts/picture.h"

namespace vamu {

class HostPictureBox {
public:
    virtual ~HostPictureBox() = default;
    virtual void setPicture(const PictureRef& picture) = 0;  // "Picture"
    virtual void setScaleMode(std::int16_t mode) = 0;        // "ScaleMode"
    virtual double scaleWidth() = 0;                         // "ScaleWidth"
    virtual double scaleHeight() = 0;                        // "ScaleHeight"
};

class HostForm {
public:
    virtual ~HostForm() = default;
    // The default member called with "picMap".
    virtual std::shared_ptr<HostPictureBox> picMap() = 0;
    virtual std::u16string caption() = 0;
    virtual void setCaption(const std::u16string& caption) = 0;
};

// The host's events object. The arguments are references to the caller's
// own variables: what the host writes into them lands there.
class HostEvents {
public:
    virtual ~HostEvents() = default;
    virtual void signalInformation(double& x1, double& x2, double& y1, double& y2, std::u16string& info) = 0;
    virtual void signalSpecialRedraw(std::u16string& info) = 0;
};

// The host's automation object (the panel's objUIV).
class HostAutomation {
public:
    virtual ~HostAutomation() = default;
    virtual ObjectRef mapObject() = 0;                   // the host's map object
    virtual std::u16string installationDirectory() = 0;  // as the host reports it
};

// How the core reaches the host's objects from the references it was handed.
class HostBinding {
public:
    virtual ~HostBinding() = default;
    virtual std::shared_ptr<HostForm> form(const ObjectRef& object) = 0;
    virtual std::shared_ptr<HostEvents> events(const ObjectRef& object) = 0;
    // Any object, its members called by name.
    virtual std::shared_ptr<HostPictureBox> lateBoundPictureBox(const ObjectRef& object) = 0;
    // The object taken as a standard picture box; error 13 when it is none.
    virtual std::shared_ptr<HostPictureBox> pictureBox(const ObjectRef& object) = 0;
    // A new instance of the host's automation class.
    virtual std::shared_ptr<HostAutomation> createAutomation() = 0;
};

}  // namespace vamu
