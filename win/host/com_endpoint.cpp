#include "win/host/com_endpoint.h"

#include <memory>

#include "contracts/text.h"
#include "mapcontrol/tiles/tile_sources.h"
#include "panel/source_labels.h"

#include "win/host/late_call.h"
#include "win/host/prefetch_call.h"
#include "win/panel/panel_layout.h"
#include "win/panel/window_procedure.h"
#include "win/platform/bstr.h"
#include "win/platform/host_waker.h"
#include "win/platform/wic_png_writer.h"

namespace vamu::host {
namespace {

std::u16string u16(const std::wstring& text) { return {text.begin(), text.end()}; }
std::wstring wide(const std::u16string& text) { return {text.begin(), text.end()}; }

// A SAFEARRAY slot owned by the holder, as a VB array variable owns its
// array: whatever a by-reference call leaves in it is destroyed with it.
class ArraySlot {
public:
    explicit ArraySlot(SAFEARRAY* array = nullptr) noexcept : array_(array) {}
    ~ArraySlot() {
        if (array_) SafeArrayDestroy(array_);
    }
    ArraySlot(const ArraySlot&) = delete;
    ArraySlot& operator=(const ArraySlot&) = delete;
    SAFEARRAY** put() noexcept { return &array_; }
    SAFEARRAY* get() const noexcept { return array_; }

private:
    SAFEARRAY* array_;
};

std::vector<std::u16string> items(SAFEARRAY* array) {
    std::vector<std::u16string> out;
    for (const std::wstring& item : arrayItems(array)) out.push_back(u16(item));
    return out;
}

// A call's failure as the host's error handler sees it: the error number
// and description of the exception the server raised, or the HRESULT of a
// call that never reached the request.
Status statusOf(CallOutcome& call) {
    if (SUCCEEDED(call.hr)) return {};
    if (call.hr != DISP_E_EXCEPTION) return {RuntimeError::foreign(static_cast<std::uint32_t>(call.hr), {})};
    if (call.info.pfnDeferredFillIn) {
        using FillIn = HRESULT(STDAPICALLTYPE*)(EXCEPINFO*);
        reinterpret_cast<FillIn>(call.info.pfnDeferredFillIn)(&call.info);
        call.info.pfnDeferredFillIn = 0;
    }
    const std::uint32_t code = call.info.scode != 0 ? static_cast<std::uint32_t>(call.info.scode)
                                                    : hresultOf(static_cast<std::int32_t>(call.info.wCode));
    return {RuntimeError::foreign(code, u16(call.description()), u16(call.source()))};
}

sim::Outcome outcomeOf(CallOutcome& call) {
    Status status = statusOf(call);
    const bool result = status.ok() && call.result.vt == VT_BOOL && call.result.boolVal != VARIANT_FALSE;
    return {result, std::move(status)};
}

BOOL CALLBACK takePanel(HWND window, LPARAM out) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    if (wcscmp(name, win::kFormClass) != 0) return TRUE;
    *reinterpret_cast<HWND*>(out) = window;
    return FALSE;
}

// The panel's top-level window, made by the plug-in on this thread.
HWND findPanel() {
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), takePanel, reinterpret_cast<LPARAM>(&found));
    return found;
}

std::wstring windowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), length + 1)));
    return text;
}

// How long the session's end waits for tiles still on their way, as the
// native simulator does, and for a re-publish due after them.
constexpr ULONGLONG kLastTilesWaitMillis = 10000;
constexpr ULONGLONG kLastRepublishMillis = 1000;
constexpr DWORD kPollMillis = 20;

// Runs what is in this thread's queue: the posted wake-ups of the tiles'
// workers and the timers due, as the host's message loop would.
void runQueue() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

}  // namespace

void setTileEnvironment(const sim::TileOptions& tiles) {
    const auto put = [](const wchar_t* name, const std::optional<std::string>& value) {
        SetEnvironmentVariableW(name, value ? wide(fromUtf8(*value)).c_str() : nullptr);
    };
    put(L"VAMU_TILE_SOURCE", tiles.source);
    put(L"VAMU_TILE_URL", tiles.url);
    put(L"VAMU_TILE_CACHE", tiles.cache);
    put(L"VAMU_TILE_WAIT", std::to_string(tiles.waitSeconds));
    put(L"VAMU_OFFLINE", tiles.offline ? std::optional<std::string>("1") : std::nullopt);
}

ComEndpoint::ComEndpoint(win::ComPtr<IDispatch> server, const sim::Options& options,
                         const std::filesystem::path& hostDir, sim::EventSink& sink)
    : server_(std::move(server)),
      picture_(static_cast<float>(options.width), static_cast<float>(options.height)),
      automation_(hostDir.wstring()) {
    events_.onInformation = [&sink](const Events::Report& r) {
        sink.signalInformation(r.x1, r.x2, r.y1, r.y2, u16(r.info));
    };
    events_.onRedraw = [&sink](const std::wstring& info) { sink.signalSpecialRedraw(u16(info)); };
    boxes_.onSeen([&sink](const SeenMessageBox& box) { sink.messageBox(u16(box.title), u16(box.text)); });
}

ComEndpoint::~ComEndpoint() {
    boxes_.onSeen(nullptr);
    server_.reset();
}

Status ComEndpoint::initialize(const std::u16string& callsign) {
    win::Bstr name(callsign);
    IDispatch* events = &events_;
    IDispatch* form = &form_;
    CallOutcome r = call(server_.get(), L"Initialize", {ref(name.put()), ref(&events), ref(&form)});
    return statusOf(r);
}

Status ComEndpoint::getSupportedFeatures(sim::Features& f) {
    VARIANT_BOOL flags[5] = {VARIANT_FALSE, VARIANT_FALSE, VARIANT_FALSE, VARIANT_FALSE, VARIANT_FALSE};
    win::Bstr helpFile, shortName;
    LONG helpTopic = 0;
    ArraySlot menu;
    CallOutcome r = call(server_.get(), L"GetSupportedFeatures",
                         {ref(&flags[0]), ref(&flags[1]), ref(&flags[2]), ref(&flags[3]), ref(&flags[4]),
                          ref(helpFile.put()), ref(&helpTopic), ref(shortName.put()), ref(menu.put())});
    f.diagonalPan = flags[0] != VARIANT_FALSE;
    f.zoomIn = flags[1] != VARIANT_FALSE;
    f.zoomOut = flags[2] != VARIANT_FALSE;
    f.zoomAll = flags[3] != VARIANT_FALSE;
    f.controlPanel = flags[4] != VARIANT_FALSE;
    f.helpFile = helpFile.str();
    f.helpTopic = helpTopic;
    f.shortName = shortName.str();
    f.menu = items(menu.get());
    return statusOf(r);
}

sim::Outcome ComEndpoint::drawMapFromCorners(double x1, double y1, double x2, double y2) {
    IDispatch* pic = &picture_;
    CallOutcome r =
        call(server_.get(), L"DrawMapFromCorners", {ref(&pic), ref(&x1), ref(&y1), ref(&x2), ref(&y2)});
    return outcomeOf(r);
}

sim::Outcome ComEndpoint::drawMapFromCentre(double x, double y) {
    IDispatch* pic = &picture_;
    CallOutcome r = call(server_.get(), L"DrawMapFromCentre", {ref(&pic), ref(&x), ref(&y)});
    return outcomeOf(r);
}

sim::Outcome ComEndpoint::resizeMap(std::int32_t width, std::int32_t height) {
    picture_.width = static_cast<float>(width);
    picture_.height = static_cast<float>(height);
    IDispatch* pic = &picture_;
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    CallOutcome r = call(server_.get(), L"ResizeMap", {ref(&pic), ref(&x1), ref(&y1), ref(&x2), ref(&y2)});
    return outcomeOf(r);
}

sim::Outcome ComEndpoint::withPicture(const wchar_t* request) {
    IDispatch* pic = &picture_;
    CallOutcome r = call(server_.get(), request, {ref(&pic)});
    return outcomeOf(r);
}

sim::Outcome ComEndpoint::withInteger(const wchar_t* request, std::int16_t number) {
    IDispatch* pic = &picture_;
    SHORT value = number;
    CallOutcome r = call(server_.get(), request, {ref(&pic), refI2(&value)});
    return outcomeOf(r);
}

Status ComEndpoint::safeCall() {
    CallOutcome r = call(server_.get(), L"SafeCall");
    return statusOf(r);
}

Status ComEndpoint::showControlPanel() {
    CallOutcome r = call(server_.get(), L"ShowControlPanel");
    return statusOf(r);
}

Status ComEndpoint::addToFavouriteViews(std::u16string& view) {
    win::Bstr text(view);
    CallOutcome r = call(server_.get(), L"AddToFavouriteViews", {ref(text.put())});
    view = text.str();
    return statusOf(r);
}

Status ComEndpoint::viewList(const wchar_t* request, std::vector<std::u16string>& views) {
    std::vector<std::wstring> wideViews;
    for (const std::u16string& view : views) wideViews.push_back(wide(view));
    ArraySlot array(stringArray(wideViews, 0));
    CallOutcome r = call(server_.get(), request, {ref(array.put())});
    views = items(array.get());
    return statusOf(r);
}

Status ComEndpoint::loadFavouriteViews(std::vector<std::u16string>& views) {
    return viewList(L"LoadFavouriteViews", views);
}

Status ComEndpoint::saveFavouriteViews(std::vector<std::u16string>& views) {
    return viewList(L"SaveFavouriteViews", views);
}

// A click as the user makes it: the panel's layer button tells its form
// that it was clicked. Whether the plug-in's handler then failed is the
// plug-in's own business; the host sees no status of it.
Status ComEndpoint::clickLayerButton(std::int16_t index) {
    const HWND panel = findPanel();
    if (!panel) return {RuntimeError(ErrorNumber::ObjectNotSet)};
    const int id = win::layout::kOption1Id + index;
    const HWND button = index < 0 ? nullptr : GetDlgItem(panel, id);
    if (!button) return {RuntimeError(ErrorNumber::SubscriptOutOfRange)};
    const bool shown = (GetWindowLongW(button, GWL_STYLE) & WS_VISIBLE) != 0;
    if (!IsWindowEnabled(button) || !shown) {
        return {RuntimeError(ErrorNumber::InvalidProcedureCall, u"The button takes no click")};
    }
    SendMessageW(panel, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    return {};
}

// The panel's window outlives every close: a close it did not refuse would
// only hide it too, so the window still being there reads as refused.
std::optional<sim::PanelClose> ComEndpoint::closePanel() {
    const HWND panel = findPanel();
    if (!panel) return std::nullopt;
    SendMessageW(panel, WM_CLOSE, 0, 0);
    return sim::PanelClose{IsWindow(panel) != FALSE, IsWindowVisible(panel) != FALSE};
}

std::optional<std::u16string> ComEndpoint::panelLog() {
    const HWND panel = findPanel();
    if (!panel) return std::nullopt;
    const HWND log = GetDlgItem(panel, win::layout::kText1Id);
    return log ? u16(windowText(log)) : std::u16string();
}

Status ComEndpoint::writePng(const std::filesystem::path& bitmap, const std::filesystem::path& png) {
    return guarded([&] { win::writePngCopy(bitmap.u16string(), png.u16string()); });
}

// The operator opens the panel's list, finds the source by the label the
// panel gives it and picks it: the list tells its panel of the change.
Status ComEndpoint::pickSource(const std::string& name) {
    const HWND panel = findPanel();
    if (!panel) return {RuntimeError(ErrorNumber::ObjectNotSet)};
    const HWND list = GetDlgItem(panel, win::layout::kSourceListId);
    tiles::TileSource source;
    source.name = name;
    const std::wstring label = wide(sourceLabel(source));
    const LRESULT index = list ? SendMessageW(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                              reinterpret_cast<LPARAM>(label.c_str()))
                               : CB_ERR;
    if (index == CB_ERR)
        return {RuntimeError(ErrorNumber::InvalidProcedureCall, u"No map source " + fromUtf8(name))};
    SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(panel, WM_COMMAND, MAKEWPARAM(win::layout::kSourceListId, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
    return {};
}

// The host's interface has no member for a bulk download: the DLL's own
// entry point takes it, on this thread, as the native simulator's module
// does.
Status ComEndpoint::prefetch(const sim::Request& request, const PrefetchProgress& progress,
                             PrefetchReport& report) {
    const std::vector<double>& d = request.degrees;
    const PrefetchLayers area{d[0], d[1], d[2], d[3], request.firstLayer, request.lastLayer};
    return callPrefetch(server_.get(), area, progress, report);
}

// Between requests the queue runs once. At the end, as the native host
// does, the session first waits for the tiles still on their way (their
// wake-ups left in the queue meanwhile), then lets the panel do what is due
// and runs the queue until nothing is.
void ComEndpoint::serviceTiles(bool last) {
    runQueue();
    const HWND panel = last ? findPanel() : nullptr;
    if (!panel) return;
    using Waker = win::WinHostThreadWaker;
    const UINT query = Waker::settledQueryMessage();
    const ULONGLONG start = GetTickCount64();
    const auto elapsed = [start] { return GetTickCount64() - start; };
    LRESULT state = SendMessageW(panel, query, 0, 0);
    while (state == Waker::kAwaited && elapsed() < kLastTilesWaitMillis) {
        Sleep(kPollMillis);
        state = SendMessageW(panel, query, 0, 0);
    }
    while (state == Waker::kRepublishDue && elapsed() < kLastTilesWaitMillis + kLastRepublishMillis) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, kPollMillis, QS_ALLINPUT);
        runQueue();
        state = SendMessageW(panel, query, 0, 0);
    }
    runQueue();
}

}  // namespace vamu::host
