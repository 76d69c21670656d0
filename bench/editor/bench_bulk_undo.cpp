// A heightmap import that changes every cell of a 7168 x 4096 map, applied to a map
// document as one bulk edit, then undone and redone.
//
// Prints the memory the undo store holds for it (target: at most the map's own size,
// 89,915,392 bytes) and the time of the undo and of the redo (target: < 1 s each), the
// fastest of a few runs, with their CPU time beside them.
#include "core/Heightmap.h"
#include "core/MapImage.h"
#include "core/MapVariant.h"
#include "editor/AltitudeChanges.h"
#include "editor/MapDocument.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

namespace {

constexpr std::int64_t kMapSize = 89'915'392; // 7168 x 4096
constexpr int kRuns = 3;

struct Times {
    double wall = 1e30;
    double cpu = 1e30;
};

// Runs `work` and keeps the fastest wall time (and the CPU time of that run).
template <typename Work> void timeOnce(Times& best, Work&& work) {
    const auto wall0 = std::chrono::steady_clock::now();
    const std::clock_t cpu0 = std::clock();
    work();
    const double cpu = double(std::clock() - cpu0) / CLOCKS_PER_SEC;
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
    if (wall < best.wall)
        best = {wall, cpu};
}

} // namespace

int main() {
    tb::MapImage map(std::vector<unsigned char>(std::size_t(kMapSize), 0),
                     tb::identifyMapVariant("map0.mul", kMapSize));
    if (map.width() != 7168 || map.height() != 4096) {
        std::fprintf(stderr, "map0.mul of %lld bytes was not identified as 7168x4096\n",
                     (long long)kMapSize);
        return 1;
    }
    tb::MapDocument doc(std::move(map), "map0.mul");

    tb::Heightmap heightmap{7168, 4096, {}};
    heightmap.grey.resize(std::size_t(7168) * 4096);
    for (int y = 0; y < 4096; ++y)
        for (int x = 0; x < 7168; ++x)
            heightmap.grey[std::size_t(y) * 7168 + std::size_t(x)] =
                std::uint8_t(129 + (x * 7 + y * 3) % 120);
    const std::vector<tb::AltitudeChange> changes =
        tb::heightmapChanges(doc.image(), heightmap.view());
    std::printf("full-map heightmap import: %zu cells changed\n", changes.size());

    Times apply, undo, redo;
    std::size_t memory = 0;
    for (int run = 0; run < kRuns; ++run) {
        timeOnce(apply, [&] { tb::applyAltitudeChanges(doc, changes); });
        memory = doc.undoList().memoryBytes();
        timeOnce(undo, [&] { doc.undo(); });
        timeOnce(redo, [&] { doc.redo(); });
        doc.undo(); // back to the flat map for the next run
        if (doc.image().cell(7167, 4095).altitude != 0) {
            std::fprintf(stderr, "the undo did not restore the map\n");
            return 1;
        }
    }
    std::printf("  import through the bulk edit: %8.3f s (CPU %.3f s)\n", apply.wall, apply.cpu);
    std::printf("  undo memory:  %11zu bytes = %.2f x the map's size (target <= 1)\n", memory,
                double(memory) / double(kMapSize));
    std::printf("  undo:                         %8.3f s (CPU %.3f s, target < 1 s)\n", undo.wall,
                undo.cpu);
    std::printf("  redo:                         %8.3f s (CPU %.3f s, target < 1 s)\n", redo.wall,
                redo.cpu);
    return 0;
}
