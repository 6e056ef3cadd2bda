#include "win/panel/panel_window.h"

#include "win/panel/panel_layout.h"
#include "win/platform/bstr.h"
#include "win/win_tiles.h"

namespace vamu::win {
namespace {

UniqueWindow standardControl(HINSTANCE instance, HWND parent, const wchar_t* className,
                             const std::u16string& text, DWORD style, DWORD exStyle, const RECT& bounds,
                             int id) {
    WindowParams params;
    params.className = className;
    params.text = text;
    params.style = WS_CHILD | WS_VISIBLE | style;
    params.exStyle = exStyle;
    params.bounds = bounds;
    params.parent = parent;
    params.id = id;
    return createWindow(instance, params, nullptr);
}

// A line in the activity log's own form: date, time, message.
void logLine(TextBox& log, Clock& clock, const std::u16string& message) {
    const ClockReading now = clock.now();
    log.setText(clock.shortDate(now) + u' ' + clock.timeOfDay(now) + u": " + message + u"\r\n" + log.text());
}

}  // namespace

std::u16string TextWindow::text() { return windowText(handle()); }

void TextWindow::setText(const std::u16string& text) { setWindowText(handle(), text); }

void TextWindow::insertAtTop(const std::u16string& text, std::int32_t keepLines) {
    const HWND edit = handle();
    SendMessageW(edit, EM_SETSEL, 0, 0);
    SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(wide(text)));
    // Without word wrap a line of the control is a line of the text; the
    // line after the last CR LF is the empty one the count includes.
    // Wine's edit control takes tens of milliseconds to cut the end of a
    // long text, so the oldest lines go in batches: the log may run a tenth
    // over its limit before it is cut back to it.
    const LRESULT lines = SendMessageW(edit, EM_GETLINECOUNT, 0, 0);
    if (lines > keepLines + keepLines / 10) {
        const LRESULT cut = SendMessageW(edit, EM_LINEINDEX, static_cast<WPARAM>(keepLines), 0);
        if (cut >= 0) {
            SendMessageW(edit, EM_SETSEL, static_cast<WPARAM>(cut), -1);
            SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L""));
        }
    }
    SendMessageW(edit, EM_SETSEL, 0, 0);  // the newest line in view
    SendMessageW(edit, EM_SCROLLCARET, 0, 0);
}

PanelWindow::PanelWindow(const WindowClasses& classes, Clipboard& clipboard, Clock& clock, WinTiles* tiles)
    : form_(classes.instance(), u"Form1", layout::kClientWidth, layout::kClientHeight) {
    const HINSTANCE instance = classes.instance();
    const HWND parent = form_.handle();
    maps_ = makePanelMaps(instance, parent, font_.get(), clipboard);
    UniqueWindow text1 =
        standardControl(instance, parent, L"EDIT", u"",
                        WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | WS_VSCROLL | WS_HSCROLL,
                        WS_EX_CLIENTEDGE, layout::kText1, layout::kText1Id);
    SendMessageW(text1.get(), EM_SETLIMITTEXT, 0, 0);  // as much as the control can hold
    text1_ = std::make_unique<TextWindow>(std::move(text1));
    frame1_ = std::make_unique<TextWindow>(standardControl(
        instance, parent, L"BUTTON", u"縮小率", BS_GROUPBOX, 0, layout::kFrame1, layout::kFrame1Id));
    for (int i = 0; i < layout::kOptionCount; ++i) {
        options_.add(standardControl(instance, parent, L"BUTTON", u"Option1", WS_TABSTOP | BS_RADIOBUTTON, 0,
                                     layout::option1(i), layout::kOption1Id + i));
    }
    sourceLabel_ =
        std::make_unique<TextWindow>(standardControl(instance, parent, L"STATIC", u"地図の出典:", SS_LEFT, 0,
                                                     layout::kSourceLabel, layout::kSourceLabelId));
    sources_ = std::make_unique<WinChoiceList>(standardControl(instance, parent, L"COMBOBOX", u"",
                                                               WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0,
                                                               layout::kSourceList, layout::kSourceListId));
    applyFont(parent, font_.get());
    logLine(*text1_, clock, maps_.logLine);
    form_.onCommand([this](int id, int code) { onCommand(id, code); });
    // The tiles stand in for the built-in main map only; the overview
    // keeps the offline map.
    auto* atlas = dynamic_cast<MapWindow*>(maps_.atlas.get());
    if (tiles && atlas) {
        atlas->control().useTiles(&tiles->service());
        tiles->attach(parent);
        form_.onOtherMessage([tiles, parent](UINT message, WPARAM wParam, LPARAM) {
            return tiles->onPanelMessage(parent, message, wParam);
        });
        tiles_ = tiles;
    }
}

PanelWindow::~PanelWindow() {
    if (tiles_) tiles_->attach(nullptr);
    form_.onOtherMessage(nullptr);
    form_.onCommand(nullptr);
}

void PanelWindow::onCommand(int id, int code) {
    if (id == layout::kSourceListId && code == CBN_SELCHANGE) {
        sources_->changed();
        return;
    }
    if (code != BN_CLICKED || id < layout::kOption1Id || id >= layout::kOption1Id + layout::kOptionCount)
        return;
    options_.clicked(static_cast<std::int16_t>(id - layout::kOption1Id));
}

std::unique_ptr<PanelWidgets> WinPanelFactory::create() {
    if (!classes_) classes_ = std::make_unique<WindowClasses>(instance_);
    auto panel = std::make_unique<PanelWindow>(*classes_, clipboard_, clock_, tiles_);
    if (inUse_) inUse_(panel->usesTiles());
    return panel;
}

}  // namespace vamu::win
