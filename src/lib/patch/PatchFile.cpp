#include "patch/PatchFile.h"

#include "core/MapImage.h"
#include "editor/MapDocument.h"
#include "shell/AtomicFileWriter.h"
#include "shell/Errors.h"
#include "shell/LineFile.h"
#include "shell/MessageText.h"
#include "shell/NumberText.h"
#include "shell/SpacedHex.h"

namespace tb {

namespace {

// "<what> ... i/last", the status text of entry i of a run whose last entry is `last`.
std::string entryText(const char* what, int i, int last) {
    return std::string(what) + " ... " + std::to_string(i) + "/" + std::to_string(last);
}

} // namespace

std::vector<PatchEntryText> readPatchEntries(const KeyFile& file, Progress& progress) {
    std::vector<PatchEntryText> entries;
    const int count = file.entryCount();
    entries.reserve(std::size_t(count));
    for (int i = 0; i < count; ++i) {
        const std::string section = std::to_string(i);
        entries.push_back({file.readString(section, "X", "0"), file.readString(section, "Y", "0"),
                           file.readString(section, "Z", "0"), file.readString(section, "ID", "")});
        reportStep(progress, entryText("Loading", i, count - 1), i, count - 1,
                   kPatchLoadStoppedMessage);
    }
    return entries;
}

std::vector<PatchEntryText> readPatchFile(const std::filesystem::path& path, Progress& progress) {
    return readPatchEntries(KeyFile::load(path), progress);
}

void writePatchFile(const std::filesystem::path& path, const std::vector<PatchEntryText>& entries,
                    Progress& progress) {
    // A stop throws out of the writer, which then drops its temporary file.
    writeFileAtomically(path, [&](const AppendBytes& append) {
        const int count = int(entries.size());
        for (int i = 0; i < count; ++i) {
            const PatchEntryText& e = entries[std::size_t(i)];
            const std::string bytes =
                encodeLines(entryLines(i, {{"X", e.x}, {"Y", e.y}, {"Z", e.z}, {"ID", e.id}}));
            append(bytes.data(), bytes.size());
            reportStep(progress, entryText("Saving", i, count - 1), i, count - 1,
                       kPatchSaveStoppedMessage);
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

// The run shared by a map written at once and a plan written later: each entry's values
// are checked before `take` hears of it; a cell outside the map is counted, not taken.
template <typename Take>
PatchResult forEachPatchEntry(const std::optional<MapVariant>& geometry, const KeyFile& file,
                              Progress& progress, Take&& take) {
    PatchResult result;
    const int count = file.entryCount();
    for (int i = 0; i < count; ++i) {
        const std::string section = std::to_string(i);
        // A key that cannot be told from X or Y, or a cell without them, would be applied
        // at column or row 0.
        const std::string entry = "entry [" + section + "]";
        for (const std::string& name : file.keyNames(section))
            if (name.find('\0') != std::string::npos)
                throw PatchEntryError(entry + " has a key whose name holds a NUL byte: \"" +
                                          messageExcerpt(name) + "\"",
                                      i, result, name, {}, true);
        for (const char* required : {"X", "Y"})
            if (!file.hasKey(section, required))
                throw PatchEntryError(entry + " has no " + required +
                                          ": every entry names its cell by X and Y",
                                      i, result, required, {}, true);
        PatchCellWrite write;
        const char* key = "X"; // the key being read, for the error
        std::string text;
        try {
            text = file.readString(section, key, "0");
            write.x = strToInt(text);
            text = file.readString(section, key = "Y", "0");
            write.y = strToInt(text);
            text = file.readString(section, key = "Z", "0");
            const std::int32_t z = strToInt(text);
            if (z < -128 || z > 127)
                throw RangeError();
            write.altitude = static_cast<std::int8_t>(z);
            text = file.readString(section, key = "ID", "");
            if (!text.empty())
                write.tileId = static_cast<std::uint16_t>(spacedHexToInt(text, 2));
        } catch (const ConversionError& e) {
            throw PatchEntryError(e.what(), i, result, key, text);
        } catch (const RangeError& e) {
            throw PatchEntryError(e.what(), i, result, key, text);
        }
        // A cell outside the map is not part of the image: nothing is written for it.
        if (geometry && geometry->contains(write.x, write.y)) {
            take(write);
            ++result.applied;
        } else {
            ++result.skipped;
        }
        reportStep(progress, patchingText(write.x, write.y), i, count - 1,
                   kPatchApplyStoppedMessage);
    }
    return result;
}

MapCell patchedCell(const PatchCellWrite& write, MapCell before) {
    return {write.tileId.value_or(before.tileId), write.altitude};
}

} // namespace

PatchResult applyPatch(MapImage& map, const KeyFile& file, Progress& progress) {
    return forEachPatchEntry(map.variant(), file, progress, [&](const PatchCellWrite& write) {
        map.setCellUnchecked(write.x, write.y,
                             patchedCell(write, map.cellUnchecked(write.x, write.y)));
    });
}

PatchPlan planPatch(const std::optional<MapVariant>& geometry, const KeyFile& file,
                    Progress& progress) {
    PatchPlan plan;
    try {
        plan.result = forEachPatchEntry(geometry, file, progress, [&](const PatchCellWrite& write) {
            plan.writes.push_back(write);
        });
    } catch (const PatchEntryError& e) {
        plan.result = e.before();
        plan.error = e;
    }
    return plan;
}

void writePatchPlan(MapDocument& document, const PatchPlan& plan) {
    // The whole plan is one operation: one repaint, one change and one undo step.
    MapDocument::Edit edit(document, MapDocument::Undo::Bulk);
    for (const PatchCellWrite& write : plan.writes)
        edit.write(write.x, write.y, patchedCell(write, edit.cell(write.x, write.y)));
}

} // namespace tb
