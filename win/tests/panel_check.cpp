// The control panel window: layout, buttons, close request, map windows.

#include <algorithm>
#include <vector>

#include "win/platform/clipboard.h"
#include "win/panel/panel_layout.h"
#include "win/panel/panel_window.h"
#include "win/tests/support/check.h"
#include "win/platform/win_picture.h"
#include "win/win_platform.h"

namespace vamu::wine_test {
namespace {

namespace layout = win::layout;

struct Panel {
    win::WinPlatform platform{GetModuleHandleW(nullptr)};
    std::unique_ptr<PanelWidgets> widgets = platform.services().panels.create();
    win::PanelWindow& window = dynamic_cast<win::PanelWindow&>(*widgets);
    HWND form = window.window().handle();
};

RECT placeOf(HWND child) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

bool placed(HWND child, const RECT& expected) {
    const RECT r = placeOf(child);
    return r.left == expected.left && r.top == expected.top && r.right == expected.right &&
           r.bottom == expected.bottom;
}

void pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}

CHECK_CASE(the_panel_is_laid_out_as_designed) {
    Panel panel;
    RECT client{};
    GetClientRect(panel.form, &client);
    CHECK(client.right == 441 && client.bottom == 336);
    CHECK(panel.window.window().caption() == u"Form1" && !panel.window.window().visible());
    std::vector<int> order;
    for (HWND c = GetWindow(panel.form, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        order.push_back(GetDlgCtrlID(c));
    std::vector<int> expected{layout::kMiniAtlasId, layout::kAtlasId, layout::kText1Id, layout::kFrame1Id};
    for (int i = 0; i < 13; ++i) expected.push_back(layout::kOption1Id + i);
    expected.push_back(layout::kSourceLabelId);
    expected.push_back(layout::kSourceListId);
    CHECK(order == expected);
    CHECK(placed(GetDlgItem(panel.form, layout::kMiniAtlasId), RECT{0, 0, 281, 249}));
    CHECK(placed(GetDlgItem(panel.form, layout::kAtlasId), RECT{0, 0, 409, 249}));
    CHECK(placed(GetDlgItem(panel.form, layout::kText1Id), RECT{0, 248, 441, 305}));
    CHECK(placed(GetDlgItem(panel.form, layout::kFrame1Id), RECT{296, 0, 441, 249}));
    CHECK(placed(GetDlgItem(panel.form, layout::kOption1Id), RECT{304, 16, 433, 33}));
    CHECK(placed(GetDlgItem(panel.form, layout::kOption1Id + 12), RECT{304, 208, 433, 225}));
    // The source list under the log, closed: its field alone inside the form.
    const RECT list = placeOf(GetDlgItem(panel.form, layout::kSourceListId));
    CHECK(list.left == 88 && list.right == 437 && list.top == 310 && list.bottom > 320 && list.bottom <= 336);
    CHECK(win::hasVisibleStyle(panel.window.miniAtlas().handle()) &&
          !win::hasVisibleStyle(panel.window.atlas().handle()));
    CHECK(panel.window.frame().caption() == u"縮小率" &&
          panel.window.log().text().ends_with(u": 地図: 内蔵の地図を使用\r\n"));
    CHECK(panel.window.options().size() == 13 && panel.window.options().button(12).caption() == u"Option1");
    CHECK_RAISES(9, panel.window.options().button(13));
    CHECK_RAISES(9, panel.window.options().button(-1));
}

CHECK_CASE(the_border_style_keeps_the_client_area) {
    Panel panel;
    Window& window = panel.window.window();
    window.setBorderStyle(2);
    CHECK((GetWindowLongW(panel.form, GWL_STYLE) & WS_THICKFRAME) != 0);
    window.setBorderStyle(1);
    CHECK((GetWindowLongW(panel.form, GWL_STYLE) & (WS_THICKFRAME | WS_MAXIMIZEBOX)) == 0);
    RECT client{};
    GetClientRect(panel.form, &client);
    CHECK(client.right == 441 && client.bottom == 336);
    CHECK_RAISES(static_cast<int>(ErrorNumber::InvalidPropertyValue), window.setBorderStyle(6));
}

CHECK_CASE(closing_only_hides_the_window) {
    Panel panel;
    Window& window = panel.window.window();
    int requests = 0;
    window.onCloseRequest([&](bool& cancel) {
        ++requests;
        cancel = true;
    });
    window.show();
    CHECK(window.visible());
    SendMessageW(panel.form, WM_CLOSE, 0, 0);
    CHECK(requests == 1 && !window.visible() && IsWindow(panel.form));
    window.onCloseRequest([](bool&) { throw RuntimeError(ErrorNumber::InternalError); });
    window.setVisible(true);
    SendMessageW(panel.form, WM_CLOSE, 0, 0);
    CHECK(!window.visible() && IsWindow(panel.form));
}

CHECK_CASE(only_a_users_click_raises_the_click_event) {
    Panel panel;
    panel.window.window().show();
    OptionButtons& options = panel.window.options();
    std::vector<std::int16_t> clicks;
    options.onClick([&](std::int16_t index) {
        clicks.push_back(index);
        throw RuntimeError(ErrorNumber::Overflow);  // must stay in the window
    });
    options.button(3).setValue(true);
    options.button(5).setValue(true);
    CHECK(!options.button(3).value() && options.button(5).value() && clicks.empty());
    SendMessageW(GetDlgItem(panel.form, layout::kOption1Id + 7), BM_CLICK, 0, 0);
    pump();
    CHECK(clicks == std::vector<std::int16_t>{7} && options.button(7).value() && !options.button(5).value());
    // A click on the selected button is a click too.
    SendMessageW(GetDlgItem(panel.form, layout::kOption1Id + 7), BM_CLICK, 0, 0);
    pump();
    CHECK(clicks == (std::vector<std::int16_t>{7, 7}) && options.button(7).value());
    options.button(2).setEnabled(false);
    options.button(4).setVisible(false);
    CHECK(!options.button(2).enabled() && !options.button(4).visible() && options.button(3).visible());
}

// The operator's pick in the list raises the change event; a selection by
// program does not, and a failing handler stays in the window.
CHECK_CASE(only_the_users_pick_of_a_source_raises_the_change_event) {
    Panel panel;
    ChoiceList& sources = panel.window.sources();
    const HWND list = GetDlgItem(panel.form, layout::kSourceListId);
    std::vector<std::int32_t> picks;
    sources.onChange([&](std::int32_t index) {
        picks.push_back(index);
        throw RuntimeError(ErrorNumber::Overflow);
    });
    sources.setItems({u"内蔵の地図 (RDW2010)", u"地理院タイル 標準地図", u"OpenStreetMap"});
    sources.setSelected(2);
    CHECK(sources.items() ==
          (std::vector<std::u16string>{u"内蔵の地図 (RDW2010)", u"地理院タイル 標準地図", u"OpenStreetMap"}));
    CHECK(sources.selected() == 2 && picks.empty());
    SendMessageW(list, CB_SETCURSEL, 1, 0);
    SendMessageW(panel.form, WM_COMMAND, MAKEWPARAM(layout::kSourceListId, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
    CHECK(picks == std::vector<std::int32_t>{1} && sources.selected() == 1);
    sources.setItems({u"内蔵の地図 (RDW2010)"});
    CHECK(sources.selected() == -1 && sources.items().size() == 1);
}

CHECK_CASE(map_windows_follow_the_control_and_the_mouse) {
    Panel panel;
    auto& atlas = dynamic_cast<win::MapWindow&>(panel.window.atlas());
    atlas.setWidth(320.0f);
    atlas.setHeight(240.0f);
    CHECK(placed(atlas.handle(), RECT{0, 0, 320, 240}));
    CHECK(atlas.control().widthPixels() == 320 && atlas.control().heightPixels() == 240);
    atlas.copyToClipboard();
    win::WinClipboard clipboard;
    BITMAP shape{};
    const PictureRef picture = clipboard.picture();
    OLE_HANDLE handle = 0;
    dynamic_cast<const win::WinPicture&>(*picture).get()->get_Handle(&handle);
    GetObjectW(reinterpret_cast<HGDIOBJ>(static_cast<UINT_PTR>(handle)), sizeof shape, &shape);
    CHECK(shape.bmWidth == 320 && shape.bmHeight == 240);

    auto& mini = dynamic_cast<win::MapWindow&>(panel.window.miniAtlas());
    CHECK(mini.control().widthPixels() + GetSystemMetrics(SM_CXVSCROLL) == 281);
    const std::int32_t lat = mini.control().centreLat(), lng = mini.control().centreLng();
    int events = 0;
    mini.onPositionChanged([&](std::int32_t, std::int32_t, std::int32_t) {
        ++events;
        throw RuntimeError(ErrorNumber::ObjectNotSet);  // must stay in the window
    });
    SendMessageW(mini.handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 100));
    SendMessageW(mini.handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(110, 95));
    CHECK(events == 0);
    SendMessageW(mini.handle(), WM_LBUTTONUP, 0, MAKELPARAM(110, 95));
    CHECK(events == 1);
    // Dragged right and up: the view went west and south.
    CHECK(mini.control().centreLng() < lng && mini.control().centreLat() < lat);
    SendMessageW(mini.handle(), WM_HSCROLL, SB_LINEDOWN, 0);
    CHECK(events == 2 && mini.control().centreLng() > lng);  // 16 pixels east of the start
}

CHECK_CASE(the_log_keeps_unicode_lines) {
    Panel panel;
    const std::u16string text = u"2024/02/29 23:59:58: マップを更新->全国(5000000) に変更\r\n";
    panel.window.log().setText(text + text);
    CHECK(panel.window.log().text() == text + text);
}

// Lines go in at the top by a selection replace; what lies below the kept
// lines drops off, the last line keeps its line end.
CHECK_CASE(the_log_takes_lines_at_the_top_and_drops_the_oldest) {
    Panel panel;
    TextBox& log = panel.window.log();
    log.setText(u"");  // the panel's own line about the map in use
    log.insertAtTop(u"一\r\n", 3);
    CHECK(log.text() == u"一\r\n");
    log.insertAtTop(u"二\r\n", 3);
    log.insertAtTop(u"三\r\n", 3);
    CHECK(log.text() == u"三\r\n二\r\n一\r\n");
    log.insertAtTop(u"四\r\n", 3);
    CHECK(log.text() == u"四\r\n三\r\n二\r\n");
    for (int i = 0; i < 50; ++i) log.insertAtTop(u"x\r\n", 3);
    CHECK(log.text() == u"x\r\nx\r\nx\r\n");
}

// A long log lets a tenth more lines stand, then cuts back to its limit in
// one go; the newest line stays at the top throughout.
CHECK_CASE(a_long_log_drops_its_oldest_lines_in_batches) {
    Panel panel;
    TextBox& log = panel.window.log();
    log.setText(u"");
    const auto lines = [&] {
        const std::u16string text = log.text();
        return std::count(text.begin(), text.end(), u'\n');
    };
    for (char16_t c = u'A'; c <= u'U'; ++c) log.insertAtTop(std::u16string(u"行") + c + u"\r\n", 20);
    CHECK(lines() == 21);  // with the empty line after the last line end, 22
    log.insertAtTop(u"最新\r\n", 20);
    CHECK(lines() == 20);
    CHECK(log.text().starts_with(u"最新\r\n"));
    CHECK(log.text().ends_with(u"行C\r\n"));
}

}  // namespace
}  // namespace vamu::wine_test
