#pragma once
// Modal message boxes on the calling thread.

#include "contracts/platform.h"

namespace vamu::win {

// The title a box shows when none is given: the component's own title.
inline constexpr char16_t kDefaultMessageTitle[] = u"vamuMapserver";

class WinMessageBoxes : public MessageBoxes {
public:
    void show(const std::u16string& text, MessageButtons buttons,
              const std::optional<std::u16string>& title) override;
};

}  // namespace vamu::win
