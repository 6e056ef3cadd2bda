#pragma once
// The product name from a module's own version resource.

#include <windows.h>

#include "contracts/services.h"

namespace vamu::win {

class WinVersionInfo : public VersionInfo {
public:
    explicit WinVersionInfo(HMODULE module) : module_(module) {}
    // Read once; empty when the module has no version resource or no
    // product name in it.
    std::u16string productName() override;

private:
    HMODULE module_;
    bool read_ = false;
    std::u16string productName_;
};

// The full path of a module's file.
std::u16string modulePath(HMODULE module);

}  // namespace vamu::win
