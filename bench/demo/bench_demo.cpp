// The demo data set generator: the whole set must take only a few seconds. The baseline
// fills a map-sized buffer with one byte pattern, so the ratio of the two says how much
// the world itself costs over merely touching 77 MB.
#include "demo/DemoArt.h"
#include "demo/DemoDataSet.h"
#include "demo/DemoWorld.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <random>

namespace {

void BM_BaselineFillMapBuffer(benchmark::State& state) {
    const tb::MapVariant v = tb::demo::defaultDemoVariant();
    for (auto _ : state) {
        std::vector<unsigned char> bytes(std::size_t(v.fileSize), 0);
        std::memset(bytes.data(), 0x5A, bytes.size());
        benchmark::DoNotOptimize(bytes.data());
    }
    state.counters["cells/s"] = benchmark::Counter(double(v.width) * v.height,
                                                   benchmark::Counter::kIsIterationInvariantRate);
}

void BM_GenerateMap(benchmark::State& state) {
    const tb::MapVariant v = tb::demo::defaultDemoVariant();
    for (auto _ : state) {
        std::vector<unsigned char> bytes = tb::demo::generateDemoMap(v, 1);
        benchmark::DoNotOptimize(bytes.data());
    }
    state.counters["cells/s"] = benchmark::Counter(double(v.width) * v.height,
                                                   benchmark::Counter::kIsIterationInvariantRate);
}

void BM_GenerateArt(benchmark::State& state) {
    for (auto _ : state) {
        tb::demo::DemoArtFiles art = tb::demo::generateDemoArt();
        benchmark::DoNotOptimize(art.artData.data());
    }
}

// Everything `tbmap demo` does: generate, then write six files atomically (with fsync).
void BM_WriteWholeDataSet(benchmark::State& state) {
    namespace fs = std::filesystem;
    const fs::path dir =
        fs::temp_directory_path() / ("bench-demo-" + std::to_string(std::random_device{}()));
    for (auto _ : state)
        tb::demo::writeDemoDataSet(dir);
    fs::remove_all(dir);
}

} // namespace

BENCHMARK(BM_BaselineFillMapBuffer)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GenerateMap)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GenerateArt)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteWholeDataSet)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_MAIN();
