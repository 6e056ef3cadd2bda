#pragma once
// The map server in this process: clsMapServ over the native platform, with
// the substitutes for the host's form, picture box and events object, and
// the map controls and the settings-file write traced when asked.

#include <filesystem>
#include <memory>
#include <ostream>

#include "native/native_platform.h"
#include "native/native_tiles.h"
#include "native/substitute_events.h"
#include "native/substitute_host.h"
#include "server/cls_map_serv.h"
#include "simulator/arguments.h"
#include "simulator/map_server_endpoint.h"
#include "simulator/tracing.h"

namespace vamu::sim {

class NativeEndpoint : public MapServerEndpoint {
public:
    // The trace goes to trace when options.trace is set.
    NativeEndpoint(const Options& options, const std::filesystem::path& hostDir, EventSink& sink,
                   std::ostream& trace);

    Status initialize(const std::u16string& callsign) override;
    Status getSupportedFeatures(Features& features) override;
    Outcome drawMapFromCorners(double x1, double y1, double x2, double y2) override;
    Outcome drawMapFromCentre(double x, double y) override;
    Outcome resizeMap(std::int32_t width, std::int32_t height) override;
    Outcome zoomIn() override;
    Outcome zoomOut() override;
    Outcome zoomAll() override;
    Outcome zoomPan(std::int16_t code) override;
    Outcome specialMenuOption(std::int16_t index) override;
    Status safeCall() override { return server_.SafeCall(); }
    Status showControlPanel() override { return server_.ShowControlPanel(); }
    Status addToFavouriteViews(std::u16string& view) override { return server_.AddToFavouriteViews(view); }
    Status loadFavouriteViews(std::vector<std::u16string>& views) override {
        return server_.LoadFavouriteViews(views);
    }
    Status saveFavouriteViews(std::vector<std::u16string>& views) override {
        return server_.SaveFavouriteViews(views);
    }
    Status clickLayerButton(std::int16_t index) override;
    std::optional<PanelClose> closePanel() override;
    std::optional<std::u16string> panelLog() override;
    Status writePng(const std::filesystem::path& bitmap, const std::filesystem::path& png) override;
    Status pickSource(const std::string& name) override;
    Status prefetch(const Request& request, const PrefetchProgress& progress,
                    PrefetchReport& report) override;
    void serviceTiles(bool last) override;

private:
    native::NativePlatform platform_;
    std::unique_ptr<native::NativeTiles> tiles_;
    TracingProfileWriter profile_;
    TracingPanelFactory panels_;
    Services services_;
    Module module_;
    clsMapServ server_;
    std::shared_ptr<native::SubstitutePictureBox> picture_;
    std::shared_ptr<native::SubstituteForm> form_;
    std::shared_ptr<native::SubstituteEvents> events_;
    ObjectRef picMap_;
};

}  // namespace vamu::sim
