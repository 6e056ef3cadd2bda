#pragma once
// The map server reached over COM as the host reaches it: every request
// through IDispatch with VB-typed by-reference arguments, the host's form,
// picture box and events object as COM objects of this process, the host's
// automation class registered for the session, and the plug-in's modal
// message boxes read and closed as they appear.

#include <windows.h>
#include <oaidl.h>

#include <filesystem>

#include "simulator/arguments.h"
#include "simulator/map_server_endpoint.h"
#include "win/host/host_automation.h"
#include "win/host/host_objects.h"
#include "win/host/message_box_watch.h"
#include "win/platform/com_ptr.h"

namespace vamu::host {

// The session's tile options as the process environment the DLL reads:
// VAMU_TILE_SOURCE, VAMU_TILE_URL, VAMU_TILE_CACHE, VAMU_TILE_WAIT and
// VAMU_OFFLINE, each set or removed. Call before the DLL is loaded.
void setTileEnvironment(const sim::TileOptions& tiles);

class ComEndpoint : public sim::MapServerEndpoint {
public:
    // server: the plug-in's clsMapServ; the host objects report to sink.
    ComEndpoint(win::ComPtr<IDispatch> server, const sim::Options& options,
                const std::filesystem::path& hostDir, sim::EventSink& sink);
    ~ComEndpoint() override;
    ComEndpoint(const ComEndpoint&) = delete;
    ComEndpoint& operator=(const ComEndpoint&) = delete;

    Status initialize(const std::u16string& callsign) override;
    Status getSupportedFeatures(sim::Features& features) override;
    sim::Outcome drawMapFromCorners(double x1, double y1, double x2, double y2) override;
    sim::Outcome drawMapFromCentre(double x, double y) override;
    sim::Outcome resizeMap(std::int32_t width, std::int32_t height) override;
    sim::Outcome zoomIn() override { return withPicture(L"ZoomIn"); }
    sim::Outcome zoomOut() override { return withPicture(L"ZoomOut"); }
    sim::Outcome zoomAll() override { return withPicture(L"ZoomAll"); }
    sim::Outcome zoomPan(std::int16_t code) override { return withInteger(L"ZoomPan", code); }
    sim::Outcome specialMenuOption(std::int16_t index) override {
        return withInteger(L"SpecialMenuOption", index);
    }
    Status safeCall() override;
    Status showControlPanel() override;
    Status addToFavouriteViews(std::u16string& view) override;
    Status loadFavouriteViews(std::vector<std::u16string>& views) override;
    Status saveFavouriteViews(std::vector<std::u16string>& views) override;
    Status clickLayerButton(std::int16_t index) override;
    std::optional<sim::PanelClose> closePanel() override;
    std::optional<std::u16string> panelLog() override;
    Status writePng(const std::filesystem::path& bitmap, const std::filesystem::path& png) override;
    Status pickSource(const std::string& name) override;
    Status prefetch(const sim::Request& request, const PrefetchProgress& progress,
                    PrefetchReport& report) override;
    void serviceTiles(bool last) override;

private:
    sim::Outcome withPicture(const wchar_t* request);
    sim::Outcome withInteger(const wchar_t* request, std::int16_t number);
    Status viewList(const wchar_t* request, std::vector<std::u16string>& views);

    win::ComPtr<IDispatch> server_;
    PictureBox picture_;
    Form form_{picture_};
    Events events_;
    HostAutomationClass automation_;
    MessageBoxWatch boxes_;
};

}  // namespace vamu::host
