#include "win/panel/map_window.h"

#include <algorithm>

#include "win/platform/bitmaps.h"

namespace vamu::win {
namespace {

// The scroll bars do not show a position (the map has no edge): the thumb
// rests in the middle and every move of it is a step from there.
constexpr int kBarRange = 100;
constexpr int kBarPage = 20;
constexpr int kBarMiddle = (kBarRange - kBarPage) / 2;
constexpr int kLineStep = 16;  // pixels per arrow click

void resetBar(HWND window, int bar) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMin = 0;
    info.nMax = kBarRange - 1;
    info.nPage = kBarPage;
    info.nPos = kBarMiddle;
    SetScrollInfo(window, bar, &info, TRUE);
}

POINT pointOf(LPARAM lParam) {
    return {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

class PaintScope {
public:
    explicit PaintScope(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    ~PaintScope() { EndPaint(window_, &paint_); }
    HDC dc() const noexcept { return dc_; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

void drawImage(HDC dc, const Image& image, POINT at) {
    if (image.width <= 0 || image.height <= 0) return;
    const BITMAPINFO info = describeImage(image);
    SetDIBitsToDevice(dc, at.x, at.y, static_cast<DWORD>(image.width), static_cast<DWORD>(image.height), 0, 0,
                      0, static_cast<UINT>(image.height), image.pixels.data(), &info, DIB_RGB_COLORS);
}

// Repaints the window when the call ends, also when it fails half-way (a
// PositionChanged handler may fail after the centre moved).
struct RepaintOnExit {
    HWND window;
    ~RepaintOnExit() { InvalidateRect(window, nullptr, FALSE); }
};

}  // namespace

MapWindow::MapWindow(HINSTANCE instance, HWND parent, int id, const RECT& bounds, bool visible,
                     Clipboard& clipboard, const mapcontrol::PersistedSettings& settings)
    : scrollBars_(settings.scrollBar), mouseScroll_(settings.mouseScroll) {
    WindowParams params;
    params.className = kMapClass;
    params.style = WS_CHILD | (visible ? WS_VISIBLE : 0) | (scrollBars_ ? WS_HSCROLL | WS_VSCROLL : 0);
    params.bounds = bounds;
    params.parent = parent;
    params.id = id;
    window_ = createWindow(instance, params, this);
    RECT client{};
    GetClientRect(handle(), &client);
    control_ = std::make_unique<mapcontrol::ReplacementMapControl>(clipboard, mapcontrol::defaultCatalogue(),
                                                                   settings, static_cast<float>(client.right),
                                                                   static_cast<float>(client.bottom));
    if (scrollBars_) {
        resetBar(handle(), SB_HORZ);
        resetBar(handle(), SB_VERT);
    }
}

MapWindow::~MapWindow() { detachTarget(window_.get()); }

void MapWindow::setAreaCode(const std::u16string& code) {
    RepaintOnExit repaint{handle()};
    control_->setAreaCode(code);
}

std::unique_ptr<MapLayers> MapWindow::layers() { return control_->layers(); }

std::unique_ptr<MapAreas> MapWindow::areas() { return control_->areas(); }

void MapWindow::setLayerScale(std::int32_t scale) {
    RepaintOnExit repaint{handle()};
    control_->setLayerScale(scale);
}

void MapWindow::setOverviewMode(bool on) {
    RepaintOnExit repaint{handle()};
    control_->setOverviewMode(on);
}

void MapWindow::setCenter(std::int32_t lat, std::int32_t lng, std::int32_t a, std::int32_t b) {
    RepaintOnExit repaint{handle()};
    control_->setCenter(lat, lng, a, b);
}

void MapWindow::pixelToLatLng(std::int32_t x, std::int32_t y, std::int32_t& lat, std::int32_t& lng) {
    control_->pixelToLatLng(x, y, lat, lng);
}

void MapWindow::copyToClipboard() { control_->copyToClipboard(); }

void MapWindow::setDisplayOption(std::int32_t a, const std::u16string& b, std::int32_t c) {
    RepaintOnExit repaint{handle()};
    control_->setDisplayOption(a, b, c);
}

void MapWindow::setWidth(float pixels) {
    RepaintOnExit repaint{handle()};
    control_->setWidth(pixels >= 0.0f ? std::max(0.0f, pixels - static_cast<float>(barWidth())) : pixels);
    fitWindow();
}

void MapWindow::setHeight(float pixels) {
    RepaintOnExit repaint{handle()};
    control_->setHeight(pixels >= 0.0f ? std::max(0.0f, pixels - static_cast<float>(barHeight())) : pixels);
    fitWindow();
}

void MapWindow::onPositionChanged(PositionChanged handler) {
    control_->onPositionChanged(std::move(handler));
}

int MapWindow::barWidth() const noexcept { return scrollBars_ ? GetSystemMetrics(SM_CXVSCROLL) : 0; }

int MapWindow::barHeight() const noexcept { return scrollBars_ ? GetSystemMetrics(SM_CYHSCROLL) : 0; }

void MapWindow::fitWindow() {
    SetWindowPos(handle(), nullptr, 0, 0, control_->widthPixels() + barWidth(),
                 control_->heightPixels() + barHeight(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT MapWindow::onMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!control_) return DefWindowProcW(window, message, wParam, lParam);  // still being created
    switch (message) {
        case WM_ERASEBKGND:
            return 1;  // the paint covers everything
        case WM_PAINT:
            paint();
            return 0;
        case WM_LBUTTONDOWN:
            beginDrag(pointOf(lParam));
            return 0;
        case WM_MOUSEMOVE:
            drag(pointOf(lParam));
            return 0;
        case WM_LBUTTONUP:
            endDrag(true);
            return 0;
        case WM_CAPTURECHANGED:
            endDrag(false);
            return 0;
        case WM_HSCROLL:
            onScrollBar(SB_HORZ, LOWORD(wParam));
            return 0;
        case WM_VSCROLL:
            onScrollBar(SB_VERT, LOWORD(wParam));
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

void MapWindow::paint() {
    PaintScope scope(handle());
    RECT client{};
    GetClientRect(handle(), &client);
    try {
        if (drag_) {
            FillRect(scope.dc(), &client, GetSysColorBrush(COLOR_APPWORKSPACE));
            drawImage(scope.dc(), drag_->picture, drag_->offset);
        } else {
            drawImage(scope.dc(), control_->render(), POINT{0, 0});
        }
    } catch (...) {
        FillRect(scope.dc(), &client, GetSysColorBrush(COLOR_APPWORKSPACE));
    }
}

void MapWindow::scroll(int dx, int dy) {
    if (dx == 0 && dy == 0) return;
    RepaintOnExit repaint{handle()};
    try {
        control_->scrollBy(dx, dy);
    } catch (...) {
        // The user's scrolling has nobody to report a failure to.
    }
}

void MapWindow::onScrollBar(int bar, int request) {
    RECT client{};
    GetClientRect(handle(), &client);
    const int extent = bar == SB_HORZ ? client.right : client.bottom;
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_TRACKPOS;
    GetScrollInfo(handle(), bar, &info);
    int delta = 0;
    switch (request) {
        case SB_LINEUP:
            delta = -kLineStep;
            break;
        case SB_LINEDOWN:
            delta = kLineStep;
            break;
        case SB_PAGEUP:
            delta = -extent / 2;
            break;
        case SB_PAGEDOWN:
            delta = extent / 2;
            break;
        case SB_THUMBPOSITION:
            delta = (info.nTrackPos - kBarMiddle) * extent / kBarPage;
            break;
        default:
            return;
    }
    resetBar(handle(), bar);
    scroll(bar == SB_HORZ ? delta : 0, bar == SB_VERT ? delta : 0);
}

void MapWindow::beginDrag(POINT at) {
    if (!mouseScroll_) return;
    drag_ = Drag{at, POINT{0, 0}, control_->render()};
    SetCapture(handle());
}

void MapWindow::drag(POINT at) {
    if (!drag_) return;
    drag_->offset = {at.x - drag_->start.x, at.y - drag_->start.y};
    InvalidateRect(handle(), nullptr, FALSE);
}

void MapWindow::endDrag(bool apply) {
    if (!drag_) return;
    const POINT offset = drag_->offset;
    drag_.reset();
    if (GetCapture() == handle()) ReleaseCapture();
    InvalidateRect(handle(), nullptr, FALSE);
    // Dragging the picture right by dx moves the view left by dx.
    if (apply) scroll(-offset.x, -offset.y);
}

}  // namespace vamu::win
