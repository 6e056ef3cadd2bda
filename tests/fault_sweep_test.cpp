// Every request under every single failure of the platform or the host: for
// N = 1, 2, 3, ... the N-th call (before or after it took effect) fails,
// until the request runs through without reaching the N-th call. After each
// run: the request ended with the injected error or succeeded, the map
// bitmap is the earlier one or a whole new one, no temporary file is left,
// the corners and information text are the earlier or the new ones, and
// once the plug-in is gone nothing holds the host's objects any more.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "native/atomic_file.h"
#include "native/bmp_codec.h"
#include "native/native_platform.h"
#include "native/substitute_events.h"
#include "native/substitute_host.h"
#include "native_test_support.h"
#include "panel/form1.h"
#include "server/cls_map_serv.h"
#include "support/faulty_services.h"
#include "support/store_fields.h"

namespace vamu::testing {
namespace {

struct Session {
    Session()
        : picture(std::make_shared<native::SubstitutePictureBox>(64, 48)),
          form(std::make_shared<native::SubstituteForm>(picture)),
          events(std::make_shared<native::SubstituteEvents>()),
          picMap(picture) {
        std::filesystem::create_directories(drive / "UIV" / "MAPS");
        platform.host().automation().setInstallationDirectory(u"C:\\UIV");
    }

    std::filesystem::path maps() const { return drive / "UIV" / "MAPS"; }
    std::filesystem::path mapFile() const { return maps() / "!!vamuMapserver.bmp"; }

    TempFolder drive;
    native::NativePlatform platform{native::NativeOptions{drive.path(), true}};
    FaultPlan plan;
    FaultyHost host{platform.host(), plan};
    FaultyClipboard clipboard{platform.clipboard(), plan};
    FaultyPictures pictures{platform.pictures(), plan};
    FaultyMessages messages{platform.messages(), plan};
    FaultyClock clock{platform.clock(), plan};
    FaultyProfile profile{platform.profile(), plan};
    Services services{host,  clipboard, pictures,          messages,
                      clock, profile,   platform.panels(), platform.version()};
    std::shared_ptr<native::SubstitutePictureBox> picture;
    std::shared_ptr<native::SubstituteForm> form;
    std::shared_ptr<native::SubstituteEvents> events;
    ObjectRef picMap;
    std::optional<Module> module{std::in_place, services, makeForm1};
    std::optional<clsMapServ> server{std::in_place, *module};
};

using Request = std::function<Status(Session&)>;

struct NamedRequest {
    const char* name;
    Request run;
};

Status initialize(Session& s) {
    std::u16string call = u"JA1VAM";
    ObjectRef events = s.events;
    ObjectRef form = s.form;
    return s.server->Initialize(call, events, form);
}

Status corners(Session& s) {
    double x1 = 139.0, y1 = 36.0, x2 = 140.0, y2 = 35.0;
    vb::Boolean result = vb::False;
    return s.server->DrawMapFromCorners(s.picMap, x1, y1, x2, y2, result);
}

Status centre(Session& s) {
    double x = 139.7, y = 35.6;
    vb::Boolean result = vb::False;
    return s.server->DrawMapFromCentre(s.picMap, x, y, result);
}

Status clickLayer(Session& s) {
    auto* widgets = s.platform.panels().lastCreated();
    if (!widgets) raise(ErrorNumber::ObjectNotSet);
    widgets->options().click(5);
    return dynamic_cast<Form1&>(s.module->panel()).lastEventStatus();
}

const std::vector<NamedRequest>& requests() {
    static const std::vector<NamedRequest> all{
        {"Initialize", initialize},
        {"DrawMapFromCorners", corners},
        {"DrawMapFromCentre", centre},
        {"ResizeMap",
         [](Session& s) {
             double unused = 0;
             vb::Boolean result = vb::False;
             s.picture->setPixelSize(80, 40);
             return s.server->ResizeMap(s.picMap, unused, unused, unused, unused, result);
         }},
        {"ZoomIn",
         [](Session& s) {
             vb::Boolean result = vb::False;
             return s.server->ZoomIn(s.picMap, result);
         }},
        {"ZoomOut",
         [](Session& s) {
             vb::Boolean result = vb::False;
             return s.server->ZoomOut(s.picMap, result);
         }},
        {"ZoomPan",
         [](Session& s) {
             vb::Boolean result = vb::False;
             std::int16_t pan = 6;
             return s.server->ZoomPan(s.picMap, pan, result);
         }},
        {"LayerButton", clickLayer},
        {"SafeCall", [](Session& s) { return s.server->SafeCall(); }},
        {"ShowControlPanel", [](Session& s) { return s.server->ShowControlPanel(); }},
        {"SpecialMenuOption",
         [](Session& s) {
             vb::Boolean result = vb::False;
             std::int16_t index = 0;
             return s.server->SpecialMenuOption(s.picMap, index, result);
         }},
    };
    return all;
}

// What the store and the bitmap hold at one moment.
struct Snapshot {
    std::vector<std::uint8_t> bitmap;  // empty when there is none
    StoreFields fields;
};

Snapshot snapshot(Session& s) {
    Snapshot shot;
    if (std::filesystem::exists(s.mapFile())) shot.bitmap = native::readWholeFile(s.mapFile());
    if (s.module) shot.fields = storeFields(s.module->store);
    return shot;
}

// The bitmap is the earlier one or a whole bitmap (never torn), and nothing
// but the bitmap is in the folder.
void expectFilesIntact(Session& s, const Snapshot& before, const std::string& where) {
    const Snapshot after = snapshot(s);
    if (after.bitmap != before.bitmap) {
        EXPECT_NO_THROW(native::decodeBmp(after.bitmap)) << where;
    }
    for (const auto& entry : std::filesystem::directory_iterator(s.maps())) {
        EXPECT_EQ(entry.path().filename(), "!!vamuMapserver.bmp") << where;
    }
}

void expectReferencesReleased(Session& s, const std::string& where) {
    s.server.reset();
    s.module.reset();
    EXPECT_EQ(s.form.use_count(), 1) << where;
    EXPECT_EQ(s.events.use_count(), 1) << where;
    EXPECT_EQ(s.picture.use_count(), 3) << where;  // the test's own two and the form's
}

// Runs the requests before `target` without failures, then the target with
// its n-th call failing. Returns whether the failure was reached.
bool runOnce(std::size_t target, std::int64_t n, const Snapshot* completed) {
    Session s;
    const auto& all = requests();
    for (std::size_t i = 0; i < target; ++i) {
        if (i == 0)
            EXPECT_TRUE(all[i].run(s));
        else
            all[i].run(s);
    }
    const Snapshot before = snapshot(s);
    s.plan.arm(n);
    Status status;
    try {
        status = all[target].run(s);
    } catch (const RuntimeError& e) {
        status = Status{e};
    } catch (...) {
        ADD_FAILURE() << all[target].name << " threw something else at call " << n;
    }
    const bool fired = s.plan.fired();
    const std::string where =
        std::string(all[target].name) + " failing at " + std::to_string(n) + " (" + s.plan.where() + ")";
    s.plan.arm(0);
    if (fired && !status.ok()) {
        EXPECT_EQ(status.error->hresult(), kInjectedHresult) << where << ": " << status.error->what();
    }
    expectFilesIntact(s, before, where);
    if (completed && !status.ok()) {
        EXPECT_TRUE(eachFieldOldOrNew(snapshot(s).fields, before.fields, completed->fields)) << where;
    }
    expectReferencesReleased(s, where);
    return fired;
}

Snapshot completedRun(std::size_t target) {
    Session s;
    const auto& all = requests();
    for (std::size_t i = 0; i <= target; ++i) all[i].run(s);
    return snapshot(s);
}

class FaultSweep : public ::testing::TestWithParam<std::size_t> {};

TEST_P(FaultSweep, EveryFailurePointLeavesAConsistentPlugIn) {
    const Snapshot completed = completedRun(GetParam());
    std::int64_t n = 1;
    while (runOnce(GetParam(), n, &completed)) {
        ++n;
        ASSERT_LT(n, 2000) << "the request never completes";
    }
}

INSTANTIATE_TEST_SUITE_P(Requests, FaultSweep, ::testing::Range<std::size_t>(0, 11),
                         [](const ::testing::TestParamInfo<std::size_t>& param) {
                             return std::string(requests()[param.param].name);
                         });

}  // namespace
}  // namespace vamu::testing
