#include "native/recording_messages.h"

namespace vamu::native {

void RecordingMessageBoxes::show(const std::u16string& text, MessageButtons buttons,
                                 const std::optional<std::u16string>& title) {
    shown_.push_back({text, buttons, title});
    if (!observer_) return;
    const ShownMessage copy = shown_.back();  // the observer may show another box
    observer_(copy);
}

}  // namespace vamu::native
