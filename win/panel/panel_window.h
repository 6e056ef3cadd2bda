#pragma once
// The control panel as a Win32 window: the overview and the hidden main
// map, the log, the frame with the thirteen layer buttons, and under the log
// the list of the map's sources, in tab order.

#include <windows.h>

#include <memory>

#include "contracts/services.h"
#include "win/panel/choice_list.h"
#include "win/panel/form_window.h"
#include "win/panel/gui_font.h"
#include "win/panel/map_choice.h"
#include "win/panel/map_window.h"
#include "win/panel/option_buttons.h"
#include "win/panel/window_procedure.h"

namespace vamu::win {

class WinTiles;

// A standard control whose text is all there is to it.
class TextWindow : public TextBox, public Frame {
public:
    explicit TextWindow(UniqueWindow window) : window_(std::move(window)) {}
    HWND handle() const noexcept { return window_.get(); }
    std::u16string text() override;
    void setText(const std::u16string& text) override;
    // A selection replace at the top and one at the bottom: the control
    // never hands its whole text out and back.
    void insertAtTop(const std::u16string& text, std::int32_t keepLines) override;
    std::u16string caption() override { return text(); }

private:
    UniqueWindow window_;
};

class PanelWindow : public PanelWidgets {
public:
    // Writes one time-stamped line to the log: which map control is in use.
    // With tiles, the built-in main map draws from them and the panel's
    // window takes their wake-ups; an installed map control uses none.
    PanelWindow(const WindowClasses& classes, Clipboard& clipboard, Clock& clock, WinTiles* tiles);
    ~PanelWindow() override;

    FormWindow& window() override { return form_; }
    PanelMap& atlas() override { return *maps_.atlas; }
    PanelMap& miniAtlas() override { return *maps_.miniAtlas; }
    TextBox& log() override { return *text1_; }
    Frame& frame() override { return *frame1_; }
    WinOptionButtons& options() override { return options_; }
    WinChoiceList& sources() override { return *sources_; }
    // Whether the main map draws from the tiles.
    bool usesTiles() const noexcept { return tiles_ != nullptr; }

private:
    void onCommand(int id, int code);

    // Declared parent first: the children go before the window they live in.
    GuiFont font_;
    FormWindow form_;
    PanelMaps maps_;
    std::unique_ptr<TextWindow> text1_;
    std::unique_ptr<TextWindow> frame1_;
    WinOptionButtons options_;
    std::unique_ptr<TextWindow> sourceLabel_;
    std::unique_ptr<WinChoiceList> sources_;
    WinTiles* tiles_ = nullptr;  // set where the main map draws from them
};

class WinPanelFactory : public PanelFactory {
public:
    WinPanelFactory(HINSTANCE instance, Clipboard& clipboard, Clock& clock)
        : instance_(instance), clipboard_(clipboard), clock_(clock) {}
    // Registers the window classes on the first panel.
    std::unique_ptr<PanelWidgets> create() override;

    // The panels made from now on use these tiles where their maps are
    // built in; inUse hears, for each new panel, whether it does.
    void useTiles(WinTiles* tiles, std::function<void(bool)> inUse) {
        tiles_ = tiles;
        inUse_ = std::move(inUse);
    }

private:
    HINSTANCE instance_;
    Clipboard& clipboard_;
    Clock& clock_;
    std::unique_ptr<WindowClasses> classes_;
    WinTiles* tiles_ = nullptr;
    std::function<void(bool)> inUse_;
};

}  // namespace vamu::win
