// A whole session as the host runs it: Initialize with the host's objects,
// the capabilities, drawing, zoom and pan, the repeat of the last report,
// the menu entries with their message boxes, the failures a host meets, and
// the references the plug-in holds, released when it is handed new objects.

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "win/tests/support/check.h"
#include "client_checks.h"
#include "com/string_array.h"
#include "server_access.h"
#include "vamuMapserver.h"
#include "win/host/host_automation.h"
#include "win/host/host_objects.h"
#include "win/host/late_call.h"
#include "win/host/message_box_watch.h"
#include "win/platform/bstr.h"
#include "win/platform/variant.h"

namespace vamu::wine_test {
namespace {

using com::SafeArray;
using win::Bstr;
using win::ComPtr;
using win::Variant;

constexpr HRESULT kObjectNotSet = static_cast<HRESULT>(0x800A005B);
constexpr HRESULT kTypeMismatch = static_cast<HRESULT>(0x800A000D);
const std::wstring kCaptionSuffix = L"   地図を読み込んでいます...";
const std::wstring kCallsign = L"JA1ZZZ";

// The host's side. The plug-in keeps references to the last form, events
// object and picture box for as long as it is loaded, so these live as long
// as the process.
struct HostObjects {
    PictureBox pic1{400, 300}, pic2{320, 240};
    PlainObject plain;
    Form form1{pic1}, form2{pic2};
    Events events1, events2;
};

std::wstring profileValue(const std::wstring& file) {
    wchar_t value[512] = {};
    GetPrivateProfileStringW(L"MAPS", L"LAST_MAP", L"", value, 512, file.c_str());
    return value;
}

std::string fileStart(const std::wstring& path, long* size) {
    FILE* f = _wfopen(path.c_str(), L"rb");
    if (!f) return {};
    char head[2] = {};
    const std::size_t got = std::fread(head, 1, 2, f);
    std::fseek(f, 0, SEEK_END);
    *size = std::ftell(f);
    std::fclose(f);
    return std::string(head, got);
}

// The share of a 24- or 32-bit BMP's pixels in the map control's land colour
// (0xF2EEDC): the map drawn from the data set built into the DLL, not the
// sea and graticule the control draws without it.
double landShare(const std::wstring& path) {
    FILE* f = _wfopen(path.c_str(), L"rb");
    if (!f) return 0;
    std::vector<unsigned char> b;
    for (int c; (c = std::fgetc(f)) != EOF;) b.push_back(static_cast<unsigned char>(c));
    std::fclose(f);
    if (b.size() < 54) return 0;
    auto word = [&](std::size_t at) { return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | b[at + 3] << 24; };
    const long offset = word(10), width = word(18), height = std::labs(word(22));
    const int bytesPerPixel = (b[28] | b[29] << 8) / 8;
    if ((bytesPerPixel != 3 && bytesPerPixel != 4) || width <= 0 || height <= 0) return 0;
    const long stride = (width * bytesPerPixel + 3) / 4 * 4;
    if (static_cast<std::size_t>(offset + stride * height) > b.size()) return 0;
    long land = 0;
    for (long y = 0; y < height; ++y) {
        for (long x = 0; x < width; ++x) {
            const unsigned char* p = &b[static_cast<std::size_t>(offset + y * stride + x * bytesPerPixel)];
            if (p[0] == 0xDC && p[1] == 0xEE && p[2] == 0xF2) ++land;
        }
    }
    return static_cast<double>(land) / static_cast<double>(width * height);
}

CallOutcome initialize(IDispatch* server, Events& events, Form& form) {
    Bstr callsign = Bstr::attach(SysAllocString(kCallsign.c_str()));
    IDispatch* e = &events;
    IDispatch* f = &form;
    CallOutcome r = call(server, L"Initialize", {ref(callsign.put()), ref(&e), ref(&f)});
    CHECK(e == &events && f == &form);  // the caller's objects stay in place
    return r;
}

CallOutcome corners(IDispatch* server, IDispatch* picMap, double x1, double y1, double x2, double y2) {
    return call(server, L"DrawMapFromCorners", {ref(&picMap), ref(&x1), ref(&y1), ref(&x2), ref(&y2)});
}

CallOutcome withPicture(IDispatch* server, const wchar_t* name, IDispatch* picMap) {
    return call(server, name, {ref(&picMap)});
}

CallOutcome withInteger(IDispatch* server, const wchar_t* name, IDispatch* picMap, SHORT number) {
    return call(server, name, {ref(&picMap), refI2(&number)});
}

void checkHandshake(IDispatch* server, HostObjects& h, HostAutomationClass& host, const std::wstring& dir) {
    CHECK_HR(S_OK, initialize(server, h.events1, h.form1).hr);
    CHECK(host.instancesMade() == 1 && host.directoryReads() == 1 && host.mapObjectReads() == 1);
    CHECK(h.pic1.picturePuts == 1 && h.pic1.lastPictureEmpty);  // no map file yet
    CHECK_WSTR(dir + L"MAPS\\!!vamuMapserver.inf", profileValue(dir + L"uiview32.ini"));
    CHECK_WSTR(L"vamuServer", text(get(server, L"strServerName").result.bstrVal));
    CHECK_WSTR(L"Atlas", text(get(server, L"strMapName").result.bstrVal));

    Variant v[9];
    std::vector<VARIANT> args;
    for (Variant& each : v) args.push_back(ref(each.get()));
    CHECK_HR(S_OK, call(server, L"GetSupportedFeatures", args).hr);
    if (v[8].type() == (VT_ARRAY | VT_BSTR))
        CHECK(arrayItems(v[8].ref().parray).at(1) == L"Hello ! 「 " + kCallsign + L" 」");
}

void checkFailuresBeforeCorners(IDispatch* server, HostObjects& h) {
    double x = 139.0, y = 35.0;
    IDispatch* pic = &h.pic1;
    CallOutcome r = call(server, L"DrawMapFromCentre", {ref(&pic), ref(&x), ref(&y)});
    CHECK_HR(DISP_E_EXCEPTION, r.hr);
    CHECK_HR(kObjectNotSet, r.scode());
    CHECK(h.pic1.picturePuts == 2 && !h.pic1.lastPictureEmpty);  // shown before the failure
    CHECK(h.events1.information.empty());

    r = corners(server, &h.plain, 139.0, 36.0, 140.0, 35.0);
    CHECK_HR(DISP_E_EXCEPTION, r.hr);
    CHECK_HR(kTypeMismatch, r.scode());
    CHECK_WSTR(L"Type mismatch", r.description());
}

void checkCornersDrawn(IDispatch* server, HostObjects& h, const std::wstring& dir) {
    CallOutcome r = corners(server, &h.pic1, 139.0, 36.0, 140.0, 35.0);
    CHECK_HR(S_OK, r.hr);
    CHECK(r.isTrue());
    CHECK(h.pic1.scaleMode == 3);
    CHECK(!h.events1.information.empty() && !h.events1.redraws.empty());
    if (h.events1.information.empty() || h.events1.redraws.empty()) return;
    const Events::Report& last = h.events1.information.back();
    CHECK(last.x1 < last.x2 && last.y1 > last.y2);
    CHECK(std::fabs((last.x1 + last.x2) / 2 - 139.5) < 0.05);
    CHECK(std::fabs((last.y1 + last.y2) / 2 - 35.5) < 0.05);
    CHECK(last.info.rfind(L"Mapserver by Vamu  ", 0) == 0);
    CHECK_WSTR(last.info, h.events1.redraws.back());
    CHECK(h.form1.caption.find(kCaptionSuffix) != std::wstring::npos);
    long size = 0;
    CHECK(fileStart(dir + L"MAPS\\!!vamuMapserver.bmp", &size) == "BM");
    CHECK(size > 54);
    CHECK(landShare(dir + L"MAPS\\!!vamuMapserver.bmp") > 0.1);  // a quarter around 139.5°E 35.5°N
}

// The picture box passed in each of the forms a client may use: by
// reference (VB), by value, and in a referenced VARIANT (VBScript). The
// references taken for the calls are checked when pic1 is replaced.
void checkZoomAndPan(IDispatch* server, HostObjects& h) {
    const std::size_t reports = h.events1.information.size();
    IDispatch* pic = &h.pic1;
    CallOutcome r = invoke(server, 0x6003000C, DISPATCH_METHOD, {ref(&pic)});  // ZoomIn by dispid
    CHECK_HR(S_OK, r.hr);
    CHECK(r.isTrue());
    r = call(server, L"ZoomOut", {value(pic)});
    CHECK_HR(S_OK, r.hr);
    CHECK(r.isTrue());
    Variant scripted = Variant::dispatch(pic), pan = Variant::i4(2);
    r = call(server, L"ZoomPan", {ref(scripted.get()), ref(pan.get())});
    CHECK_HR(S_OK, r.hr);
    CHECK(r.isTrue());
    CHECK(scripted.type() == VT_DISPATCH && scripted.ref().pdispVal == pic);
    CHECK(pan.type() == VT_I2 && pan.ref().iVal == 2);  // written back as the Integer it is
    CHECK(h.events1.information.size() >= reports + 3);
    r = call(server, L"ResizeMap", {ref(&pic), value(0.0), value(0.0), value(0.0), value(0.0)});
    CHECK_HR(S_OK, r.hr);
    CHECK(r.isFalse());
}

void checkSafeCall(IDispatch* server, HostObjects& h) {
    const Events::Report before = h.events1.information.back();
    const std::size_t redraws = h.events1.redraws.size();
    CHECK_HR(S_OK, call(server, L"SafeCall").hr);
    const Events::Report& again = h.events1.information.back();
    CHECK(again.x1 == before.x1 && again.y2 == before.y2 && again.info == before.info);
    CHECK(h.events1.redraws.size() == redraws);
    // What the host writes into the text argument lands in the plug-in.
    h.events1.replaceInfoWith = L"rewritten by the host";
    call(server, L"SafeCall");
    h.events1.replaceInfoWith.clear();
    call(server, L"SafeCall");
    CHECK_WSTR(L"rewritten by the host", h.events1.information.back().info);
}

void checkMessageBoxes(IDispatch* server, HostObjects& h, MessageBoxWatch& boxes) {
    boxes.take();
    CHECK(withInteger(server, L"SpecialMenuOption", &h.pic1, 0).isFalse());
    CHECK(withInteger(server, L"SpecialMenuOption", &h.pic1, 1).isFalse());
    CHECK(withInteger(server, L"SpecialMenuOption", &h.pic1, -1).isFalse());
    CHECK(withPicture(server, L"ZoomAll", &h.pic1).isFalse());
    SafeArray views(stringArray({L"home"}, 1));
    CHECK_HR(S_OK, call(server, L"SaveFavouriteViews", {ref(views.slot())}).hr);
    CHECK(lowerBound(views.get()) == 1 && arrayItems(views.get()) == std::vector<std::wstring>{L"home"});

    const std::vector<SeenMessageBox> seen = boxes.take();
    CHECK(seen.size() == 4);
    if (seen.size() != 4) return;
    CHECK_WSTR(L"Welcome!! " + kCallsign, seen[0].title);
    CHECK_WSTR(kCallsign +
                   L"さん、こんにちは\r\nProAtlas plugin by Vamu(QQ0QQQ)"
                   L"をダウンロードしていただき、ありがとうございます。\r\n"
                   L"このプラグインは現在開発途中です。不具合報告お待ちしております。",
               seen[0].text);
    CHECK_WSTR(L"ヴァムーマップサーバー", seen[1].text);
    CHECK_WSTR(L"vamuMapserver", seen[1].title);  // no title passed: the application's
    CHECK_WSTR(L"ZoomAll", seen[2].text);
    CHECK_WSTR(L"SaveFavouriteViews", seen[3].text);
}

void checkVtableFailure(IDispatch* server, HostObjects& h) {
    ComPtr<_clsMapServ> dual;
    server->QueryInterface(IID__clsMapServ, dual.putVoid());
    if (!dual) return fail(__FILE__, __LINE__, "no dual interface");
    IDispatch* plain = &h.plain;
    double x1 = 139.0, y1 = 36.0, x2 = 140.0, y2 = 35.0;
    VARIANT_BOOL result = VARIANT_TRUE;
    CHECK_HR(kTypeMismatch, dual->DrawMapFromCorners(&plain, &x1, &y1, &x2, &y2, &result));
    CHECK(result == VARIANT_FALSE);
    ComPtr<IErrorInfo> error;
    CHECK_HR(S_OK, GetErrorInfo(0, error.put()));
    Bstr description;
    if (error) error->GetDescription(description.put());
    CHECK_WSTR(L"Type mismatch", text(description.get()));
    CHECK_HR(S_OK, dual->ShowControlPanel());
}

// A second Initialize and DrawMapFromCorners hand over new objects: the old
// ones must be back to the test's own single reference.
void checkReplacedObjectsReleased(IDispatch* server, HostObjects& h) {
    CHECK_HR(S_OK, initialize(server, h.events2, h.form2).hr);
    CHECK(h.pic2.picturePuts == 1 && !h.pic2.lastPictureEmpty);  // the last map file
    CHECK(corners(server, &h.pic2, 139.0, 36.0, 140.0, 35.0).isTrue());
    CHECK(!h.events2.information.empty());
    CHECK(h.form1.refs() == 1);
    CHECK(h.events1.refs() == 1);
    CHECK(h.pic1.refs() == 1);
    CHECK(h.plain.refs() == 1);
}

void prepareDirectory(const std::wstring& dir) {
    std::wstring path;
    for (std::size_t i = 0; i < dir.size(); ++i) {
        path += dir[i];
        if (dir[i] == L'\\' && i > 2) CreateDirectoryW(path.c_str(), nullptr);
    }
    CreateDirectoryW((dir + L"MAPS").c_str(), nullptr);
    DeleteFileW((dir + L"MAPS\\!!vamuMapserver.bmp").c_str());
    DeleteFileW((dir + L"uiview32.ini").c_str());
}

}  // namespace

void checkSession(const std::wstring& dir) {
    prepareDirectory(dir);
    HostAutomationClass host(dir);
    CHECK(host.registered());
    MessageBoxWatch boxes;
    CHECK(boxes.active());
    auto* h = new HostObjects;  // see HostObjects
    ComPtr<IDispatch> server = createByProgId(L"vamuMapserver.clsMapServ");
    if (!server) return;
    IDispatch* s = server.get();
    runCase("handshake", [&] { checkHandshake(s, *h, host, dir); });
    runCase("failures_before_corners", [&] { checkFailuresBeforeCorners(s, *h); });
    runCase("corners_drawn", [&] { checkCornersDrawn(s, *h, dir); });
    runCase("zoom_and_pan", [&] { checkZoomAndPan(s, *h); });
    runCase("safe_call", [&] { checkSafeCall(s, *h); });
    runCase("overview_drag", [&] {
        checkOverviewDrag(h->events1.information);
        CHECK(boxes.take().empty());  // every picture reached the clipboard
    });
    runCase("message_boxes", [&] { checkMessageBoxes(s, *h, boxes); });
    runCase("vtable_failure", [&] { checkVtableFailure(s, *h); });
    runCase("replaced_objects_released", [&] { checkReplacedObjectsReleased(s, *h); });
    runCase("map_in_use", checkMapInUse);
    long bitmapSize = 0;
    fileStart(dir + L"MAPS\\!!vamuMapserver.bmp", &bitmapSize);
    writeDigest(h->events1.information, h->events1.redraws.size(), bitmapSize);
    // The test's reference is the last one: its release destroys the server.
    CHECK(server.detach()->Release() == 0);
    h->pic1.picture.reset();
    CoFreeUnusedLibraries();
    CHECK_HR(S_OK, dllCanUnloadNow());
}

void checkInstallMessage(const std::wstring& dir) {
    prepareDirectory(dir);
    HostAutomationClass host(dir);
    MessageBoxWatch boxes;
    CHECK(boxes.active());
    auto* h = new HostObjects;  // see HostObjects
    ComPtr<IDispatch> server = createByProgId(L"vamuMapserver.clsMapServ");
    if (!server) return;
    CHECK_HR(S_OK, initialize(server.get(), h->events1, h->form1).hr);
    const std::vector<SeenMessageBox> seen = boxes.take();
    CHECK(seen.size() == 1);
    if (!seen.empty()) CHECK_WSTR(L"ProAtlas2002全国版DVDをインストールしてください", seen[0].text);
    checkMapInUse();
}

}  // namespace vamu::wine_test
