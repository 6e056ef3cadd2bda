#include "simulator/native_endpoint.h"

#include <chrono>
#include <cstdlib>
#include <thread>

#include "native/atomic_file.h"
#include "native/bmp_codec.h"
#include "native/png_writer.h"
#include "engine/tile_pump.h"
#include "mapcontrol/tiles/tile_service.h"
#include "panel/form1.h"

namespace vamu::sim {
namespace {

// A null stream for the trace when it is off.
class NullBuffer : public std::streambuf {
protected:
    int overflow(int c) override { return c; }
};
NullBuffer nullBuffer;
std::ostream nullStream(&nullBuffer);

constexpr char16_t kDefaultTitle[] = u"vamuMapserver";
// How long the session's end waits for tiles still on their way.
constexpr std::int32_t kLastTilesWaitMillis = 10000;

Outcome outcome(vb::Boolean result, Status status) { return {result != vb::False, std::move(status)}; }

}  // namespace

NativeEndpoint::NativeEndpoint(const Options& options, const std::filesystem::path& hostDir, EventSink& sink,
                               std::ostream& trace)
    : platform_(native::NativeOptions{{}, false}),
      profile_(platform_.profile(), options.trace ? trace : nullStream),
      panels_(platform_.panels(), options.trace ? trace : nullStream),
      services_{platform_.host(),
                platform_.clipboard(),
                platform_.pictures(),
                platform_.messages(),
                platform_.clock(),
                profile_,
                panels_,
                platform_.version()},
      module_(services_, makeForm1),
      server_(module_),
      picture_(std::make_shared<native::SubstitutePictureBox>(options.width, options.height)),
      form_(std::make_shared<native::SubstituteForm>(picture_)),
      events_(std::make_shared<native::SubstituteEvents>()),
      picMap_(picture_) {
    native::NativeTileOptions tileOptions;
    tileOptions.session.source = options.tiles.source;
    tileOptions.session.tileUrl = options.tiles.url;
    tileOptions.session.waitMillis = options.tiles.waitSeconds * 1000;
    tileOptions.session.offline = options.tiles.offline;
    if (options.tiles.cache) tileOptions.cacheFolder = *options.tiles.cache;
    if (const char* ca = std::getenv("VAMU_TILE_CA"); ca && *ca) tileOptions.caFile = ca;
    tiles_ = std::make_unique<native::NativeTiles>(std::move(tileOptions));
    module_.tiles = &tiles_->service();
    platform_.panels().useTiles(&tiles_->service());
    platform_.host().automation().setInstallationDirectory(native::DriveMap::toWindows(hostDir));
    events_->onSignalInformation(
        [&sink](double& x1, double& x2, double& y1, double& y2, std::u16string& info) {
            sink.signalInformation(x1, x2, y1, y2, info);
        });
    events_->onSignalSpecialRedraw([&sink](std::u16string& info) { sink.signalSpecialRedraw(info); });
    platform_.messages().setObserver([&sink](const native::ShownMessage& box) {
        sink.messageBox(box.title.value_or(kDefaultTitle), box.text);
    });
}

Status NativeEndpoint::initialize(const std::u16string& callsign) {
    std::u16string name = callsign;
    ObjectRef events = events_;
    ObjectRef form = form_;
    return server_.Initialize(name, events, form);
}

Status NativeEndpoint::getSupportedFeatures(Features& f) {
    vb::Boolean diagonal = vb::False, zoomIn = vb::False, zoomOut = vb::False, zoomAll = vb::False,
                panel = vb::False;
    const Status status = server_.GetSupportedFeatures(diagonal, zoomIn, zoomOut, zoomAll, panel, f.helpFile,
                                                       f.helpTopic, f.shortName, f.menu);
    f.diagonalPan = diagonal != vb::False;
    f.zoomIn = zoomIn != vb::False;
    f.zoomOut = zoomOut != vb::False;
    f.zoomAll = zoomAll != vb::False;
    f.controlPanel = panel != vb::False;
    return status;
}

Outcome NativeEndpoint::drawMapFromCorners(double x1, double y1, double x2, double y2) {
    vb::Boolean result = vb::False;
    Status status = server_.DrawMapFromCorners(picMap_, x1, y1, x2, y2, result);
    return outcome(result, std::move(status));
}

Outcome NativeEndpoint::drawMapFromCentre(double x, double y) {
    vb::Boolean result = vb::False;
    Status status = server_.DrawMapFromCentre(picMap_, x, y, result);
    return outcome(result, std::move(status));
}

Outcome NativeEndpoint::resizeMap(std::int32_t width, std::int32_t height) {
    picture_->setPixelSize(width, height);
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    vb::Boolean result = vb::False;
    Status status = server_.ResizeMap(picMap_, x1, y1, x2, y2, result);
    return outcome(result, std::move(status));
}

Outcome NativeEndpoint::zoomIn() {
    vb::Boolean result = vb::False;
    Status status = server_.ZoomIn(picMap_, result);
    return outcome(result, std::move(status));
}

Outcome NativeEndpoint::zoomOut() {
    vb::Boolean result = vb::False;
    Status status = server_.ZoomOut(picMap_, result);
    return outcome(result, std::move(status));
}

Outcome NativeEndpoint::zoomAll() {
    vb::Boolean result = vb::False;
    Status status = server_.ZoomAll(picMap_, result);
    return outcome(result, std::move(status));
}

Outcome NativeEndpoint::zoomPan(std::int16_t code) {
    vb::Boolean result = vb::False;
    Status status = server_.ZoomPan(picMap_, code, result);
    return outcome(result, std::move(status));
}

Outcome NativeEndpoint::specialMenuOption(std::int16_t index) {
    vb::Boolean result = vb::False;
    Status status = server_.SpecialMenuOption(picMap_, index, result);
    return outcome(result, std::move(status));
}

Status NativeEndpoint::clickLayerButton(std::int16_t index) {
    auto* widgets = platform_.panels().lastCreated();
    if (!widgets) return {RuntimeError(ErrorNumber::ObjectNotSet)};
    const Status clicked = guarded([&] {
        if (!widgets->options().click(index)) {
            throw RuntimeError(ErrorNumber::InvalidProcedureCall, u"The button takes no click");
        }
    });
    const auto* form = dynamic_cast<const Form1*>(&module_.panel());
    return clicked.ok() && form ? form->lastEventStatus() : clicked;
}

std::optional<PanelClose> NativeEndpoint::closePanel() {
    auto* widgets = platform_.panels().lastCreated();
    if (!widgets) return std::nullopt;
    const bool closed = widgets->window().requestClose();
    return PanelClose{!closed, widgets->window().visible()};
}

std::optional<std::u16string> NativeEndpoint::panelLog() {
    if (!module_.hasPanel()) return std::nullopt;
    return module_.panel().log().text();
}

Status NativeEndpoint::writePng(const std::filesystem::path& bitmap, const std::filesystem::path& png) {
    return guarded([&] {
        if (!native::writePng(native::decodeBmp(native::readWholeFile(bitmap)), png)) {
            throw RuntimeError(ErrorNumber::InternalError, u"this build writes no PNG files");
        }
    });
}

Status NativeEndpoint::pickSource(const std::string& name) {
    auto* widgets = platform_.panels().lastCreated();
    if (!widgets) return {RuntimeError(ErrorNumber::ObjectNotSet)};
    const auto& sources = tiles_->service().sources();
    std::size_t index = 0;
    while (index < sources.size() && sources[index].name != name) ++index;
    if (index == sources.size() || index >= widgets->sources().items().size()) {
        return {RuntimeError(ErrorNumber::InvalidProcedureCall, u"No map source " + fromUtf8(name))};
    }
    const Status picked = guarded([&] { widgets->sources().pick(static_cast<std::int32_t>(index)); });
    const auto* form = dynamic_cast<const Form1*>(&module_.panel());
    return picked.ok() && form ? form->lastEventStatus() : picked;
}

Status NativeEndpoint::prefetch(const Request& request, const PrefetchProgress& progress,
                                PrefetchReport& report) {
    const std::vector<double>& d = request.degrees;
    const PrefetchLayers layers{d[0], d[1], d[2], d[3], request.firstLayer, request.lastLayer};
    return guarded([&] { report = PrefetchTiles(module_, layers, progress); });
}

void NativeEndpoint::serviceTiles(bool last) {
    tiles::TileService& service = tiles_->service();
    if (last) service.waitUntilSettled(kLastTilesWaitMillis);
    for (;;) {
        const std::int64_t again = ServiceTiles(module_);
        if (again <= 0 || !last) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(again));
    }
}

}  // namespace vamu::sim
