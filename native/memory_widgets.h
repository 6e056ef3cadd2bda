#pragma once
// Widgets that live in memory only: each keeps its state, and the user's
// actions (clicking a button, closing the window) are methods to call.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "contracts/text.h"
#include "contracts/widgets.h"

namespace vamu::native {

class MemoryWindow : public Window {
public:
    void setCaption(const std::u16string& caption) override { caption_ = caption; }
    std::u16string caption() override { return caption_; }
    void setBorderStyle(std::int16_t style) override { borderStyle_ = style; }
    void setVisible(bool visible) override { visible_ = visible; }
    bool visible() override { return visible_; }
    void show() override;
    void onCloseRequest(std::function<void(bool& cancel)> handler) override { onClose_ = std::move(handler); }

    // The user's close box. Runs the handler; unless it cancels, the window
    // closes (hidden and unloaded) and the result is true. A failing handler
    // fails the request, and the window stays.
    bool requestClose();

    std::int16_t borderStyle() const noexcept { return borderStyle_; }
    bool unloaded() const noexcept { return unloaded_; }
    int showCount() const noexcept { return shows_; }

private:
    std::u16string caption_ = u"Form1";
    std::int16_t borderStyle_ = 2;  // sizable, until the panel sets its own
    bool visible_ = false;
    bool unloaded_ = false;
    int shows_ = 0;
    std::function<void(bool&)> onClose_;
};

class MemoryOptionButtons;

class MemoryOptionButton : public OptionButton {
public:
    explicit MemoryOptionButton(MemoryOptionButtons* group = nullptr) : group_(group) {}

    void setEnabled(bool enabled) override { enabled_ = enabled; }
    void setVisible(bool visible) override { visible_ = visible; }
    void setCaption(const std::u16string& caption) override { caption_ = caption; }
    // Selecting a button clears the others of its group; it raises no click.
    void setValue(bool value) override;
    bool enabled() override { return enabled_; }
    bool visible() override { return visible_; }
    std::u16string caption() override { return caption_; }
    bool value() override { return value_; }

private:
    friend class MemoryOptionButtons;
    MemoryOptionButtons* group_;
    bool enabled_ = true;
    bool visible_ = true;
    bool value_ = false;
    std::u16string caption_ = u"Option1";
};

// A control array of option buttons in one frame, indices from 0.
class MemoryOptionButtons : public OptionButtons {
public:
    explicit MemoryOptionButtons(std::int16_t count = 13);
    MemoryOptionButtons(const MemoryOptionButtons&) = delete;
    MemoryOptionButtons& operator=(const MemoryOptionButtons&) = delete;

    MemoryOptionButton& button(std::int16_t index) override;  // error 9 outside
    std::int16_t size() override { return static_cast<std::int16_t>(buttons_.size()); }
    void onClick(std::function<void(std::int16_t index)> handler) override { onClick_ = std::move(handler); }

    // The user's click on button index (error 9 outside): a hidden or
    // disabled button takes no click and the result is false; otherwise the
    // button is selected and the handler runs with its index.
    bool click(std::int16_t index);
    // The index of the selected button, if one is.
    std::optional<std::int16_t> selected() const;

private:
    friend class MemoryOptionButton;
    void select(const MemoryOptionButton& chosen);

    std::vector<std::unique_ptr<MemoryOptionButton>> buttons_;
    std::function<void(std::int16_t)> onClick_;
};

class MemoryTextBox : public TextBox {
public:
    std::u16string text() override { return text_; }
    void setText(const std::u16string& text) override { text_ = text; }
    void insertAtTop(const std::u16string& text, std::int32_t keepLines) override {
        text_.insert(0, text);
        text_.resize(lengthOfFirstLines(text_, keepLines));
    }

private:
    std::u16string text_;
};

class MemoryChoiceList : public ChoiceList {
public:
    void setItems(const std::vector<std::u16string>& items) override { items_ = items; }
    std::vector<std::u16string> items() override { return items_; }
    void setSelected(std::int32_t index) override { selected_ = index; }
    std::int32_t selected() override { return selected_; }
    void onChange(std::function<void(std::int32_t index)> handler) override {
        onChange_ = std::move(handler);
    }
    // The user picks entry index: selected, then the event (error 9 outside the list).
    void pick(std::int32_t index);

private:
    std::vector<std::u16string> items_;
    std::int32_t selected_ = -1;
    std::function<void(std::int32_t)> onChange_;
};

class MemoryFrame : public Frame {
public:
    explicit MemoryFrame(std::u16string caption) : caption_(std::move(caption)) {}
    std::u16string caption() override { return caption_; }

private:
    std::u16string caption_;
};

}  // namespace vamu::native
