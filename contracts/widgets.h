#pragma once
// The panel's widgets, as the panel code drives them.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "contracts/map_control.h"

namespace vamu {

class Window {
public:
    virtual ~Window() = default;
    virtual void setCaption(const std::u16string& caption) = 0;
    virtual std::u16string caption() = 0;
    virtual void setBorderStyle(std::int16_t style) = 0;
    virtual void setVisible(bool visible) = 0;
    virtual bool visible() = 0;
    // Shown modeless and without owner.
    virtual void show() = 0;
    // The handler sets cancel to true to refuse the close.
    virtual void onCloseRequest(std::function<void(bool& cancel)> handler) = 0;
};

class OptionButton {
public:
    virtual ~OptionButton() = default;
    virtual void setEnabled(bool enabled) = 0;
    virtual void setVisible(bool visible) = 0;
    virtual void setCaption(const std::u16string& caption) = 0;
    virtual void setValue(bool value) = 0;
    virtual bool enabled() = 0;
    virtual bool visible() = 0;
    virtual std::u16string caption() = 0;
    virtual bool value() = 0;
};

// A control array: button(index) raises error 9 for a member that is not there.
class OptionButtons {
public:
    virtual ~OptionButtons() = default;
    virtual OptionButton& button(std::int16_t index) = 0;
    virtual std::int16_t size() = 0;
    virtual void onClick(std::function<void(std::int16_t index)> handler) = 0;
};

class TextBox {
public:
    virtual ~TextBox() = default;
    virtual std::u16string text() = 0;
    virtual void setText(const std::u16string& text) = 0;
    // Puts text (whole lines, each ending in CR LF) in front of the current
    // text, then keeps only the first keepLines lines: what lay below them
    // drops off. The cost depends on the kept text, not on how much was ever
    // inserted. The panel's window may let up to a tenth more lines stand
    // and cut the oldest in one go (a cut is slow in Wine's edit control).
    virtual void insertAtTop(const std::u16string& text, std::int32_t keepLines) = 0;
};

// A drop-down list of texts, one of them selected (or none: -1).
class ChoiceList {
public:
    virtual ~ChoiceList() = default;
    virtual void setItems(const std::vector<std::u16string>& items) = 0;
    virtual std::vector<std::u16string> items() = 0;
    virtual void setSelected(std::int32_t index) = 0;  // no event
    virtual std::int32_t selected() = 0;
    // Raised when the user picks an entry.
    virtual void onChange(std::function<void(std::int32_t index)> handler) = 0;
};

class Frame {
public:
    virtual ~Frame() = default;
    virtual std::u16string caption() = 0;
};

// The panel's window with its controls, as the platform builds it.
class PanelWidgets {
public:
    virtual ~PanelWidgets() = default;
    virtual Window& window() = 0;
    virtual MapControl& atlas() = 0;
    virtual MapControl& miniAtlas() = 0;
    virtual TextBox& log() = 0;            // Text1
    virtual Frame& frame() = 0;            // Frame1
    virtual OptionButtons& options() = 0;  // Option1
    virtual ChoiceList& sources() = 0;     // the map's source: the built-in map or a tile server
};

}  // namespace vamu
