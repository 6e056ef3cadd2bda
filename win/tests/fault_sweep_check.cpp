// Requests through the Windows platform under every single failure of a
// platform or host call: for N = 1, 2, 3, ... the N-th call (before or after
// it took effect) fails, until the request runs through without reaching
// the N-th call. After each run: the request ended with the injected error
// (and a False result) or succeeded, the map bitmap on disk is the earlier
// one or a whole new one, no temporary file is left in MAPS, a read-only
// bitmap is neither replaced nor stripped of its flag, the corners and the
// information text are the earlier or the new ones, and once the plug-in is
// gone the host's objects are back to their owner's single reference.

#include <windows.h>

#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "panel/form1.h"
#include "server/cls_map_serv.h"
#include "tests/support/faulty_services.h"
#include "tests/support/store_fields.h"
#include "win/host/host_automation.h"
#include "win/host/host_objects.h"
#include "win/host/message_box_watch.h"
#include "win/platform/bitmaps.h"
#include "win/platform/bstr.h"
#include "win/platform/file_io.h"
#include "win/platform/profile.h"
#include "win/platform/version.h"
#include "win/tests/support/check.h"
#include "win/tests/support/temp_folder.h"
#include "win/win_platform.h"

namespace vamu::wine_test {
namespace {

using testing::FaultPlan;

// The host's folder with its MAPS folder, emptied between runs.
class HostFolder {
public:
    // The bitmap is named for the product in the program's version resource.
    HostFolder()
        : bitmapName_(u"!!" + win::WinVersionInfo(GetModuleHandleW(nullptr)).productName() + u".bmp") {
        CreateDirectoryW(win::wide(maps()), nullptr);
    }
    ~HostFolder() {
        clear();
        RemoveDirectoryW(win::wide(maps()));
    }
    HostFolder(const HostFolder&) = delete;
    HostFolder& operator=(const HostFolder&) = delete;

    std::u16string root() const { return root_.path(u""); }
    std::u16string maps() const { return root_.path(u"MAPS"); }
    const std::u16string& bitmapName() const { return bitmapName_; }
    std::u16string bitmap() const { return maps() + u"\\" + bitmapName_; }
    std::vector<std::u16string> mapsListing() const { return listing(maps()); }

    void clear() const {
        for (const std::u16string& name : listing(maps())) {
            const std::u16string file = maps() + u"\\" + name;
            SetFileAttributesW(win::wide(file), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(win::wide(file));
        }
        DeleteFileW(win::wide(root_.path(u"uiview32.ini")));
    }

private:
    static std::vector<std::u16string> listing(const std::u16string& folder) {
        std::vector<std::u16string> names;
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW(win::wide(folder + u"\\*"), &found);
        if (search == INVALID_HANDLE_VALUE) return names;
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                names.emplace_back(reinterpret_cast<const char16_t*>(found.cFileName));
        } while (FindNextFileW(search, &found));
        FindClose(search);
        return names;
    }

    TempFolder root_;
    std::u16string bitmapName_;
};

void emptyClipboard() {
    if (!OpenClipboard(nullptr)) return;
    EmptyClipboard();
    CloseClipboard();
}

// The plug-in on the Windows platform, every service and host object
// behind the fault plan; the host's objects are the test host's own.
struct Session {
    explicit Session(const HostFolder& hostFolder) : folder(hostFolder) {
        folder.clear();
        emptyClipboard();
    }

    const HostFolder& folder;
    win::WinPlatform platform{GetModuleHandleW(nullptr)};
    Services& real = platform.services();
    FaultPlan plan;
    testing::FaultyHost host{real.host, plan};
    testing::FaultyClipboard clipboard{real.clipboard, plan};
    testing::FaultyPictures pictures{real.pictures, plan};
    testing::FaultyMessages messages{real.messages, plan};
    testing::FaultyClock clock{real.clock, plan};
    testing::FaultyProfile profile{real.profile, plan};
    Services services{host, clipboard, pictures, messages, clock, profile, real.panels, real.version};
    host::PictureBox picture{64.0f, 48.0f};
    host::Form form{picture};
    host::Events events;
    ObjectRef picMap = win::wrapDispatch(&picture);
    std::optional<Module> module{std::in_place, services, makeForm1};
    std::optional<clsMapServ> server{std::in_place, *module};
    vb::Boolean result = vb::False;
    bool hasResult = false;  // whether the last request has a Boolean result
};

struct NamedRequest {
    const char* name;
    std::function<Status(Session&)> run;
};

Status initialize(Session& s) {
    std::u16string call = u"JA1VAM";
    ObjectRef events = win::wrapDispatch(&s.events);
    ObjectRef form = win::wrapDispatch(&s.form);
    return s.server->Initialize(call, events, form);
}

Status corners(Session& s) {
    double x1 = 139.0, y1 = 36.0, x2 = 140.0, y2 = 35.0;
    s.hasResult = true;
    return s.server->DrawMapFromCorners(s.picMap, x1, y1, x2, y2, s.result);
}

Status centre(Session& s) {
    double x = 139.7, y = 35.6;
    s.hasResult = true;
    return s.server->DrawMapFromCentre(s.picMap, x, y, s.result);
}

Status zoomIn(Session& s) {
    s.hasResult = true;
    return s.server->ZoomIn(s.picMap, s.result);
}

Status resize(Session& s) {
    double unused = 0;
    s.picture.width = 80.0f;
    s.picture.height = 40.0f;
    s.hasResult = true;
    return s.server->ResizeMap(s.picMap, unused, unused, unused, unused, s.result);
}

Status saveFavourites(Session& s) {
    std::vector<std::u16string> views{u"Tokyo"};
    return s.server->SaveFavouriteViews(views);
}

Status putMapName(Session& s) {
    s.server->setStrMapName(u"Atlas 2");
    return {};
}

// In session order: each target runs after all the requests before it.
const std::vector<NamedRequest>& requests() {
    static const std::vector<NamedRequest> all{
        {"Initialize", initialize},     {"DrawMapFromCorners", corners},
        {"DrawMapFromCentre", centre},  {"ZoomIn", zoomIn},
        {"ResizeMap", resize},          {"SaveFavouriteViews", saveFavourites},
        {"put strMapName", putMapName},
    };
    return all;
}

// What the store and the bitmap hold at one moment.
struct Snapshot {
    std::vector<std::uint8_t> bitmap;  // empty when there is none
    bool readOnly = false;
    testing::StoreFields fields;
};

Snapshot snapshot(Session& s) {
    Snapshot shot;
    const DWORD attributes = GetFileAttributesW(win::wide(s.folder.bitmap()));
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        shot.bitmap = win::readWholeFile(s.folder.bitmap());
        shot.readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    }
    if (s.module) shot.fields = testing::storeFields(s.module->store);
    return shot;
}

// A whole bitmap: its header's size is the file's and every row is there.
bool wholeBitmap(const std::vector<std::uint8_t>& bytes) {
    if (!win::isBmpFile(bytes) || bytes.size() < 54) return false;
    auto field = [&](std::size_t at, std::size_t size) {
        std::uint32_t value = 0;
        for (std::size_t i = size; i-- > 0;) value = value << 8 | bytes[at + i];
        return value;
    };
    const std::int64_t width = static_cast<std::int32_t>(field(18, 4));
    const std::int64_t height = static_cast<std::int32_t>(field(22, 4));
    const std::int64_t stride = (width * field(28, 2) / 8 + 3) / 4 * 4;
    const std::int64_t rows = height < 0 ? -height : height;
    return width > 0 && rows > 0 && field(10, 4) + stride * rows <= static_cast<std::int64_t>(bytes.size());
}

// Notes a failed check of one run, so that the run can say where it was.
#define RUN_CHECK(condition)                                         \
    do {                                                             \
        if (condition) {                                             \
            ++::vamu::wine_test::passes();                           \
        } else {                                                     \
            runFailed = true;                                        \
            ::vamu::wine_test::fail(__FILE__, __LINE__, #condition); \
        }                                                            \
    } while (false)

struct Counts {
    int runs = 0;
    int failuresReached = 0;
};

// Runs the requests before the target without failures, then the target
// with its n-th call failing. Returns whether the failure was reached.
bool runOnce(const HostFolder& folder, std::size_t target, std::int64_t n, const Snapshot& completed,
             bool readOnlyBitmap, Counts& counts) {
    Session s(folder);
    bool runFailed = false;
    const auto& all = requests();
    for (std::size_t i = 0; i < target; ++i) RUN_CHECK(all[i].run(s).ok());
    if (readOnlyBitmap) SetFileAttributesW(win::wide(folder.bitmap()), FILE_ATTRIBUTE_READONLY);
    const Snapshot before = snapshot(s);
    s.result = vb::False;
    s.hasResult = false;
    s.plan.arm(n);
    Status status;
    bool threw = false;
    try {
        status = all[target].run(s);
    } catch (...) {
        threw = true;
    }
    const bool fired = s.plan.fired();
    const std::string where = s.plan.where();
    s.plan.arm(0);
    ++counts.runs;
    counts.failuresReached += fired ? 1 : 0;
    RUN_CHECK(!threw);

    if (!status.ok() && s.hasResult) RUN_CHECK(s.result == vb::False);
    if (fired && !status.ok()) {
        RUN_CHECK(status.error->hresult() == testing::kInjectedHresult);
    } else if (!status.ok()) {  // ran through: only the read-only bitmap may refuse it
        RUN_CHECK(readOnlyBitmap &&
                  status.error->number() == static_cast<int>(ErrorNumber::PathFileAccessError));
    }
    const Snapshot after = snapshot(s);
    if (readOnlyBitmap) {
        RUN_CHECK(after.bitmap == before.bitmap && after.readOnly);
    } else if (after.bitmap != before.bitmap) {
        RUN_CHECK(wholeBitmap(after.bitmap));
    }
    const std::vector<std::u16string> left = folder.mapsListing();
    RUN_CHECK(left.empty() || left == std::vector<std::u16string>{folder.bitmapName()});
    for (const std::u16string& name : left) {
        if (name != folder.bitmapName()) std::printf("  left in MAPS: %s\n", win::toAnsi(name).c_str());
    }
    if (left.size() > 1) {
        for (const std::u16string& name : left) std::printf("  in MAPS: %s\n", win::toAnsi(name).c_str());
    }
    if (!status.ok()) RUN_CHECK(testing::eachFieldOldOrNew(after.fields, before.fields, completed.fields));

    s.server.reset();
    s.module.reset();
    s.picMap.reset();
    RUN_CHECK(s.picture.refs() == 1 && s.form.refs() == 1 && s.events.refs() == 1);
    if (runFailed) {
        std::printf("  at: %s%s, call %lld (%s)\n", all[target].name,
                    readOnlyBitmap ? " (read-only bitmap)" : "", static_cast<long long>(n), where.c_str());
    }
    return fired;
}

Snapshot completedRun(const HostFolder& folder, std::size_t target, bool readOnlyBitmap) {
    Session s(folder);
    const auto& all = requests();
    for (std::size_t i = 0; i < target; ++i) all[i].run(s);
    if (readOnlyBitmap) SetFileAttributesW(win::wide(folder.bitmap()), FILE_ATTRIBUTE_READONLY);
    all[target].run(s);
    return snapshot(s);
}

void sweep(const HostFolder& folder, std::size_t target, bool readOnlyBitmap, Counts& counts) {
    const Snapshot completed = completedRun(folder, target, readOnlyBitmap);
    std::int64_t n = 1;
    while (runOnce(folder, target, n, completed, readOnlyBitmap, counts)) {
        if (++n >= 2000) {
            fail(__FILE__, __LINE__, "the request never completes");
            return;
        }
    }
}

// The host program with its folder, automation class and message boxes.
struct Host {
    HostFolder folder;
    host::HostAutomationClass automation{reinterpret_cast<const wchar_t*>(folder.root().c_str())};
    host::MessageBoxWatch boxes;
};

CHECK_CASE(every_failure_point_leaves_a_consistent_plug_in) {
    Host h;
    CHECK(h.automation.registered() && h.boxes.active());
    Counts counts;
    for (std::size_t target = 0; target < requests().size(); ++target) sweep(h.folder, target, false, counts);
    std::printf("  %d runs over %zu requests, %d with the failure reached\n", counts.runs, requests().size(),
                counts.failuresReached);
    CHECK(counts.failuresReached > static_cast<int>(requests().size()));
    CHECK(h.automation.mapObject().refs() == 1);
}

// The drawing requests refuse a read-only bitmap at every failure point as
// they do without one: the file keeps its bytes and its flag.
CHECK_CASE(a_read_only_bitmap_survives_every_failure_point) {
    Host h;
    Counts counts;
    for (std::size_t target = 2; target <= 4; ++target) sweep(h.folder, target, true, counts);
    std::printf("  %d runs with a read-only bitmap, %d with the failure reached\n", counts.runs,
                counts.failuresReached);
    CHECK(counts.failuresReached > 3);
}

}  // namespace
}  // namespace vamu::wine_test
