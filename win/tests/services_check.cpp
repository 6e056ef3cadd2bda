// Settings file, clock, version information, message boxes, and the map
// tiles' settings and session choices.

#include "win/platform/bstr.h"
#include "win/platform/clock.h"
#include "win/platform/messages.h"
#include "win/platform/profile.h"
#include "win/tests/support/check.h"
#include "win/tests/support/temp_folder.h"
#include "win/platform/version.h"
#include "win/win_tiles.h"

namespace vamu::wine_test {
namespace {

CHECK_CASE(the_profile_entry_is_written_in_the_ansi_code_page) {
    TempFolder folder;
    const std::u16string file = folder.path(u"uiview32.ini");
    win::WinProfileWriter profile;
    CHECK(profile.writeString(u"MAPS", u"LAST_MAP", u"C:\\UIV\\MAPS\\!!vamuMapserver.inf", file));
    char value[260] = {};
    const std::string ansiFile = win::toAnsi(file);
    GetPrivateProfileStringA("MAPS", "LAST_MAP", "", value, sizeof value, ansiFile.c_str());
    CHECK(std::string(value) == "C:\\UIV\\MAPS\\!!vamuMapserver.inf");
    CHECK(profile.writeString(u"MAPS", u"LAST_MAP", u"", file));  // empty, not deleted
    GetPrivateProfileStringA("MAPS", "LAST_MAP", "absent", value, sizeof value, ansiFile.c_str());
    CHECK(std::string(value).empty());
    CHECK(win::toAnsi(u"") == "" && win::toAnsi(u"abc") == "abc");
}

// One environment variable set (or removed) for the time of a scope.
class Variable {
public:
    Variable(const wchar_t* name, const wchar_t* value) : name_(name) {
        SetEnvironmentVariableW(name, value);
    }
    Variable(const Variable&) = delete;
    Variable& operator=(const Variable&) = delete;
    ~Variable() { SetEnvironmentVariableW(name_, nullptr); }

private:
    const wchar_t* name_;
};

// What vamu-host.exe passes in the environment, and the operator's choice
// kept in the settings file that VAMU_CONFIG names, in a folder made for it.
CHECK_CASE(the_tiles_take_the_session_from_the_environment_and_keep_the_choice) {
    {
        const Variable source(L"VAMU_TILE_SOURCE", L"osm"), wait(L"VAMU_TILE_WAIT", L"12"),
            offline(L"VAMU_OFFLINE", L"1");
        const tiles::TileSessionOptions session = win::tileSessionFromEnvironment();
        CHECK(session.source == "osm" && !session.tileUrl && session.waitMillis == 12000 && session.offline);
    }
    for (const wchar_t* bad : {L"abc", L"601", L"-1", L"12s", L""}) {
        const Variable wait(L"VAMU_TILE_WAIT", bad), offline(L"VAMU_OFFLINE", L"yes");
        const tiles::TileSessionOptions session = win::tileSessionFromEnvironment();
        CHECK(session.waitMillis == 0 && !session.offline && !session.source);
    }
    TempFolder folder;
    const std::u16string settings = folder.path(u"settings\\vamuMapserver.ini");
    const Variable config(L"VAMU_CONFIG", win::wide(settings)),
        cache(L"VAMU_TILE_CACHE", win::wide(folder.path(u"cache")));
    CHECK(win::tileSettingsFile() == settings && win::readTileSettingsText(settings) == std::string{});
    win::WinTiles tiles;
    CHECK(tiles.service().current().name == "builtin" && tiles.service().select("gsi-pale"));
    const std::optional<std::string> kept = win::readTileSettingsText(settings);
    CHECK(kept && kept->find("source=gsi-pale") != std::string::npos);
    CHECK(!tiles.service().select("nowhere") && tiles.service().current().name == "gsi-pale");
}

CHECK_CASE(the_clock_formats_the_reading_it_is_given) {
    win::WinClock clock;
    const ClockReading now = clock.now();
    CHECK(now.year >= 2000 && now.month >= 1 && now.month <= 12 && now.day >= 1);
    const ClockReading fixed{2024, 2, 29, 23, 59, 58};
    const std::u16string date = clock.shortDate(fixed);
    const std::u16string time = clock.timeOfDay(fixed);
    CHECK(date.find(u"29") != std::u16string::npos && date.find(u"24") != std::u16string::npos);
    CHECK(time.find(u"59") != std::u16string::npos && time.find(u"58") != std::u16string::npos);
    CHECK(date.back() != u'\0' && time.back() != u'\0');
}

CHECK_CASE(the_product_name_comes_from_the_version_resource) {
    win::WinVersionInfo own(GetModuleHandleW(nullptr));
    CHECK(own.productName() == u"vamuWinCheck");
    CHECK(win::modulePath(GetModuleHandleW(nullptr)).ends_with(u".exe"));
}

// Message boxes are closed by a hook as soon as they come up; the hook
// notes their title and text as they go (while they come up, their text
// may not be there yet).
std::u16string gTitle, gText;
HHOOK gHook = nullptr;

// The box's text is its static control with text (the icon has none).
BOOL CALLBACK readStatic(HWND child, LPARAM) {
    wchar_t kind[16] = {}, text[256] = {};
    GetClassNameW(child, kind, 16);
    GetWindowTextW(child, text, 256);
    if (lstrcmpiW(kind, L"Static") == 0 && text[0]) gText = reinterpret_cast<const char16_t*>(text);
    return TRUE;
}

LRESULT CALLBACK closeBox(int code, WPARAM wParam, LPARAM lParam) {
    const auto box = reinterpret_cast<HWND>(wParam);
    wchar_t kind[16] = {};
    if (code == HCBT_ACTIVATE || code == HCBT_DESTROYWND) GetClassNameW(box, kind, 16);
    if (lstrcmpW(kind, L"#32770") == 0 && code == HCBT_ACTIVATE) PostMessageW(box, WM_COMMAND, IDOK, 0);
    if (lstrcmpW(kind, L"#32770") == 0 && code == HCBT_DESTROYWND) {
        wchar_t title[256] = {};
        GetWindowTextW(box, title, 256);
        gTitle = reinterpret_cast<const char16_t*>(title);
        EnumChildWindows(box, readStatic, 0);
    }
    return CallNextHookEx(gHook, code, wParam, lParam);
}

CHECK_CASE(message_boxes_show_the_component_title_by_default) {
    gHook = SetWindowsHookExW(WH_CBT, closeBox, nullptr, GetCurrentThreadId());
    win::WinMessageBoxes boxes;
    boxes.show(u"保存できませんでした", MessageButtons::Ok, std::nullopt);
    CHECK(gTitle == u"vamuMapserver");
    CHECK(gText == u"保存できませんでした");
    boxes.show(u"ZoomAll", MessageButtons::Ok, u"Own title");
    CHECK(gTitle == u"Own title" && gText == u"ZoomAll");
    UnhookWindowsHookEx(gHook);
}

}  // namespace
}  // namespace vamu::wine_test
