// Key files, text patch files and coordinate lists from arbitrary file bytes, and the patch
// applied to a map: a run either applies every entry or stops at a bad one, never touching
// a cell outside the map.
#include "FuzzSupport.h"

#include "core/MapImage.h"
#include "patch/CoordList.h"
#include "patch/KeyFile.h"
#include "patch/PatchFile.h"
#include "shell/LineFile.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

// The smallest known map (Tokuno, 1448 x 1448), kept for the whole run.
tb::MapImage& tokuno() {
    static tb::MapImage map = [] {
        for (const tb::MapVariant& v : tb::mapVariants())
            if (v.fileName == "map4.mul")
                return tb::MapImage(std::vector<unsigned char>(std::size_t(v.fileSize)), v);
        std::abort();
    }();
    return map;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const tb::KeyFile file = tb::KeyFile::parse(tb::decodeLines(bytes));

    const std::vector<tb::PatchEntryText> entries = tb::readPatchEntries(file);
    tbfuzz::check(int(entries.size()) == file.entryCount(), "patch entry count");
    const std::vector<tb::CoordText> coords = tb::readCoordEntries(file);
    tbfuzz::check(int(coords.size()) == file.entryCount(), "coordinate count");

    tb::MapImage& map = tokuno();
    struct Counted : tb::Progress {
        int calls = 0;
        void report(std::string_view, std::int64_t, std::int64_t) override { ++calls; }
    } progress;
    try {
        const tb::PatchResult result = tb::applyPatch(map, file, progress);
        tbfuzz::check(result.applied + result.skipped == file.entryCount(), "patch counts");
    } catch (const tb::PatchEntryError& e) {
        tbfuzz::check(e.entryIndex() >= 0 && e.entryIndex() < file.entryCount(), "bad entry index");
        tbfuzz::check(e.before().applied + e.before().skipped == e.entryIndex(),
                      "entries before the bad one");
    }
    tbfuzz::check(map.size() == std::size_t(map.variant()->fileSize), "map size changed");
    return 0;
}
