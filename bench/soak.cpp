// A long session of mixed requests on the native build: the time per
// request and the memory in use after every 100 requests. A session of any
// length should cost the same per request and hold the same memory. The
// resident size includes what the allocator and the kernel keep around
// (free heap pages, huge pages); the live heap, where glibc reports it, is
// what the plug-in itself holds.
//
//   vamu_soak [N]      N requests (default 10000)

#include <stdlib.h>
#include <unistd.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>

#include "native/native_platform.h"
#include "native/substitute_events.h"
#include "native/substitute_host.h"
#include "panel/form1.h"
#include "server/cls_map_serv.h"

namespace {

using namespace vamu;

double residentMegabytes() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(::sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// Bytes handed out by malloc and not yet freed, mapped chunks included; -1
// where the C library does not say.
double liveHeapMegabytes() {
#if defined(__GLIBC__) && (__GLIBC__ > 2 || __GLIBC_MINOR__ >= 33)
    const struct mallinfo2 info = ::mallinfo2();
    return static_cast<double>(info.uordblks + info.hblkhd) / (1024.0 * 1024.0);
#else
    return -1.0;
#endif
}

struct Session {
    Session()
        : folder(makeFolder()),
          platform(native::NativeOptions{folder, true}),
          module(platform.services(), makeForm1),
          server(module),
          picture(std::make_shared<native::SubstitutePictureBox>(640, 480)),
          form(std::make_shared<native::SubstituteForm>(picture)),
          picMap(picture) {
        std::filesystem::create_directories(folder / "UIV" / "MAPS");
        platform.host().automation().setInstallationDirectory(u"C:\\UIV");
        std::u16string call = u"JA1VAM";
        ObjectRef eventsRef = events;
        ObjectRef formRef = form;
        if (!server.Initialize(call, eventsRef, formRef)) throw std::runtime_error("Initialize failed");
    }
    ~Session() { std::filesystem::remove_all(folder); }

    static std::filesystem::path makeFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "vamu-soak-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        return pattern;
    }

    // The i-th request of a mix that keeps the view near Tokyo.
    void request(long i) {
        vb::Boolean result = vb::False;
        double x1 = 139.5, y1 = 35.9, x2 = 140.0, y2 = 35.5, x = 139.7, y = 35.6;
        std::int16_t pan = static_cast<std::int16_t>(i % 2 ? 6 : 9);
        switch (i % 8) {
            case 0:
                server.DrawMapFromCorners(picMap, x1, y1, x2, y2, result);
                break;
            case 1:
                server.DrawMapFromCentre(picMap, x, y, result);
                break;
            case 2:
                server.ZoomIn(picMap, result);
                break;
            case 3:  // after a zoom in
            case 5:  // after a zoom out
                server.ZoomPan(picMap, pan, result);
                break;
            case 4:
                server.ZoomOut(picMap, result);
                break;
            case 6:
                platform.panels().lastCreated()->options().click(static_cast<std::int16_t>(5 + i % 3));
                break;
            default:
                server.ResizeMap(picMap, x1, y1, x2, y2, result);
                break;
        }
    }

    std::filesystem::path folder;
    native::NativePlatform platform;
    Module module;
    clsMapServ server;
    std::shared_ptr<native::SubstitutePictureBox> picture;
    std::shared_ptr<native::SubstituteForm> form;
    std::shared_ptr<native::SubstituteEvents> events = std::make_shared<native::SubstituteEvents>();
    ObjectRef picMap;
};

}  // namespace

int main(int argc, char** argv) {
    const long n = argc > 1 ? std::atol(argv[1]) : 10000;
    Session session;
    std::printf("%8s %14s %10s %10s\n", "requests", "ms/request", "RSS MB", "heap MB");
    auto from = std::chrono::steady_clock::now();
    for (long i = 1; i <= n; ++i) {
        session.request(i);
        // The host's side keeps nothing: its own caption handling takes the
        // loading note away, and the reports are not recorded.
        session.form->setCaption(u"UI-View32");
        session.events->clear();
        if (i % 100 == 0 || i == n) {
            const auto to = std::chrono::steady_clock::now();
            const long block = i % 100 == 0 ? 100 : i % 100;
            const double ms =
                std::chrono::duration<double, std::milli>(to - from).count() / static_cast<double>(block);
            std::printf("%8ld %14.3f %10.1f %10.2f\n", i, ms, residentMegabytes(), liveHeapMegabytes());
            std::fflush(stdout);
            from = std::chrono::steady_clock::now();
        }
    }
    return 0;
}
