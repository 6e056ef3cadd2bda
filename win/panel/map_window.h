#pragma once
// A map control on the panel: the project's replacement control drawn into
// a child window. Every call goes to the control; the window is repainted
// after each call that changes the picture and follows the control's size.
// With mouse scrolling on, the user drags the map; with scroll bars on, the
// bars move it too. Both end in the control's scrollBy, which raises
// PositionChanged; a failure there stays inside the window.

#include <windows.h>

#include <memory>
#include <optional>

#include "contracts/map_control.h"
#include "mapcontrol/replacement_map_control.h"
#include "win/panel/panel_map.h"
#include "win/panel/window_procedure.h"

namespace vamu::win {

class MapWindow : public PanelMap, private MessageTarget {
public:
    MapWindow(HINSTANCE instance, HWND parent, int id, const RECT& bounds, bool visible, Clipboard& clipboard,
              const mapcontrol::PersistedSettings& settings);
    ~MapWindow() override;

    HWND handle() const noexcept override { return window_.get(); }
    mapcontrol::ReplacementMapControl& control() noexcept { return *control_; }

    // MapControl
    void setAreaCode(const std::u16string& code) override;
    std::unique_ptr<MapLayers> layers() override;
    std::unique_ptr<MapAreas> areas() override;
    void setLayerScale(std::int32_t scale) override;
    void setOverviewMode(bool on) override;
    void setCenter(std::int32_t lat, std::int32_t lng, std::int32_t a, std::int32_t b) override;
    void pixelToLatLng(std::int32_t x, std::int32_t y, std::int32_t& lat, std::int32_t& lng) override;
    void copyToClipboard() override;
    void setDisplayOption(std::int32_t a, const std::u16string& b, std::int32_t c) override;
    // The container's size; the map takes what the scroll bars leave.
    void setWidth(float pixels) override;
    void setHeight(float pixels) override;
    void onPositionChanged(PositionChanged handler) override;

private:
    LRESULT onMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    void paint();
    void scroll(int dx, int dy);
    void onScrollBar(int bar, int request);
    void beginDrag(POINT at);
    void drag(POINT at);
    void endDrag(bool apply);
    void fitWindow();
    int barWidth() const noexcept;
    int barHeight() const noexcept;

    struct Drag {
        POINT start;
        POINT offset;
        Image picture;  // what was shown when the drag began
    };

    bool scrollBars_;
    bool mouseScroll_;
    std::unique_ptr<mapcontrol::ReplacementMapControl> control_;
    std::optional<Drag> drag_;
    UniqueWindow window_;
};

}  // namespace vamu::win
