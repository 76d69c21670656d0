#include "MapStatics.h"

#include "CommandChecks.h"

#include "core/StaticsSave.h"

#include <iostream>
#include <stdexcept>
#include <string>

namespace tbcli {

MapStatics loadMapStatics(const std::filesystem::path& mapPath,
                          const std::filesystem::path& gameDir, const tb::MapImage& map) {
    const int facet = staticsFacet(mapPath);
    const auto files = tb::findStaticsFiles(mapPath, gameDir, facet);
    if (!files) {
        const std::string n = std::to_string(facet);
        throw std::runtime_error("no staidx" + n + ".mul and statics" + n + ".mul beside \"" +
                                 mapPath.string() + "\" or in \"" + gameDir.string() + "\"");
    }
    // Drawn as the statics commands would list them, without changing a file.
    const tb::CompactionCheck check = tb::checkCompaction(*files);
    if (!check.note.empty())
        std::cerr << "tbmap: " << check.note << '\n';
    MapStatics statics{tb::loadStatics(check.pair, *map.variant()), {}};
    if (!statics.load.warning.empty())
        std::cerr << "tbmap: warning: " << statics.load.warning << '\n';
    statics.colours.read(gameDir / "radarcol.mul");
    std::cout << "statics: " << statics.load.statics.recordCount() << " records from \""
              << check.pair.index.string() << "\"\n";
    return statics;
}

std::vector<std::filesystem::path> mapStaticsInputs(const std::filesystem::path& mapPath,
                                                    const std::filesystem::path& gameDir) {
    std::vector<std::filesystem::path> files{gameDir / "radarcol.mul"};
    if (const auto pair = tb::findStaticsFiles(mapPath, gameDir, staticsFacet(mapPath))) {
        const tb::StaticsFilePaths backups = tb::compactionBackups(*pair);
        for (const auto& file :
             {pair->index, pair->data, backups.index, backups.data, tb::compactionJournal(*pair)})
            files.push_back(file);
    }
    return files;
}

} // namespace tbcli
