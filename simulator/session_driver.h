#pragma once
// The host's side of a map session, the same whichever endpoint serves it:
// it prepares the host directory, starts the server as the host starts it,
// runs the requests in order and prints one line per event.

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>

#include "simulator/arguments.h"
#include "simulator/map_server_endpoint.h"

namespace vamu::sim {

// Prints the events and message boxes as they come.
class LinePrinter : public EventSink {
public:
    explicit LinePrinter(std::ostream& out) : out_(out) {}
    void signalInformation(double x1, double x2, double y1, double y2, const std::u16string& info) override;
    void signalSpecialRedraw(const std::u16string& info) override;
    void messageBox(const std::u16string& title, const std::u16string& text) override;

private:
    std::ostream& out_;
};

// The exit statuses of a session (2 is a bad command line's).
inline constexpr int kSessionDone = 0;
inline constexpr int kSessionNotStarted = 1;
inline constexpr int kSessionRequestFailed = 3;

class SessionDriver {
public:
    SessionDriver(MapServerEndpoint& server, const Options& options, std::filesystem::path hostDir,
                  std::ostream& out, std::ostream& err);

    // Initialize and GetSupportedFeatures, as the host starts; false when
    // Initialize failed.
    bool start();
    // The corners the host opens the session with (session_start.h), said
    // on standard error, then run as any other request.
    void open(const Request& corners);
    void run(const Request& request);
    // The panel's log and the map bitmap's path, with whether this session
    // wrote it (and a PNG copy beside it when asked), and the number of
    // requests that raised an error.
    void finish();
    // The requests after Initialize that raised an error.
    int failedRequests() const noexcept { return failed_; }

private:
    void print(const char* request, const Outcome& outcome);
    void print(const char* request, const Status& status);
    void runClosePanel();
    void runFavourites();
    // Progress and the summary on standard error, the request's line after.
    void runPrefetch(const Request& request);
    // A request that renders: its line, then the hint below.
    void draw(const char* request, const Outcome& outcome, bool statusOnly = false);
    // A drawing request that failed with error 91 before any corners: the
    // host has not handed over its picture box yet. Said once.
    void hintIfNoPictureBox(const Outcome& outcome);
    std::filesystem::path bitmapPath() const;
    const char* bitmapState() const;
    // The PNG copy of --png, or the removal of an older copy where none is
    // written now.
    void copyToPng(const std::filesystem::path& bitmap);

    MapServerEndpoint& server_;
    const Options& options_;
    std::filesystem::path hostDir_;
    std::ostream& out_;
    std::ostream& err_;
    bool cornersRequested_ = false;
    bool hinted_ = false;
    bool initializing_ = true;
    int failed_ = 0;
    // The bitmap's time stamp when the session began, if it was there.
    std::optional<std::filesystem::file_time_type> bitmapBefore_;
};

// Makes the endpoint for a host directory (absolute, with its MAPS folder
// in place); what the server raises goes to sink.
using EndpointFactory =
    std::function<std::unique_ptr<MapServerEndpoint>(const std::filesystem::path& hostDir, EventSink& sink)>;

// The whole session. The exit status is 0 when every request succeeded, 1
// when Initialize failed or the session could not be set up, 3 when a
// request after Initialize raised an error.
int runSession(const Options& options, const EndpointFactory& makeEndpoint, std::ostream& out,
               std::ostream& err);

}  // namespace vamu::sim
