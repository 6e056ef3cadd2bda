#include "win/panel/gui_font.h"

#include <cwchar>

namespace vamu::win {
namespace {

constexpr wchar_t kPreferredFace[] = L"MS UI Gothic";
constexpr int kPointSize = 9;

int CALLBACK noteFace(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM found) {
    if (font->lfFaceName[0] == L'@') return 1;  // vertical writing variants
    *reinterpret_cast<std::wstring*>(found) = font->lfFaceName;
    return 0;
}

// The first face named face (any face when empty) with the character set.
std::wstring findFace(const wchar_t* face, BYTE charset) {
    LOGFONTW query{};
    query.lfCharSet = charset;
    std::wcsncpy(query.lfFaceName, face, LF_FACESIZE - 1);
    std::wstring found;
    ScreenDc screen;
    EnumFontFamiliesExW(screen.get(), &query, noteFace, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

BOOL CALLBACK setChildFont(HWND child, LPARAM font) {
    SendMessageW(child, WM_SETFONT, static_cast<WPARAM>(font), FALSE);
    return TRUE;
}

}  // namespace

std::wstring japaneseFace() {
    std::wstring face = findFace(kPreferredFace, DEFAULT_CHARSET);
    return face.empty() ? findFace(L"", SHIFTJIS_CHARSET) : face;
}

GuiFont::GuiFont() : stock_(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT))) {
    const std::wstring face = japaneseFace();
    if (face.empty()) return;
    ScreenDc screen;
    LOGFONTW font{};
    font.lfHeight = -MulDiv(kPointSize, GetDeviceCaps(screen.get(), LOGPIXELSY), 72);
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = SHIFTJIS_CHARSET;
    std::wcsncpy(font.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    owned_.reset(CreateFontIndirectW(&font));
}

void applyFont(HWND window, HFONT font) noexcept {
    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    EnumChildWindows(window, setChildFont, reinterpret_cast<LPARAM>(font));
}

}  // namespace vamu::win
