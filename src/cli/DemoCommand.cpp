// tbmap demo: writes the generated demo world and its game files into a folder.
#include "CommandChecks.h"
#include "Commands.h"

#include "demo/DemoDataSet.h"

#include <chrono>
#include <cstdio>
#include <iostream>

namespace tbcli {

int runDemo(const Args& args) {
    std::string dir;
    tb::demo::DemoOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--seed") {
            if (i + 1 >= args.size())
                return usageError("demo");
            // Any 32-bit integer, decimal or $hex; negative seeds are as good as others.
            options.seed = std::uint32_t(intArgument("--seed", args[++i]));
        } else if (dir.empty() && !args[i].empty() && args[i][0] != '-') {
            dir = args[i];
        } else {
            return usageError("demo");
        }
    }
    if (dir.empty())
        return usageError("demo");

    const auto start = std::chrono::steady_clock::now();
    const tb::demo::DemoReport report = tb::demo::writeDemoDataSet(dir, options);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    for (const tb::demo::WrittenFile& f : report.files)
        std::cout << "wrote " << f.path.string() << " (" << f.size << " bytes)\n";
    const tb::MapVariant& v = options.variant;
    const auto& cells = report.world.cells;
    const double total = double(v.width) * v.height;
    auto share = [&](std::initializer_list<tb::demo::Terrain> terrains) {
        std::int64_t n = 0;
        for (auto t : terrains)
            n += cells[std::size_t(t)];
        char text[16];
        std::snprintf(text, sizeof text, "%.0f%%", 100.0 * double(n) / total);
        return std::string(text);
    };
    using T = tb::demo::Terrain;
    std::cout << "map: " << v.caption << ' ' << tb::mapSizeText(v.size()) << ", seed "
              << options.seed << '\n'
              << "world: water " << share({T::DeepWater, T::Water}) << ", sand " << share({T::Sand})
              << ", grass " << share({T::Grass}) << ", forest " << share({T::Forest}) << ", dirt "
              << share({T::Dirt}) << ", rock " << share({T::Rock}) << ", snow " << share({T::Snow})
              << "; altitude " << report.world.minAltitude << " to " << report.world.maxAltitude
              << '\n';
    char elapsed[32];
    std::snprintf(elapsed, sizeof elapsed, "%.2f", seconds);
    std::cout << "done in " << elapsed << " s\n";
    return 0;
}

} // namespace tbcli
