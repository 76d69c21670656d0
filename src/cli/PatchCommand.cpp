// tbmap patch: applies a text patch file to a map file.
#include "Commands.h"

#include "core/MapImage.h"
#include "patch/KeyFile.h"
#include "patch/PatchFile.h"
#include "shell/Errors.h"

#include <iostream>

namespace tbcli {

// The run works on the image in memory and writes the map only when every entry was read:
// a bad entry leaves the file on disk as it was.
int runPatch(const Args& args) {
    if (args.size() != 2)
        return usageError("patch");
    try {
        tb::MapImage map = tb::MapImage::load(args[0]);
        if (!map.hasGeometry())
            return failure("\"" + args[0] + "\" is not a known map file (name and size)");
        const tb::KeyFile patch = tb::KeyFile::load(args[1]);
        if (patch.entryCount() == 0)
            return failure(tb::kPatchFileEmptyMessage);
        const tb::PatchResult result = tb::applyPatch(map, patch);
        map.save(args[0]);
        std::cout << "applied: " << result.applied << '\n'
                  << "skipped (outside the map): " << result.skipped << '\n';
        return 0;
    } catch (const tb::PatchEntryError& e) {
        return failure("entry " + std::to_string(e.entryIndex()) + ": " + e.what() +
                       " (map not written)");
    } catch (const tb::FileError& e) {
        return failure(e.what());
    }
}

} // namespace tbcli
