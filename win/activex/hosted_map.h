#pragma once
// A map control that is an installed ActiveX control, called late-bound by
// its dispatch identifiers:
//   AreaCode 1 (put), Layers 2, Areas 3, LayerScale 4 (put),
//   OverviewMode 32 (put), SetCenter 45, PixelToLatLng 49 (latitude and
//   longitude by reference), CopyToClipboard 64, SetDisplayOption 100;
// the collections and their items by name. Width and Height belong to the
// container: they size the site. PositionChanged arrives through a sink on
// the control's default source interface.

#include <memory>
#include <vector>

#include "win/activex/event_sink.h"
#include "win/activex/hosted_control.h"
#include "win/panel/panel_map.h"

namespace vamu::win::activex {

namespace dispid {
inline constexpr DISPID kAreaCode = 1;
inline constexpr DISPID kLayers = 2;
inline constexpr DISPID kAreas = 3;
inline constexpr DISPID kLayerScale = 4;
inline constexpr DISPID kScrollBar = 5;
inline constexpr DISPID kMouseScroll = 6;
inline constexpr DISPID kOverviewMode = 32;
inline constexpr DISPID kKeydownScroll = 39;
inline constexpr DISPID kSetCenter = 45;
inline constexpr DISPID kPixelToLatLng = 49;
inline constexpr DISPID kCopyToClipboard = 64;
inline constexpr DISPID kSetDisplayOption = 100;
}  // namespace dispid

class HostedMap : public PanelMap {
public:
    // Raises HostingFailure: creation, activation or the event connection
    // failed (an activation failure).
    HostedMap(const CLSID& clsid, const SitePlace& place, std::vector<StoredProperty> properties);
    ~HostedMap() override;

    HWND handle() const noexcept override { return control_->window(); }
    IDispatch* dispatch() const noexcept { return control_->dispatch(); }

    void setAreaCode(const std::u16string& code) override;
    std::unique_ptr<MapLayers> layers() override;
    std::unique_ptr<MapAreas> areas() override;
    void setLayerScale(std::int32_t scale) override;
    void setOverviewMode(bool on) override;
    void setCenter(std::int32_t lat, std::int32_t lng, std::int32_t a, std::int32_t b) override;
    void pixelToLatLng(std::int32_t x, std::int32_t y, std::int32_t& lat, std::int32_t& lng) override;
    void copyToClipboard() override;
    void setDisplayOption(std::int32_t a, const std::u16string& b, std::int32_t c) override;
    void setWidth(float pixels) override;
    void setHeight(float pixels) override;
    void onPositionChanged(PositionChanged handler) override;

private:
    // Declared in the order of making; they go in reverse: the connection
    // (Unadvise), the sink, then the control.
    std::unique_ptr<HostedControl> control_;
    ComPtr<EventSink> sink_;
    std::unique_ptr<Connection> connection_;
};

}  // namespace vamu::win::activex
