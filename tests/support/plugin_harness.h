#pragma once
// The plug-in on the native substitutes, as the host would hold it: drive C:
// in a scratch folder, the host directory C:\UIV with its MAPS folder, a
// fixed clock, both map controls traced into a string stream, and the host's
// form, picture box and events object.

#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "native/native_platform.h"
#include "native/substitute_events.h"
#include "native/substitute_host.h"
#include "native_test_support.h"
#include "panel/form1.h"
#include "server/cls_map_serv.h"
#include "simulator/tracing.h"

namespace vamu::testing {

// The system clipboard as the render cycle reads it; it can be made to lose
// what the map control put there, as when another program empties it.
class LosingClipboard : public Clipboard {
public:
    explicit LosingClipboard(Clipboard& inner) : inner_(inner) {}
    bool lose = false;
    void setImage(const Image& image) override { inner_.setImage(image); }
    bool hasBitmap() override { return !lose && inner_.hasBitmap(); }
    PictureRef picture() override { return inner_.picture(); }

private:
    Clipboard& inner_;
};

struct PluginHarness {
    explicit PluginHarness(std::u16string installDir = u"C:\\UIV", double width = 320, double height = 240)
        : picture(std::make_shared<native::SubstitutePictureBox>(width, height)),
          form(std::make_shared<native::SubstituteForm>(picture)),
          events(std::make_shared<native::SubstituteEvents>()),
          picMap(picture) {
        std::filesystem::create_directories(drive / "UIV" / "MAPS");
        platform.host().automation().setInstallationDirectory(std::move(installDir));
    }

    Status initialize(std::u16string callsign = u"JA1VAM") {
        ObjectRef eventsRef = events;
        ObjectRef formRef = form;
        return server.Initialize(callsign, eventsRef, formRef);
    }
    Status corners(double x1, double y1, double x2, double y2) {
        vb::Boolean result = vb::False;
        return server.DrawMapFromCorners(picMap, x1, y1, x2, y2, result);
    }
    Status centre(double x, double y, vb::Boolean* result = nullptr) {
        vb::Boolean r = vb::False;
        const Status s = server.DrawMapFromCentre(picMap, x, y, r);
        if (result) *result = r;
        return s;
    }

    Form1& panel() { return dynamic_cast<Form1&>(module.panel()); }
    native::MemoryPanelWidgets& widgets() { return *platform.panels().lastCreated(); }
    Store& store() { return module.store; }
    std::filesystem::path mapFile() const { return drive / "UIV" / "MAPS" / "!!vamuMapserver.bmp"; }
    std::u16string log() { return widgets().log().text(); }

    // The traced calls since the last take, one per line.
    std::vector<std::string> takeTrace() {
        std::vector<std::string> lines;
        std::istringstream in(trace.str());
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        trace.str({});
        return lines;
    }

    TempFolder drive;
    native::NativePlatform platform{native::NativeOptions{drive.path(), true}};
    std::ostringstream trace;
    sim::TracingPanelFactory panels{platform.panels(), trace};
    sim::TracingProfileWriter profile{platform.profile(), trace};
    LosingClipboard clipboard{platform.clipboard()};
    Services services{platform.host(), clipboard, platform.pictures(), platform.messages(), platform.clock(),
                      profile,         panels,    platform.version()};
    Module module{services, makeForm1};
    clsMapServ server{module};
    std::shared_ptr<native::SubstitutePictureBox> picture;
    std::shared_ptr<native::SubstituteForm> form;
    std::shared_ptr<native::SubstituteEvents> events;
    ObjectRef picMap;
};

// A data set of n layers titled "L0".."L<n-1>" with scales 1000 * (i + 1).
inline mapcontrol::DataSet layeredDataSet(int n, std::u16string code = u"RDW2010") {
    mapcontrol::DataSet set{std::move(code), {}};
    for (int i = 0; i < n; ++i) {
        const std::string title = "L" + std::to_string(i);
        set.layers.push_back({std::u16string(title.begin(), title.end()), 1000 * (i + 1), 100 + i, true});
    }
    return set;
}

}  // namespace vamu::testing
