// The map the panel uses, seen from the host's side: the panel's log line,
// the test map control loaded or not, the overview dragged with the mouse,
// and the session's results written out for comparison between two runs.

#include <cstdio>
#include <cstdlib>
#include <string>

#include "win/tests/support/check.h"
#include "client_checks.h"

namespace vamu::wine_test {
namespace {

constexpr int kMiniAtlasId = 100;

HWND panelWindow() { return FindWindowW(L"vamuMapserver.Form", nullptr); }

std::wstring windowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

// The panel's log: its one multi-line edit control.
std::wstring panelLog() {
    for (HWND child = GetWindow(panelWindow(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t name[16] = {};
        GetClassNameW(child, name, 16);
        if (lstrcmpiW(name, L"Edit") == 0) return windowText(child);
    }
    return {};
}

std::wstring environment(const wchar_t* name) {
    wchar_t value[512] = {};
    const DWORD length = GetEnvironmentVariableW(name, value, 512);
    return length > 0 && length < 512 ? value : L"";
}

}  // namespace

void checkMapInUse() {
    const std::wstring expected = environment(L"VAMU_EXPECT_MAP");
    if (expected.empty()) return;
    const std::wstring log = panelLog();
    const bool testMapLoaded = GetModuleHandleW(L"vamu_test_map.dll") != nullptr;
    if (expected == L"hosted") {
        CHECK(log.find(L"地図: ProAtlas2002CtrlLib.ProAtlasCtrl を使用\r\n") != std::wstring::npos);
        CHECK(testMapLoaded);
    } else {
        CHECK(log.find(L"地図: 内蔵の地図を使用\r\n") != std::wstring::npos);
        CHECK(!testMapLoaded);
    }
}

// The user drags the overview 10 pixels right and 5 up: the panel centres
// the main map there and publishes it, further west and south.
void checkOverviewDrag(const std::vector<Events::Report>& reports) {
    const HWND site = GetDlgItem(panelWindow(), kMiniAtlasId);
    CHECK(site != nullptr);
    if (!site || reports.empty()) return;
    const HWND hostedMap = GetWindow(site, GW_CHILD);
    const HWND map = hostedMap ? hostedMap : site;
    const std::size_t before = reports.size();
    const Events::Report last = reports.back();
    SendMessageW(map, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 100));
    SendMessageW(map, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(110, 95));
    SendMessageW(map, WM_LBUTTONUP, 0, MAKELPARAM(110, 95));
    CHECK(reports.size() == before + 1);
    if (reports.size() != before + 1) return;
    const Events::Report& moved = reports.back();
    CHECK(moved.x1 + moved.x2 < last.x1 + last.x2);
    CHECK(moved.y1 + moved.y2 < last.y1 + last.y2);
}

void writeDigest(const std::vector<Events::Report>& reports, std::size_t redraws, long bitmapSize) {
    const std::wstring path = environment(L"VAMU_SESSION_DIGEST");
    if (path.empty()) return;
    FILE* out = _wfopen(path.c_str(), L"wb");
    CHECK(out != nullptr);
    if (!out) return;
    for (const Events::Report& r : reports) {
        std::fprintf(out, "SignalInformation %.17g %.17g %.17g %.17g ", r.x1, r.x2, r.y1, r.y2);
        for (wchar_t c : r.info) std::fprintf(out, c < 128 ? "%c" : "\\u%04x", static_cast<unsigned>(c));
        std::fprintf(out, "\n");
    }
    std::fprintf(out, "SignalSpecialRedraw x%u\nbitmap %ld bytes\n", static_cast<unsigned>(redraws),
                 bitmapSize);
    std::fclose(out);
}

}  // namespace vamu::wine_test
