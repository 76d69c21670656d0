// Applying a text patch of 100,000 entries, against parsing the same file without applying
// it. Prints, besides the usual table:
//   apply time      decode + parse + apply of the whole file (target < 1 s)
//   apply ratio     that time / decode + parse + reading every entry's texts (target <= 3)
#include "core/MapImage.h"
#include "core/MapVariant.h"
#include "patch/KeyFile.h"
#include "patch/PatchFile.h"
#include "shell/LineFile.h"

#include "BenchRuns.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int kEntries = 100'000;

const std::string& patchBytes() {
    static const std::string bytes = [] {
        std::string text;
        for (int i = 0; i < kEntries; ++i)
            text += "[" + std::to_string(i) + "]\r\nX=" + std::to_string((i * 7) % 1448) +
                    "\r\nY=" + std::to_string((i * 13) % 1448) +
                    "\r\nZ=" + std::to_string(i % 256 - 128) + "\r\nID=01 D3\r\n";
        return text;
    }();
    return bytes;
}

tb::MapImage& tokuno() {
    static tb::MapImage map = [] {
        const tb::MapVariant v = *tb::identifyMapVariant("map4.mul", 6'421'156);
        return tb::MapImage(std::vector<unsigned char>(std::size_t(v.fileSize), 0), v);
    }();
    return map;
}

void BM_ParsePatch(benchmark::State& state) {
    for (auto _ : state) {
        const tb::KeyFile file = tb::KeyFile::parse(tb::decodeLines(patchBytes()));
        benchmark::DoNotOptimize(tb::readPatchEntries(file));
    }
}
BENCHMARK(BM_ParsePatch)->Unit(benchmark::kMillisecond);

void BM_ParseAndApplyPatch(benchmark::State& state) {
    tb::MapImage& map = tokuno();
    for (auto _ : state) {
        const tb::KeyFile file = tb::KeyFile::parse(tb::decodeLines(patchBytes()));
        benchmark::DoNotOptimize(tb::applyPatch(map, file));
    }
}
BENCHMARK(BM_ParseAndApplyPatch)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    tbbench::RunCollector reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    if (!reporter.ran("BM_ParsePatch") || !reporter.ran("BM_ParseAndApplyPatch"))
        return 0;
    std::printf("\n--- summary (%d entries, %.1f MiB) ---\n", kEntries,
                double(patchBytes().size()) / (1024.0 * 1024.0));
    std::printf("apply time: %.0f ms CPU (target < 1000 ms)\n",
                reporter.cpuSeconds("BM_ParseAndApplyPatch") * 1e3);
    std::printf("apply ratio: %.2f x parse only (target <= 3)\n",
                reporter.cpuRatio("BM_ParseAndApplyPatch", "BM_ParsePatch"));
}
