#include "simulator/session_driver.h"

#include <exception>

#include "contracts/text.h"
#include "simulator/output.h"
#include "simulator/session_start.h"

namespace vamu::sim {

void LinePrinter::signalInformation(double x1, double x2, double y1, double y2, const std::u16string& info) {
    out_ << "SignalInformation " << number(x1) << ' ' << number(x2) << ' ' << number(y1) << ' ' << number(y2)
         << ' ' << quote(info) << '\n';
}

void LinePrinter::signalSpecialRedraw(const std::u16string& info) {
    out_ << "SignalSpecialRedraw " << quote(info) << '\n';
}

void LinePrinter::messageBox(const std::u16string& title, const std::u16string& text) {
    out_ << "MessageBox " << quote(title) << ' ' << quote(text) << '\n';
}

SessionDriver::SessionDriver(MapServerEndpoint& server, const Options& options, std::filesystem::path hostDir,
                             std::ostream& out, std::ostream& err)
    : server_(server), options_(options), hostDir_(std::move(hostDir)), out_(out), err_(err) {
    std::error_code ec;
    const auto stamp = std::filesystem::last_write_time(bitmapPath(), ec);
    if (!ec) bitmapBefore_ = stamp;
}

std::filesystem::path SessionDriver::bitmapPath() const { return hostDir_ / "MAPS" / "!!vamuMapserver.bmp"; }

const char* SessionDriver::bitmapState() const {
    std::error_code ec;
    const auto stamp = std::filesystem::last_write_time(bitmapPath(), ec);
    if (ec) return "not written";
    if (bitmapBefore_ && *bitmapBefore_ == stamp) return "left from an earlier session: not written now";
    return "written by this session";
}

void SessionDriver::hintIfNoPictureBox(const Outcome& outcome) {
    if (cornersRequested_ || hinted_ || !outcome.status.error) return;
    if (outcome.status.error->number() != static_cast<std::int32_t>(ErrorNumber::ObjectNotSet)) return;
    hinted_ = true;
    err_ << "vamu-host: hint: the host has no picture box yet; start the session with corners X1 Y1 X2 Y2"
            " (or leave out --no-start)\n";
}

void SessionDriver::print(const char* request, const Outcome& outcome) {
    printOutcome(out_, request, outcome.result, outcome.status);
    if (outcome.status.error && !initializing_) ++failed_;
}

void SessionDriver::print(const char* request, const Status& status) {
    print(request, Outcome{status.ok(), status});
}

bool SessionDriver::start() {
    const Status initialized = server_.initialize(fromUtf8(options_.callsign));
    print("Initialize", initialized);
    if (!initialized) return false;
    initializing_ = false;

    Features f;
    const Status features = server_.getSupportedFeatures(f);
    auto flag = [](bool b) { return b ? "True" : "False"; };
    out_ << "Features DiagonalPan=" << flag(f.diagonalPan) << " ZoomIn=" << flag(f.zoomIn)
         << " ZoomOut=" << flag(f.zoomOut) << " ZoomAll=" << flag(f.zoomAll)
         << " ControlPanel=" << flag(f.controlPanel) << " HelpFile=" << quote(f.helpFile)
         << " HelpTopic=" << f.helpTopic << " ShortName=" << quote(f.shortName) << " Menu=";
    for (std::size_t i = 0; i < f.menu.size(); ++i) out_ << (i ? "," : "") << quote(f.menu[i]);
    out_ << '\n';
    print("GetSupportedFeatures", features);
    return true;
}

void SessionDriver::open(const Request& corners) {
    const std::vector<double>& d = corners.degrees;
    err_ << "vamu-host: the host opens the session with corners " << number(d[0]) << ' ' << number(d[1])
         << ' ' << number(d[2]) << ' ' << number(d[3]) << " (--no-start leaves it out)\n";
    run(corners);
}

void SessionDriver::run(const Request& request) {
    const std::vector<double>& d = request.degrees;
    switch (request.kind) {
        case RequestKind::Corners:
            cornersRequested_ = true;
            return print("DrawMapFromCorners", server_.drawMapFromCorners(d[0], d[1], d[2], d[3]));
        case RequestKind::Centre:
            return draw("DrawMapFromCentre", server_.drawMapFromCentre(d[0], d[1]));
        case RequestKind::Resize:
            return draw("ResizeMap", server_.resizeMap(request.width, request.height));
        case RequestKind::ZoomIn:
            return draw("ZoomIn", server_.zoomIn());
        case RequestKind::ZoomOut:
            return draw("ZoomOut", server_.zoomOut());
        case RequestKind::ZoomAll:
            return print("ZoomAll", server_.zoomAll());
        case RequestKind::Pan:
            return draw("ZoomPan", server_.zoomPan(request.code));
        case RequestKind::Layer:
            return draw("Option1_Click", Outcome{false, server_.clickLayerButton(request.code)}, true);
        case RequestKind::SafeCall:
            return print("SafeCall", server_.safeCall());
        case RequestKind::ShowPanel:
            return print("ShowControlPanel", server_.showControlPanel());
        case RequestKind::ClosePanel:
            return runClosePanel();
        case RequestKind::Menu:
            return print("SpecialMenuOption", server_.specialMenuOption(request.code));
        case RequestKind::Favourites:
            return runFavourites();
        case RequestKind::Source:
            return print("SourceList_Click", server_.pickSource(request.name));
        case RequestKind::Prefetch:
            return runPrefetch(request);
    }
}

void SessionDriver::draw(const char* request, const Outcome& outcome, bool statusOnly) {
    if (statusOnly) {
        print(request, outcome.status);
    } else {
        print(request, outcome);
    }
    hintIfNoPictureBox(outcome);
}

void SessionDriver::runClosePanel() {
    const std::optional<PanelClose> closed = server_.closePanel();
    if (!closed) return print("ClosePanel", Status{RuntimeError(ErrorNumber::ObjectNotSet)});
    out_ << "Form1.QueryUnload Cancel=" << (closed->cancelled ? "True" : "False")
         << " Visible=" << (closed->visible ? "True" : "False") << '\n';
    print("ClosePanel", Status{});
}

void SessionDriver::runPrefetch(const Request& request) {
    PrefetchReport report;
    const Status status = server_.prefetch(
        request,
        [&](std::uint64_t done, std::uint64_t total) {
            err_ << "prefetch: " << done << " of " << total << " tiles\n";
        },
        report);
    if (status.ok()) {
        err_ << "prefetch: zoom " << report.firstZoom << " to " << report.lastZoom << ", " << report.total
             << " tiles, " << report.done << " done\n";
    }
    print("Prefetch", status);
}

void SessionDriver::runFavourites() {
    std::u16string view = u"35.68 139.77 Tokyo";
    std::vector<std::u16string> views{view};
    print("AddToFavouriteViews", server_.addToFavouriteViews(view));
    print("LoadFavouriteViews", server_.loadFavouriteViews(views));
    print("SaveFavouriteViews", server_.saveFavouriteViews(views));
}

void SessionDriver::finish() {
    if (const auto log = server_.panelLog()) err_ << "--- panel log (newest first) ---\n" << toUtf8(*log);
    const std::filesystem::path bitmap = bitmapPath();
    err_ << "map bitmap: " << bitmap.string() << " (" << bitmapState() << ")\n";
    if (options_.png) copyToPng(bitmap);
    if (failed_ > 0) {
        err_ << "vamu-host: " << failed_ << (failed_ == 1 ? " request" : " requests")
             << " raised an error (exit status 3): the map bitmap may not be the picture a host would show\n";
    }
}

void SessionDriver::copyToPng(const std::filesystem::path& bitmap) {
    std::filesystem::path png = bitmap;
    png.replace_extension(".png");
    Status copied{RuntimeError(ErrorNumber::FileNotFound, u"no map bitmap")};
    if (std::filesystem::exists(bitmap)) copied = server_.writePng(bitmap, png);
    if (copied) {
        err_ << "png copy: " << png.string() << " (written by this session)\n";
        return;
    }
    err_ << "png copy: not written: " << toUtf8(copied.error->description()) << '\n';
    std::error_code ec;
    if (std::filesystem::remove(png, ec)) err_ << "png copy: removed the older " << png.string() << '\n';
}

int runSession(const Options& options, const EndpointFactory& makeEndpoint, std::ostream& out,
               std::ostream& err) {
    try {
        const std::filesystem::path hostDir = std::filesystem::absolute(options.hostDir);
        std::filesystem::create_directories(hostDir / "MAPS");
        LinePrinter printer(out);
        const std::unique_ptr<MapServerEndpoint> server = makeEndpoint(hostDir, printer);
        SessionDriver session(*server, options, hostDir, out, err);
        const bool started = session.start();
        if (started) {
            if (const std::optional<Request> corners = startingCorners(options)) session.open(*corners);
            for (const Request& request : options.requests) {
                session.run(request);
                server->serviceTiles(false);
            }
            server->serviceTiles(true);
        }
        session.finish();
        if (!started) return kSessionNotStarted;
        return session.failedRequests() > 0 ? kSessionRequestFailed : kSessionDone;
    } catch (const std::exception& e) {
        err << "vamu-host: " << e.what() << '\n';
        return kSessionNotStarted;
    }
}

}  // namespace vamu::sim
