#pragma once
// The font of the panel's controls: one that shows the Japanese captions
// ("MS UI Gothic" where the system has it, else the first face with the
// Japanese character set), otherwise the system's GUI font.

#include <windows.h>

#include <string>

#include "win/platform/handles.h"

namespace vamu::win {

class GuiFont {
public:
    GuiFont();
    HFONT get() const noexcept { return owned_ ? owned_.get() : stock_; }

private:
    UniqueFont owned_;
    HFONT stock_;
};

// The face chosen as above; empty when there is no Japanese face.
std::wstring japaneseFace();

// Sets the font on a window and its children.
void applyFont(HWND window, HFONT font) noexcept;

}  // namespace vamu::win
