#pragma once
// Message boxes that never block: each box is recorded as if the user had
// closed it at once, and an observer may watch them go by.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "contracts/platform.h"

namespace vamu::native {

struct ShownMessage {
    std::u16string text;
    MessageButtons buttons = MessageButtons::Ok;
    std::optional<std::u16string> title;  // none: the box's default title

    bool operator==(const ShownMessage&) const = default;
};

class RecordingMessageBoxes : public MessageBoxes {
public:
    using Observer = std::function<void(const ShownMessage&)>;

    void show(const std::u16string& text, MessageButtons buttons,
              const std::optional<std::u16string>& title) override;

    // Called for each box after it has been recorded; a failing observer
    // fails the show like a failing box would.
    void setObserver(Observer observer) { observer_ = std::move(observer); }
    const std::vector<ShownMessage>& shown() const noexcept { return shown_; }
    void clear() { shown_.clear(); }

private:
    std::vector<ShownMessage> shown_;
    Observer observer_;
};

}  // namespace vamu::native
