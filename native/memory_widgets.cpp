#include "native/memory_widgets.h"

#include "contracts/runtime_error.h"

namespace vamu::native {

void MemoryWindow::show() {
    unloaded_ = false;
    visible_ = true;
    ++shows_;
}

bool MemoryWindow::requestClose() {
    bool cancel = false;
    if (onClose_) onClose_(cancel);
    if (cancel) return false;
    visible_ = false;
    unloaded_ = true;
    return true;
}

void MemoryOptionButton::setValue(bool value) {
    if (value && group_ != nullptr) {
        group_->select(*this);
    } else {
        value_ = value;
    }
}

MemoryOptionButtons::MemoryOptionButtons(std::int16_t count) {
    for (std::int16_t i = 0; i < count; ++i) buttons_.push_back(std::make_unique<MemoryOptionButton>(this));
}

MemoryOptionButton& MemoryOptionButtons::button(std::int16_t index) {
    if (index < 0 || static_cast<std::size_t>(index) >= buttons_.size())
        raise(ErrorNumber::SubscriptOutOfRange);
    return *buttons_[static_cast<std::size_t>(index)];
}

void MemoryChoiceList::pick(std::int32_t index) {
    if (index < 0 || static_cast<std::size_t>(index) >= items_.size())
        raise(ErrorNumber::SubscriptOutOfRange);
    selected_ = index;
    const auto handler = onChange_;
    if (handler) handler(index);
}

void MemoryOptionButtons::select(const MemoryOptionButton& chosen) {
    for (auto& b : buttons_) b->value_ = b.get() == &chosen;
}

bool MemoryOptionButtons::click(std::int16_t index) {
    MemoryOptionButton& clicked = button(index);
    if (!clicked.enabled_ || !clicked.visible_) return false;
    select(clicked);
    if (onClick_) onClick_(index);
    return true;
}

std::optional<std::int16_t> MemoryOptionButtons::selected() const {
    for (std::size_t i = 0; i < buttons_.size(); ++i) {
        if (buttons_[i]->value_) return static_cast<std::int16_t>(i);
    }
    return std::nullopt;
}

}  // namespace vamu::native
