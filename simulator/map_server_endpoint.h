#pragma once
// What the simulated host talks to: the map server as one endpoint, reached
// in-process on this machine or over COM on Windows. Requests go in with the
// host's own arguments and come back as a result and a status; the events
// and message boxes the server raises on the way come out through an
// EventSink as they happen.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "engine/status.h"
#include "engine/tile_prefetch.h"

namespace vamu::sim {

struct Features {
    bool diagonalPan = false, zoomIn = false, zoomOut = false, zoomAll = false, controlPanel = false;
    std::u16string helpFile;
    std::int32_t helpTopic = 0;
    std::u16string shortName;
    std::vector<std::u16string> menu;
};

// A request with a Boolean result: the result as the host reads it, false
// when the call failed.
struct Outcome {
    bool result = false;
    Status status;
};

// The user closing the panel: whether the close was refused, and whether
// the panel is still shown afterwards.
struct PanelClose {
    bool cancelled = false;
    bool visible = false;
};

class EventSink {
public:
    virtual ~EventSink() = default;
    virtual void signalInformation(double x1, double x2, double y1, double y2,
                                   const std::u16string& info) = 0;
    virtual void signalSpecialRedraw(const std::u16string& info) = 0;
    virtual void messageBox(const std::u16string& title, const std::u16string& text) = 0;
};

class MapServerEndpoint {
public:
    virtual ~MapServerEndpoint() = default;

    virtual Status initialize(const std::u16string& callsign) = 0;
    virtual Status getSupportedFeatures(Features& features) = 0;
    virtual Outcome drawMapFromCorners(double x1, double y1, double x2, double y2) = 0;
    virtual Outcome drawMapFromCentre(double x, double y) = 0;
    // The host resizes its picture box to width × height pixels, then calls
    // ResizeMap.
    virtual Outcome resizeMap(std::int32_t width, std::int32_t height) = 0;
    virtual Outcome zoomIn() = 0;
    virtual Outcome zoomOut() = 0;
    virtual Outcome zoomAll() = 0;
    virtual Outcome zoomPan(std::int16_t code) = 0;
    virtual Outcome specialMenuOption(std::int16_t index) = 0;
    virtual Status safeCall() = 0;
    virtual Status showControlPanel() = 0;
    virtual Status addToFavouriteViews(std::u16string& view) = 0;
    virtual Status loadFavouriteViews(std::vector<std::u16string>& views) = 0;
    virtual Status saveFavouriteViews(std::vector<std::u16string>& views) = 0;

    // The user's click on the panel's layer button index; error 91 when
    // there is no panel.
    virtual Status clickLayerButton(std::int16_t index) = 0;
    // The user closing the panel; nothing when there is no panel.
    virtual std::optional<PanelClose> closePanel() = 0;
    // The panel's log, newest line first; nothing when there is no panel.
    virtual std::optional<std::u16string> panelLog() = 0;
    // The operator picks a map source in the panel's list by its name;
    // error 91 when there is no panel, 5 for a name the list does not offer.
    virtual Status pickSource(const std::string& name) = 0;
    // A bulk download of the current source's tiles, for a Prefetch request;
    // the report says how it went. A refusal is a failure with the reason.
    virtual Status prefetch(const Request& request, const PrefetchProgress& progress,
                            PrefetchReport& report) = 0;
    // Lets the plug-in re-publish a view whose missing tiles arrived, as the
    // host's message loop would between requests. Before the session ends
    // (last) it first waits a while for the tiles still on their way.
    virtual void serviceTiles(bool last) = 0;
    // A PNG copy of the map bitmap; a failure says why.
    virtual Status writePng(const std::filesystem::path& bitmap, const std::filesystem::path& png) = 0;
};

}  // namespace vamu::sim
