// The panel's ActiveX container against the test map control: the choice
// between the installed control and the built-in map, the fallbacks, calls
// by dispatch identifier, sizes and captures, the event both ways, and the
// references given back when the panel goes.

#include <string>

#include "win/activex/event_sink.h"
#include "win/activex/hosted_map.h"
#include "win/panel/panel_layout.h"
#include "win/panel/panel_window.h"
#include "win/platform/clipboard.h"
#include "win/platform/win_picture.h"
#include "win/tests/support/check.h"
#include "win/tests/test_control/test_map_state.h"
#include "win/win_platform.h"

namespace vamu::wine_test {
namespace {

namespace layout = win::layout;
using win::activex::HostedMap;

// vamu_test_map.dll, beside the checks, registered under the installed
// control's ProgID while the holder lives.
class TestMapRegistration {
public:
    TestMapRegistration() {
        wchar_t path[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, path, MAX_PATH);
        std::wstring dll = path;
        dll = dll.substr(0, dll.find_last_of(L'\\')) + L"\\test_control\\vamu_test_map.dll";
        module_ = LoadLibraryW(dll.c_str());
        if (!module_) return;
        registered_ = call("DllRegisterServer") == S_OK;
    }
    TestMapRegistration(const TestMapRegistration&) = delete;
    TestMapRegistration& operator=(const TestMapRegistration&) = delete;
    ~TestMapRegistration() {
        if (!module_) return;
        call("DllUnregisterServer");
        CoFreeUnusedLibraries();
        FreeLibrary(module_);
    }
    bool registered() const noexcept { return registered_; }
    TestMapReport state() const {
        TestMapReport report{-1, -1, -1, -1, -1, -1, -1};
        const auto get = reinterpret_cast<TestMapStateProc>(
            reinterpret_cast<void*>(GetProcAddress(module_, "TestMapState")));
        if (get) get(&report);
        return report;
    }

private:
    HRESULT call(const char* name) {
        using Proc = HRESULT(WINAPI*)();
        const auto proc = reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
        return proc ? proc() : E_FAIL;
    }

    HMODULE module_ = nullptr;
    bool registered_ = false;
};

// The test control's switch for the time of a scope.
class Switch {
public:
    explicit Switch(const wchar_t* value) { SetEnvironmentVariableW(L"VAMU_TEST_MAP", value); }
    Switch(const Switch&) = delete;
    Switch& operator=(const Switch&) = delete;
    ~Switch() { SetEnvironmentVariableW(L"VAMU_TEST_MAP", nullptr); }
};

struct Panel {
    win::WinPlatform platform{GetModuleHandleW(nullptr)};
    std::unique_ptr<PanelWidgets> widgets = platform.services().panels.create();
    win::PanelWindow& window = dynamic_cast<win::PanelWindow&>(*widgets);
    HWND form = window.window().handle();

    bool hosted() {
        return dynamic_cast<HostedMap*>(&window.atlas()) && dynamic_cast<HostedMap*>(&window.miniAtlas());
    }
    bool builtIn() {
        return dynamic_cast<win::MapWindow*>(&window.atlas()) &&
               dynamic_cast<win::MapWindow*>(&window.miniAtlas());
    }
    bool logged(const std::u16string& text) { return window.log().text().find(text) != std::u16string::npos; }
};

int childWindows(HWND parent) {
    int count = 0;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) ++count;
    return count;
}

bool endsWith(const std::u16string& text, const std::u16string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

SIZE clipboardSize() {
    win::WinClipboard clipboard;
    const PictureRef picture = clipboard.picture();
    OLE_HANDLE handle = 0;
    dynamic_cast<const win::WinPicture&>(*picture).get()->get_Handle(&handle);
    BITMAP shape{};
    GetObjectW(reinterpret_cast<HGDIOBJ>(static_cast<UINT_PTR>(handle)), sizeof shape, &shape);
    return SIZE{shape.bmWidth, shape.bmHeight};
}

struct Corners {
    std::int32_t lat1 = 0, lng1 = 0, lat2 = 0, lng2 = 0;
    bool operator==(const Corners&) const = default;
};

// What the render cycle asks of the main map, at a size and a centre.
Corners drawAt(MapControl& atlas, float width, float height) {
    atlas.setWidth(width);
    atlas.setHeight(height);
    atlas.setLayerScale(25000);
    atlas.setCenter(128441000, 503173000, 1, 0);
    atlas.copyToClipboard();
    Corners c;
    atlas.pixelToLatLng(0, 0, c.lat1, c.lng1);
    atlas.pixelToLatLng(static_cast<std::int32_t>(width), static_cast<std::int32_t>(height), c.lat2, c.lng2);
    return c;
}

std::u16string areaCodes(MapControl& map) {
    const auto areas = map.areas();
    std::u16string codes;
    for (std::int32_t i = 0; i < areas->count(); ++i) codes += areas->item(i)->areaCode() + u";";
    return codes;
}

void drag(HWND window, int dx, int dy) {
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 100));
    SendMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(100 + dx, 100 + dy));
    SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(100 + dx, 100 + dy));
}

CHECK_CASE(without_the_control_both_maps_are_built_in) {
    Panel panel;
    CHECK(panel.builtIn());
    CHECK(endsWith(panel.window.log().text(), u": 地図: 内蔵の地図を使用\r\n"));
}

CHECK_CASE(a_registered_control_is_hosted_for_both_maps_and_given_back) {
    TestMapRegistration control;
    CHECK(control.registered());
    {
        Panel panel;
        CHECK(panel.hosted());
        const std::u16string log = panel.window.log().text();
        CHECK(endsWith(log, u": 地図: ProAtlas2002CtrlLib.ProAtlasCtrl を使用\r\n") &&
              log.find(u"\r\n") == log.size() - 2);  // one line
        const TestMapReport state = control.state();
        CHECK(state.connections == 2 && state.sinkRefs == 2 && state.objects == 2);
        CHECK(state.userMode == 1 && state.ambientFont == 1);
        CHECK(win::activex::EventSink::alive() == 2);
        // The site windows stand where the built-in maps stand, in the same
        // tab order; the main map's is hidden.
        CHECK(GetDlgItem(panel.form, layout::kMiniAtlasId) == panel.window.miniAtlas().handle());
        CHECK(GetWindow(panel.form, GW_CHILD) == panel.window.miniAtlas().handle());
        CHECK(win::hasVisibleStyle(panel.window.miniAtlas().handle()) &&
              !win::hasVisibleStyle(panel.window.atlas().handle()));
        CHECK(areaCodes(panel.window.atlas()) == u"RDW2010;RKT2010;");
        CHECK(panel.window.atlas().layers()->count() == 13);
        std::int32_t index = 6;
        CHECK(panel.window.atlas().layers()->item(index)->layerScale() > 0);
        index = 13;
        CHECK_RAISES(9, panel.window.atlas().layers()->item(index));
        CHECK_RAISES(380, panel.window.atlas().setWidth(-1.0f));
        CHECK_RAISES(380, panel.window.atlas().setLayerScale(0));
    }
    const TestMapReport state = control.state();
    CHECK(state.objects == 0 && state.connections == 0 && state.sinkRefs == 0);
    CHECK(win::activex::EventSink::alive() == 0);
}

CHECK_CASE(the_hosted_main_map_renders_as_the_built_in_one_while_hidden) {
    Corners builtIn, hosted;
    SIZE builtInSize{}, hostedSize{};
    {
        Panel panel;
        builtIn = drawAt(panel.window.atlas(), 320.0f, 240.0f);
        builtInSize = clipboardSize();
    }
    TestMapRegistration control;
    Panel panel;
    CHECK(panel.hosted());
    hosted = drawAt(panel.window.atlas(), 320.0f, 240.0f);
    hostedSize = clipboardSize();
    CHECK(builtIn == hosted);
    CHECK(hosted.lat1 > hosted.lat2 && hosted.lng1 < hosted.lng2);
    CHECK(builtInSize.cx == 320 && builtInSize.cy == 240);
    CHECK(hostedSize.cx == 320 && hostedSize.cy == 240);
    CHECK(!IsWindowVisible(panel.window.atlas().handle()));
    RECT site{};
    GetClientRect(panel.window.atlas().handle(), &site);
    CHECK(site.right == 320 && site.bottom == 240);
}

CHECK_CASE(position_changed_comes_by_name_and_its_failure_goes_back) {
    TestMapRegistration control;
    Panel panel;
    MapControl& mini = panel.window.miniAtlas();
    std::int32_t lat = 0, lng = 0, third = -1;
    bool fail = false;
    mini.onPositionChanged([&](std::int32_t a, std::int32_t b, std::int32_t c) {
        lat = a;
        lng = b;
        third = c;
        if (fail) throw RuntimeError(ErrorNumber::ObjectNotSet);
    });
    mini.setCenter(128000000, 502000000, 1, 0);
    CHECK(lat == 128000000 && lng == 502000000 && third == 0);
    fail = true;
    CHECK_RAISES(91, mini.setCenter(128100000, 502100000, 1, 0));
    CHECK(lat == 128100000);  // the centre moved before the handler failed
    fail = false;
    const std::int32_t fired = control.state().fired;
    panel.window.atlas().setCenter(128200000, 502200000, 1, 0);  // the main map's event has no handler
    CHECK(control.state().fired == fired + 1 && lat == 128100000);
}

// The user drags the overview: the handler centres the main map there.
CHECK_CASE(dragging_the_hosted_overview_moves_the_main_map) {
    TestMapRegistration control;
    Panel panel;
    CHECK(panel.hosted());
    MapControl& atlas = panel.window.atlas();
    drawAt(atlas, 200.0f, 100.0f);
    Corners before;
    atlas.pixelToLatLng(100, 50, before.lat1, before.lng1);
    int events = 0;
    panel.window.miniAtlas().onPositionChanged([&](std::int32_t lat, std::int32_t lng, std::int32_t) {
        ++events;
        atlas.setCenter(lat, lng, 1, 0);
        atlas.copyToClipboard();
    });
    const HWND map = GetWindow(panel.window.miniAtlas().handle(), GW_CHILD);
    CHECK(map != nullptr);
    drag(map, 10, -5);
    CHECK(events == 1);
    Corners after;
    atlas.pixelToLatLng(100, 50, after.lat1, after.lng1);
    // Dragged right and up: the view went west and south.
    CHECK(after.lng1 < before.lng1 && after.lat1 < before.lat1);
}

CHECK_CASE(a_control_that_fails_falls_back_to_the_built_in_map) {
    TestMapRegistration control;
    {
        Switch failing(L"fail-create");
        Panel panel;
        CHECK(panel.builtIn());
        CHECK(panel.logged(
            u"地図: ProAtlas2002CtrlLib.ProAtlasCtrl の作成に失敗 (0x80004005)、内蔵の地図を使用"));
    }
    {
        Switch failing(L"fail-activate");
        Panel panel;
        CHECK(panel.builtIn());
        CHECK(panel.logged(
            u"地図: ProAtlas2002CtrlLib.ProAtlasCtrl の起動に失敗 (0x80004005)、内蔵の地図を使用"));
        CHECK(GetWindow(panel.form, GW_CHILD) == panel.window.miniAtlas().handle());  // no site left behind
    }
    const TestMapReport state = control.state();
    CHECK(state.objects == 0 && state.connections == 0 && win::activex::EventSink::alive() == 0);
}

// A class under the ProgID that is no control, or one that answers a query
// with success and no pointer: the built-in map, the failure logged.
CHECK_CASE(a_careless_class_under_the_prog_id_leaves_the_built_in_map) {
    TestMapRegistration control;
    for (const wchar_t* mode : {L"wrong-interface", L"null-interface"}) {
        Switch careless(mode);
        Panel panel;
        CHECK(panel.builtIn());
        CHECK(panel.logged(
            u"地図: ProAtlas2002CtrlLib.ProAtlasCtrl の作成に失敗 (0x80004002)、内蔵の地図を使用"));
    }
    CHECK(control.state().objects == 0);
}

CHECK_CASE(a_licensed_control_is_made_with_its_run_time_key_or_as_licensed_here) {
    TestMapRegistration control;
    {
        Switch licensed(L"licensed");
        Panel panel;
        CHECK(panel.hosted());
        CHECK(control.state().licensed == 2);
    }
    {
        Switch licensed(L"licensed-machine");
        Panel panel;
        CHECK(panel.hosted());
        CHECK(control.state().licensed == 2);  // made without a key
    }
    {
        Switch unlicensed(L"not-licensed");
        Panel panel;
        CHECK(panel.builtIn());
        CHECK(endsWith(
            panel.window.log().text(),
            u": 地図: ProAtlas2002CtrlLib.ProAtlasCtrl はこのコンピューターで使用が許諾されていません "
            u"(0x80040112)、内蔵の地図を使用\r\n"));
    }
    const TestMapReport state = control.state();
    CHECK(state.objects == 0 && state.connections == 0 && win::activex::EventSink::alive() == 0);
}

// The overview is made and connected, the main map fails: the overview goes
// with its site window, sink and connection, and both maps are built in.
CHECK_CASE(the_second_map_failing_takes_the_first_with_it) {
    int builtInChildren = 0;
    {
        Panel panel;
        builtInChildren = childWindows(panel.form);
    }
    TestMapRegistration control;
    Switch second(L"fail-second");
    {
        Panel panel;
        CHECK(panel.builtIn());
        CHECK(panel.logged(
            u"地図: ProAtlas2002CtrlLib.ProAtlasCtrl の起動に失敗 (0x80004005)、内蔵の地図を使用"));
        CHECK(childWindows(panel.form) == builtInChildren);
        CHECK(GetWindow(panel.form, GW_CHILD) == panel.window.miniAtlas().handle());
        const TestMapReport state = control.state();
        CHECK(state.objects == 0 && state.connections == 0 && state.sinkRefs == 0);
        CHECK(win::activex::EventSink::alive() == 0);
        panel.window.atlas().setCenter(128441000, 503173000, 1, 0);  // the built-in pair works
        CHECK(panel.window.miniAtlas().layers()->count() == 13);
    }
    CHECK(control.state().objects == 0);
}

CHECK_CASE(a_control_without_the_data_set_is_still_hosted) {
    TestMapRegistration control;
    Switch other(L"no-rdw2010");
    Panel panel;
    CHECK(panel.hosted());
    CHECK(areaCodes(panel.window.atlas()) == u"RDW2005;RKT2010;");
    CHECK(panel.window.atlas().layers()->count() == 0);  // its stored RDW2010 names no data set
}

}  // namespace
}  // namespace vamu::wine_test
