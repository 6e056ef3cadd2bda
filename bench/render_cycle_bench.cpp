// One render-and-publish cycle at common picture sizes, split into the map
// control's drawing, the bitmap save and the rest, next to writing the same
// number of bytes to a file once (with and without the flush to disk that
// the atomic save makes).

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <vector>

#include "engine/render_cycle.h"
#include "native/atomic_file.h"
#include "native/bitmap_picture.h"
#include "native/bmp_codec.h"
#include "native/native_platform.h"
#include "native/substitute_events.h"
#include "native/substitute_host.h"
#include "panel/form1.h"
#include "server/cls_map_serv.h"

namespace {

using namespace vamu;

std::filesystem::path scratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vamu-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    return pattern;
}

// The plug-in, initialized and drawn once at the given picture size.
struct Plugin {
    explicit Plugin(double width, double height)
        : folder(scratchFolder()),
          platform(native::NativeOptions{folder, true}),
          module(platform.services(), makeForm1),
          server(module),
          picture(std::make_shared<native::SubstitutePictureBox>(width, height)) {
        std::filesystem::create_directories(folder / "UIV" / "MAPS");
        platform.host().automation().setInstallationDirectory(u"C:\\UIV");
        std::u16string call = u"JA1VAM";
        ObjectRef events = std::make_shared<native::SubstituteEvents>();
        ObjectRef form = std::make_shared<native::SubstituteForm>(picture);
        ObjectRef picMap = picture;
        double x1 = 139.5, y1 = 35.9, x2 = 140.0, y2 = 35.5;
        vb::Boolean result = vb::False;
        if (!server.Initialize(call, events, form) ||
            !server.DrawMapFromCorners(picMap, x1, y1, x2, y2, result)) {
            throw std::runtime_error("the plug-in did not start");
        }
    }
    ~Plugin() { std::filesystem::remove_all(folder); }

    std::filesystem::path folder;
    native::NativePlatform platform;
    Module module;
    clsMapServ server;
    std::shared_ptr<native::SubstitutePictureBox> picture;
};

void sizes(benchmark::internal::Benchmark* b) {
    b->Args({640, 480})->Args({1024, 768})->Args({1920, 1080})->Unit(benchmark::kMillisecond);
}

void BM_RenderCycle(benchmark::State& state) {
    Plugin plugin(static_cast<double>(state.range(0)), static_cast<double>(state.range(1)));
    for (auto _ : state) {
        RefreshMap(plugin.module);
        state.PauseTiming();
        plugin.module.panel().log().setText(u"");  // the log is not what is measured
        state.ResumeTiming();
    }
}
BENCHMARK(BM_RenderCycle)->Apply(sizes);

void BM_ControlDrawing(benchmark::State& state) {
    Plugin plugin(static_cast<double>(state.range(0)), static_cast<double>(state.range(1)));
    auto& atlas = plugin.platform.panels().lastCreated()->atlas();
    for (auto _ : state) benchmark::DoNotOptimize(atlas.render());
}
BENCHMARK(BM_ControlDrawing)->Apply(sizes);

void BM_BitmapSave(benchmark::State& state) {
    Plugin plugin(static_cast<double>(state.range(0)), static_cast<double>(state.range(1)));
    const PictureRef picture = plugin.platform.clipboard().picture();
    for (auto _ : state) plugin.platform.pictures().saveAsBmp(picture, u"C:\\UIV\\MAPS\\bench.bmp");
}
BENCHMARK(BM_BitmapSave)->Apply(sizes);

// The save's two halves: encoding into memory only, and the atomic
// replacement of the file with bytes already encoded.
void BM_BitmapEncode(benchmark::State& state) {
    Plugin plugin(static_cast<double>(state.range(0)), static_cast<double>(state.range(1)));
    const std::shared_ptr<const Image> image = native::imageOf(plugin.platform.clipboard().picture());
    for (auto _ : state) {
        native::encodeBmp(
            *image, [](std::span<const std::uint8_t> piece) { benchmark::DoNotOptimize(piece.data()); });
    }
}
BENCHMARK(BM_BitmapEncode)->Apply(sizes);

void BM_AtomicReplaceSameBytes(benchmark::State& state) {
    const std::filesystem::path folder = scratchFolder();
    const Image image(static_cast<std::int32_t>(state.range(0)), static_cast<std::int32_t>(state.range(1)));
    const auto bytes = native::encodeBmp(image);
    for (auto _ : state) native::replaceFileAtomically(folder / "replaced.bmp", bytes);
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_AtomicReplaceSameBytes)->Apply(sizes);

// The same number of bytes written to a file once: the floor for any save.
void writeOnce(benchmark::State& state, bool flush) {
    const std::filesystem::path folder = scratchFolder();
    const Image image(static_cast<std::int32_t>(state.range(0)), static_cast<std::int32_t>(state.range(1)));
    const auto bytes = native::encodeBmp(image);
    const std::string file = (folder / "plain.bin").string();
    for (auto _ : state) {
        const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        benchmark::DoNotOptimize(::write(fd, bytes.data(), bytes.size()));
        if (flush) ::fsync(fd);
        ::close(fd);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
    std::filesystem::remove_all(folder);
}

void BM_WriteSameBytes(benchmark::State& state) { writeOnce(state, false); }
BENCHMARK(BM_WriteSameBytes)->Apply(sizes);

void BM_WriteSameBytesFlushed(benchmark::State& state) { writeOnce(state, true); }
BENCHMARK(BM_WriteSameBytesFlushed)->Apply(sizes);

}  // namespace
