// One request of the map server called directly, as the COM layer calls it
// after unpacking the arguments: the native counterpart of the round trip
// through IDispatch::Invoke that the Wine test host times.

#include <benchmark/benchmark.h>

#include "native/native_platform.h"
#include "panel/form1.h"
#include "server/cls_map_serv.h"

namespace {

void BM_GetSupportedFeatures(benchmark::State& state) {
    vamu::native::NativePlatform platform;
    vamu::Module module(platform.services(), vamu::makeForm1);
    vamu::clsMapServ server(module);
    vamu::vb::Boolean diagonal = 0, zoomIn = 0, zoomOut = 0, zoomAll = 0, panel = 0;
    std::u16string helpFile, shortName;
    std::int32_t helpTopic = 0;
    std::vector<std::u16string> captions;
    for (auto _ : state) {
        vamu::Status status = server.GetSupportedFeatures(diagonal, zoomIn, zoomOut, zoomAll, panel, helpFile,
                                                          helpTopic, shortName, captions);
        benchmark::DoNotOptimize(status);
        benchmark::DoNotOptimize(captions.data());
    }
}
BENCHMARK(BM_GetSupportedFeatures);

void BM_StrServerNameGet(benchmark::State& state) {
    vamu::native::NativePlatform platform;
    vamu::Module module(platform.services(), vamu::makeForm1);
    vamu::clsMapServ server(module);
    server.setStrServerName(u"vamuServer");
    for (auto _ : state) {
        std::u16string copy = server.strServerName();  // a property get hands out a copy
        benchmark::DoNotOptimize(copy.data());
    }
}
BENCHMARK(BM_StrServerNameGet);

}  // namespace
