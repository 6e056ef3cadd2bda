#pragma once
// How the core reaches the substitute host's objects. Late-bound views of an
// object that lacks the members raise 438 on each call; Nothing gives a null
// view, as on Windows.

#include <memory>

#include "contracts/host.h"
#include "native/substitute_host.h"

namespace vamu::native {

class SubstituteHostBinding : public HostBinding {
public:
    std::shared_ptr<HostForm> form(const ObjectRef& object) override;
    std::shared_ptr<HostEvents> events(const ObjectRef& object) override;
    // Any object with the picture-box members, whether or not it offers the
    // standard interface.
    std::shared_ptr<HostPictureBox> lateBoundPictureBox(const ObjectRef& object) override;
    // Error 13 for an object that is no picture box or does not offer the
    // standard interface.
    std::shared_ptr<HostPictureBox> pictureBox(const ObjectRef& object) override;
    // The configured automation object; error 429 when creation is refused.
    std::shared_ptr<HostAutomation> createAutomation() override;

    SubstituteAutomation& automation() noexcept { return *automation_; }
    void setAutomation(std::shared_ptr<SubstituteAutomation> automation) {
        automation_ = std::move(automation);
    }
    void setCanCreateAutomation(bool can) { canCreate_ = can; }
    int automationsCreated() const noexcept { return created_; }

private:
    std::shared_ptr<SubstituteAutomation> automation_ = std::make_shared<SubstituteAutomation>();
    bool canCreate_ = true;
    int created_ = 0;
};

}  // namespace vamu::native
