// tbmap patch: applies a text patch file to a map file.
#include "CommandChecks.h"
#include "Commands.h"

#include "core/MapFile.h"
#include "core/MapImage.h"
#include "patch/KeyFile.h"
#include "patch/PatchFile.h"
#include "shell/Errors.h"
#include "shell/MessageText.h"

#include <filesystem>
#include <iostream>

namespace fs = std::filesystem;

namespace tbcli {

// The run works on the image in memory and writes the map only when every entry was read:
// a bad entry leaves the file on disk as it was.
int runPatch(const Args& args) {
    if (args.size() != 2)
        return usageError("patch");
    const fs::path mapPath = args[0];
    const fs::path patchPath = args[1];
    try {
        tb::MapImage map = tb::MapImage::load(mapPath);
        if (!map.hasGeometry())
            return failure(inQuotes(mapPath) +
                           " is not a known map file: " + tb::unknownMapReason(mapPath));
        const tb::KeyFile patch = tb::KeyFile::load(patchPath);
        if (patch.entryCount() == 0) {
            std::error_code ec;
            return failure(std::string(tb::kPatchFileEmptyMessage) + " (" + inQuotes(patchPath) +
                           (fs::exists(patchPath, ec) ? ": it holds no [section] line"
                                                      : ": there is no such file") +
                           ")");
        }
        if (const auto missing = tb::firstMissingPatchSection(patch))
            return failure(tb::missingPatchSectionMessage(patchPath, *missing, patch.entryCount()));
        const tb::PatchResult result = tb::applyPatch(map, patch);
        map.save(mapPath);
        std::cout << "applied: " << result.applied << '\n'
                  << "skipped (outside the map): " << result.skipped << '\n';
        return 0;
    } catch (const tb::PatchEntryError& e) {
        if (e.aboutKey())
            return failure(inQuotes(patchPath) + " " + e.what() + " (map not written)");
        return failure(inQuotes(patchPath) + " entry [" + std::to_string(e.entryIndex()) + "], " +
                       e.key() + "=" + tb::messageExcerpt(e.value()) + ": " + e.what() +
                       " (map not written)");
    } catch (const tb::FileError& e) {
        return failure(e.what());
    }
}

} // namespace tbcli
