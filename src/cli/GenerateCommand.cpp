// tbmap generate: a new world from a terrain picture and an altitude picture painted in any
// paint program, with the terrains, transitions and items of a terrain file.
#include "CommandChecks.h"
#include "Commands.h"

#include "render/WorldFromPictures.h"

#include <iostream>
#include <optional>

namespace tbcli {

int runGenerate(const Args& args) {
    Args words;
    std::optional<std::string> seed;
    bool statics = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--seed" && i + 1 < args.size() && !seed) {
            seed = args[++i];
        } else if (args[i] == "--statics" && !statics) {
            statics = true;
        } else if (args[i].starts_with("--")) {
            return usageError("generate");
        } else {
            words.push_back(args[i]);
        }
    }
    if (words.size() != 4)
        return usageError("generate");
    tbrender::WorldRequest request{{words[0], words[1], words[2]}, words[3], {}};
    // Any 32-bit integer, decimal or $hex; the same seed always gives the same world.
    request.options.seed = seed ? std::uint32_t(intArgument("--seed", *seed)) : 1u;
    request.options.statics = statics;
    checkOutput(request.destination, {words[0], words[1], words[2]});
    tb::GenerateReport report;
    try {
        report = tbrender::generateWorldFromPictures(request);
    } catch (const tb::GenerateRefusal& e) {
        return failure(std::string(e.what()) + " (nothing written)");
    }
    if (!report.staticsNote.empty())
        std::cerr << "tbmap: " << report.staticsNote << '\n';
    // The cells without a matching tile, as terrain check lists cells.
    for (const tb::CellPoint& c : report.missing)
        std::cout << c.x << ',' << c.y << '\n';
    if (report.missingCount > std::int64_t(report.missing.size()))
        std::cout << "(the first " << report.missing.size() << ")\n";
    std::cout << "wrote " << inQuotes(request.destination) << ": " << report.variant.caption << ", "
              << tb::mapSizeText(report.variant.size()) << ", seed " << request.options.seed << '\n'
              << "missing transitions: " << report.missingCount << '\n';
    if (statics)
        std::cout << "items: " << report.items << " in " << inQuotes(report.statics.data) << " and "
                  << inQuotes(report.statics.index) << '\n';
    return 0;
}

} // namespace tbcli
