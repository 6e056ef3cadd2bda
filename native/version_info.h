#pragma once
// The plug-in's version information as this platform reports it.

#include <string>

#include "contracts/services.h"

namespace vamu::native {

class FixedVersionInfo : public VersionInfo {
public:
    explicit FixedVersionInfo(std::u16string productName = u"vamuMapserver")
        : productName_(std::move(productName)) {}
    std::u16string productName() override { return productName_; }

private:
    std::u16string productName_;
};

}  // namespace vamu::native
