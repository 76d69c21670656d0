#include "patch/PatchFile.h"

#include "core/MapImage.h"
#include "editor/MapDocument.h"
#include "shell/AtomicFileWriter.h"
#include "shell/Errors.h"
#include "shell/LineFile.h"
#include "shell/NumberText.h"
#include "shell/SpacedHex.h"

namespace tb {

std::vector<PatchEntryText> readPatchEntries(const KeyFile& file) {
    std::vector<PatchEntryText> entries;
    const int count = file.entryCount();
    entries.reserve(std::size_t(count));
    for (int i = 0; i < count; ++i) {
        const std::string section = std::to_string(i);
        entries.push_back({file.readString(section, "X", "0"), file.readString(section, "Y", "0"),
                           file.readString(section, "Z", "0"), file.readString(section, "ID", "")});
    }
    return entries;
}

std::vector<PatchEntryText> readPatchFile(const std::filesystem::path& path) {
    return readPatchEntries(KeyFile::load(path));
}

void writePatchFile(const std::filesystem::path& path, const std::vector<PatchEntryText>& entries,
                    const ItemProgress& progress) {
    writeFileAtomically(path, [&](const AppendBytes& append) {
        const int count = int(entries.size());
        for (int i = 0; i < count; ++i) {
            const PatchEntryText& e = entries[std::size_t(i)];
            const std::string bytes =
                encodeLines(entryLines(i, {{"X", e.x}, {"Y", e.y}, {"Z", e.z}, {"ID", e.id}}));
            append(bytes.data(), bytes.size());
            if (progress)
                progress(i, "Saving ... " + std::to_string(i) + "/" + std::to_string(count - 1));
        }
    });
}

std::optional<int> firstMissingPatchSection(const KeyFile& file) {
    for (int i = 0; i < file.entryCount(); ++i)
        if (!file.hasSection(std::to_string(i)))
            return i;
    return std::nullopt;
}

std::string missingPatchSectionMessage(const std::filesystem::path& path, int missing,
                                       int entryCount) {
    const std::u8string name = path.u8string();
    return "Patch file \"" + std::string(name.begin(), name.end()) + "\" lacks section [" +
           std::to_string(missing) + "]: it counts " + std::to_string(entryCount) +
           " entries, [0] to [" + std::to_string(entryCount - 1) + "], and is not applied";
}

std::string patchingText(int x, int y) {
    return "Patching (X, Y): " + std::to_string(x) + ", " + std::to_string(y);
}

namespace {

// The run shared by a bare map and a document's edit: both read cells with contains() and
// cellUnchecked() and take a whole cell with their own write.
template <typename CellTarget, typename WriteCell>
PatchResult applyEntries(const CellTarget& target, WriteCell&& writeCell, const KeyFile& file,
                         const ItemProgress& progress) {
    PatchResult result;
    const int count = file.entryCount();
    for (int i = 0; i < count; ++i) {
        const std::string section = std::to_string(i);
        std::int32_t x = 0;
        std::int32_t y = 0;
        MapCell value;
        bool setsTile = false;
        const char* key = "X"; // the key being read, for the error
        std::string text;
        try {
            text = file.readString(section, key, "0");
            x = strToInt(text);
            text = file.readString(section, key = "Y", "0");
            y = strToInt(text);
            text = file.readString(section, key = "Z", "0");
            const std::int32_t z = strToInt(text);
            if (z < -128 || z > 127)
                throw RangeError();
            value.altitude = static_cast<std::int8_t>(z);
            text = file.readString(section, key = "ID", "");
            if (!text.empty()) {
                value.tileId = static_cast<std::uint16_t>(spacedHexToInt(text, 2));
                setsTile = true;
            }
        } catch (const ConversionError& e) {
            throw PatchEntryError(e.what(), i, result, key, text);
        } catch (const RangeError& e) {
            throw PatchEntryError(e.what(), i, result, key, text);
        }
        // A cell outside the map is not part of the image: nothing is written for it.
        if (target.contains(x, y)) {
            if (!setsTile)
                value.tileId = target.cellUnchecked(x, y).tileId;
            writeCell(x, y, value);
            ++result.applied;
        } else {
            ++result.skipped;
        }
        if (progress)
            progress(i, patchingText(x, y));
    }
    return result;
}

} // namespace

PatchResult applyPatch(MapImage& map, const KeyFile& file, const ItemProgress& progress) {
    return applyEntries(
        map, [&](std::int32_t x, std::int32_t y, MapCell value) { map.setCell(x, y, value); }, file,
        progress);
}

PatchResult applyPatch(MapDocument& document, const KeyFile& file, const ItemProgress& progress) {
    // The whole run is one operation: one repaint, one change and one undo step, however
    // it ends.
    MapDocument::Edit edit(document, MapDocument::Undo::Bulk);
    return applyEntries(
        edit.image(),
        [&](std::int32_t x, std::int32_t y, MapCell value) { edit.write(x, y, value); }, file,
        progress);
}

} // namespace tb
