// The session driver shared by vamu-host and vamu-host.exe, against a
// scripted endpoint: what reaches the server, in which order, and the lines
// and exit status that come out.

#include "simulator/session_driver.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <stdexcept>

#include "contracts/text.h"
#include "native_test_support.h"

namespace vamu::sim {
namespace {

class ScriptedEndpoint : public MapServerEndpoint {
public:
    explicit ScriptedEndpoint(EventSink& sink) : sink_(sink) {}

    Status initialize(const std::u16string& callsign) override {
        calls << "Initialize " << toUtf8(callsign) << ';';
        return initializeFails ? Status{RuntimeError(ErrorNumber::CannotCreateObject)} : Status{};
    }
    Status getSupportedFeatures(Features& f) override {
        f.zoomIn = true;
        f.helpTopic = -1;
        f.menu = {u"A \"quoted\"", u"B"};
        return {};
    }
    Outcome drawMapFromCorners(double x1, double y1, double x2, double y2) override {
        calls << "Corners " << x1 << ' ' << y1 << ' ' << x2 << ' ' << y2 << ';';
        sink_.signalInformation(x1, x2, y1, y2, u"info");
        return {true, {}};
    }
    Outcome drawMapFromCentre(double, double) override {
        return {false, {RuntimeError(ErrorNumber::ObjectNotSet)}};
    }
    Outcome resizeMap(std::int32_t width, std::int32_t height) override {
        calls << "Resize " << width << 'x' << height << ';';
        return {false, {}};
    }
    Outcome zoomIn() override { return {true, {}}; }
    Outcome zoomOut() override { return {true, {}}; }
    Outcome zoomAll() override { return {false, {}}; }
    Outcome zoomPan(std::int16_t code) override {
        calls << "Pan " << code << ';';
        return {true, {}};
    }
    Outcome specialMenuOption(std::int16_t) override {
        sink_.messageBox(u"title", u"line 1\r\nline 2");
        return {false, {}};
    }
    Status safeCall() override { return {}; }
    Status showControlPanel() override { return {}; }
    Status addToFavouriteViews(std::u16string&) override { return {}; }
    Status loadFavouriteViews(std::vector<std::u16string>&) override { return {}; }
    Status saveFavouriteViews(std::vector<std::u16string>& views) override {
        calls << "Save " << views.size() << ';';
        return {};
    }
    Status clickLayerButton(std::int16_t index) override {
        calls << "Click " << index << ';';
        return {};
    }
    std::optional<PanelClose> closePanel() override {
        if (!hasPanel) return std::nullopt;
        return PanelClose{true, false};
    }
    std::optional<std::u16string> panelLog() override { return std::nullopt; }
    Status writePng(const std::filesystem::path&, const std::filesystem::path&) override { return {}; }
    Status pickSource(const std::string& name) override {
        calls << "source " << name << ';';
        return {};
    }
    Status prefetch(const Request&, const PrefetchProgress&, PrefetchReport&) override { return {}; }
    void serviceTiles(bool) override {}

    static inline std::ostringstream calls;
    static inline bool initializeFails = false;
    static inline bool hasPanel = false;

private:
    EventSink& sink_;
};

struct SessionRun {
    int status;
    std::string out, err;
};

SessionRun runWith(const std::vector<std::string>& args) {
    ScriptedEndpoint::calls.str({});
    // A folder of its own: the tests of this file may run side by side.
    const vamu::testing::TempFolder dir;
    std::vector<std::string> all{"--host-dir", (dir / "host").string()};
    all.insert(all.end(), args.begin(), args.end());
    std::string error;
    const auto options = parseArguments(all, error);
    std::ostringstream out, err;
    const int status = runSession(
        *options,
        [](const std::filesystem::path& hostDir, EventSink& sink) {
            EXPECT_TRUE(std::filesystem::is_directory(hostDir / "MAPS"));
            return std::make_unique<ScriptedEndpoint>(sink);
        },
        out, err);
    return {status, out.str(), err.str()};
}

TEST(SessionDriver, RequestsReachTheServerInOrderAndEachPrintsItsLine) {
    ScriptedEndpoint::initializeFails = false;
    ScriptedEndpoint::hasPanel = false;
    const SessionRun run =
        runWith({"--callsign", "JA1XYZ", "corners",     "139.5",  "36",    "140",       "35",
                 "centre",     "1",      "2",           "resize", "20x10", "pan",       "6",
                 "menu",       "1",      "close-panel", "layer",  "3",     "favourites"});
    EXPECT_EQ(run.status, 3);  // centre and close-panel raised errors
    EXPECT_EQ(ScriptedEndpoint::calls.str(),
              "Initialize JA1XYZ;Corners 139.5 36 140 35;Resize 20x10;Pan 6;Click 3;Save 1;");
    EXPECT_EQ(run.out,
              "Initialize -> True\n"
              "Features DiagonalPan=False ZoomIn=True ZoomOut=False ZoomAll=False ControlPanel=False "
              "HelpFile=\"\" HelpTopic=-1 ShortName=\"\" Menu=\"A \\\"quoted\\\"\",\"B\"\n"
              "GetSupportedFeatures -> True\n"
              "SignalInformation 139.5 140 36 35 \"info\"\n"
              "DrawMapFromCorners -> True\n"
              "DrawMapFromCentre -> False error 91 Object variable or With block variable not set\n"
              "ResizeMap -> False\n"
              "ZoomPan -> True\n"
              "MessageBox \"title\" \"line 1\\r\\nline 2\"\n"
              "SpecialMenuOption -> False\n"
              "ClosePanel -> False error 91 Object variable or With block variable not set\n"
              "Option1_Click -> True\n"
              "AddToFavouriteViews -> True\n"
              "LoadFavouriteViews -> True\n"
              "SaveFavouriteViews -> True\n");
    EXPECT_NE(run.err.find("map bitmap: "), std::string::npos);
    EXPECT_NE(run.err.find("(not written)"), std::string::npos);
    EXPECT_NE(run.err.find("vamu-host: 2 requests raised an error (exit status 3)"), std::string::npos);
    EXPECT_EQ(run.err.find("opens the session"), std::string::npos);
}

TEST(SessionDriver, TheHostOpensTheSessionWithCornersUnlessItStartsWithThemOrIsBare) {
    ScriptedEndpoint::initializeFails = false;
    ScriptedEndpoint::hasPanel = false;
    struct Case {
        std::vector<std::string> args;
        std::string calls;
        bool opened;
    };
    const Case cases[] = {
        {{"centre", "139.7", "35.7", "centre", "1", "2"},
         "Initialize JA1VAM;Corners 139.45 35.85 139.95 35.55;",
         true},
        {{"centre", "-179.9", "89.9"}, "Initialize JA1VAM;Corners -180.15 90 -179.65 89.75;", true},
        {{"pan", "4", "centre", "1", "2"},
         "Initialize JA1VAM;Corners 139.55 35.85 140.05 35.55;Pan 4;",
         true},
        {{}, "Initialize JA1VAM;Corners 139.55 35.85 140.05 35.55;", true},
        {{"corners", "1", "2", "3", "4", "pan", "0"}, "Initialize JA1VAM;Corners 1 2 3 4;Pan 0;", false},
        {{"--no-start", "pan", "4"}, "Initialize JA1VAM;Pan 4;", false},
    };
    for (const Case& c : cases) {
        const SessionRun run = runWith(c.args);
        EXPECT_EQ(ScriptedEndpoint::calls.str(), c.calls);
        // The opening corners print their lines as any other request, and
        // standard error says where they came from.
        EXPECT_EQ(run.out.find("GetSupportedFeatures -> True\nSignalInformation ") != std::string::npos,
                  c.calls.find(";Corners ") != std::string::npos)
            << c.calls;
        EXPECT_EQ(run.err.find("vamu-host: the host opens the session with corners ") != std::string::npos,
                  c.opened)
            << c.calls;
    }
}

TEST(SessionDriver, TheExitStatusSaysWhetherARequestRaisedAnError) {
    ScriptedEndpoint::initializeFails = false;
    ScriptedEndpoint::hasPanel = false;
    // False without an error (ResizeMap, SpecialMenuOption) is no failure.
    const SessionRun done = runWith({"zoom-in", "resize", "20x10", "menu", "1"});
    EXPECT_EQ(done.status, 0);
    EXPECT_EQ(done.err.find("raised an error"), std::string::npos);
    const SessionRun failed = runWith({"--no-start", "centre", "1", "2", "zoom-in"});
    EXPECT_EQ(failed.status, 3);
    EXPECT_NE(failed.out.find("DrawMapFromCentre -> False error 91 "), std::string::npos);
    EXPECT_NE(failed.out.find("ZoomIn -> True\n"), std::string::npos);
    EXPECT_NE(failed.err.find("vamu-host: 1 request raised an error (exit status 3)"), std::string::npos);
    EXPECT_NE(failed.err.find("hint: the host has no picture box yet"), std::string::npos);
}

TEST(SessionDriver, AClosedPanelReportsItsQueryUnload) {
    ScriptedEndpoint::initializeFails = false;
    ScriptedEndpoint::hasPanel = true;
    const SessionRun run = runWith({"close-panel"});
    EXPECT_NE(run.out.find("Form1.QueryUnload Cancel=True Visible=False\nClosePanel -> True\n"),
              std::string::npos);
}

TEST(SessionDriver, AFailedInitializeEndsTheSessionWithStatusOne) {
    ScriptedEndpoint::initializeFails = true;
    const SessionRun run = runWith({"corners", "139", "36", "140", "35"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "Initialize -> False error 429 ActiveX component can't create object\n");
    EXPECT_EQ(ScriptedEndpoint::calls.str(), "Initialize JA1VAM;");
    EXPECT_NE(run.err.find("map bitmap: "), std::string::npos);
}

TEST(SessionDriver, AServerThatCannotBeMadeEndsTheSessionWithStatusOne) {
    const vamu::testing::TempFolder dir;
    Options options;
    options.hostDir = (dir / "host").string();
    std::ostringstream out, err;
    const int status = runSession(
        options,
        [](const std::filesystem::path&, EventSink&) -> std::unique_ptr<MapServerEndpoint> {
            throw std::runtime_error("CoCreateInstance failed");
        },
        out, err);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(err.str(), "vamu-host: CoCreateInstance failed\n");
}

}  // namespace
}  // namespace vamu::sim
