#pragma once
// Text patch files (".qvp"): key files with one section per map cell to change,
//
//     [0]
//     X=1024
//     Y=768
//     Z=-5
//     ID=01 D3
//
// X and Y the cell, Z the altitude to set (-128..127, absent: 0), ID the tile id to set as
// 2-byte spaced hex (absent or empty: the cell keeps its tile). Texts are stored as typed;
// they are only checked when the patch is applied, where an entry without X or Y, or with
// a key whose name holds a NUL byte, is refused.

#include "core/MapVariant.h"
#include "patch/KeyFile.h"
#include "shell/Progress.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace tb {

class MapDocument;
class MapImage;

// The message for applying a patch file without entries (missing, empty, no "[...]" line).
inline constexpr const char* kPatchFileEmptyMessage = "File is empty or corupted!";

inline constexpr const char* kPatchLoadStoppedMessage =
    "Loading the patch file was stopped: the list was not changed.";
inline constexpr const char* kPatchSaveStoppedMessage =
    "Saving the patch file was stopped: the file was not changed.";
inline constexpr const char* kPatchApplyStoppedMessage =
    "Patching the map was stopped: no entry was applied.";

// One entry as texts, exactly as typed or read.
struct PatchEntryText {
    std::string x;
    std::string y;
    std::string z;
    std::string id;
    bool operator==(const PatchEntryText&) const = default;
};

// The entries of a patch key file: "X", "Y", "Z" with the default "0", "ID" with an empty
// default, for the sections "0" to entryCount() - 1. `progress` gets entry i of a run of n
// as "Loading ... i/n-1" (i of n - 1); a stop throws OperationStopped
// (kPatchLoadStoppedMessage).
std::vector<PatchEntryText> readPatchEntries(const KeyFile& file,
                                             Progress& progress = noProgress());
// The same from a file; no entries when it does not exist. Throws FileError.
std::vector<PatchEntryText> readPatchFile(const std::filesystem::path& path,
                                          Progress& progress = noProgress());

// Replaces the whole file atomically with one section per entry (keys X, Y, Z, ID), so no
// section of an older, longer file survives; no entries give an empty file. `progress` gets
// each entry i of n as it is written, "Saving ... i/n-1" (i of n - 1). Throws FileError, or
// OperationStopped (kPatchSaveStoppedMessage) when stopped; the old file then stays.
void writePatchFile(const std::filesystem::path& path, const std::vector<PatchEntryText>& entries,
                    Progress& progress = noProgress());

// "Patching (X, Y): <x>, <y>", the status text of applying one entry.
std::string patchingText(int x, int y);

struct PatchResult {
    int applied = 0; // entries written into the map
    int skipped = 0; // entries whose cell lies outside the map
};

// A run that stopped at a bad entry. what() is the message of the conversion that failed
// ("'<text>' is not a valid integer value", "Range check error", "Input not SpacedHex");
// the entries before `entryIndex` stay applied and `before` counts them.
class PatchEntryError : public std::runtime_error {
public:
    PatchEntryError(const std::string& message, int entryIndex, PatchResult before,
                    std::string key = {}, std::string value = {}, bool aboutKey = false)
        : std::runtime_error(message), m_entryIndex(entryIndex), m_before(before),
          m_key(std::move(key)), m_value(std::move(value)), m_aboutKey(aboutKey) {}
    int entryIndex() const { return m_entryIndex; }
    PatchResult before() const { return m_before; }
    // The key whose value failed ("X", "Y", "Z" or "ID") and that value as read.
    const std::string& key() const { return m_key; }
    const std::string& value() const { return m_value; }
    // The entry's keys are wrong, not a value: X or Y is missing, or a key's name holds a
    // NUL byte. what() then names the entry and the key itself.
    bool aboutKey() const { return m_aboutKey; }

private:
    int m_entryIndex;
    PatchResult m_before;
    std::string m_key;
    std::string m_value;
    bool m_aboutKey;
};

// The first of the sections "0" to entryCount() - 1 that `file` lacks; nothing when all are
// there. Patch files are written without gaps, so a missing one means a damaged file.
std::optional<int> firstMissingPatchSection(const KeyFile& file);

// Why the patch file at `path` is not applied at all: its counted section `missing` is not
// there. Names the file and the section.
std::string missingPatchSectionMessage(const std::filesystem::path& path, int missing,
                                       int entryCount);

// Applies the entries 0 .. entryCount() - 1 of `file` to `map`, in order; a later entry for
// the same cell wins. Each entry: X and Y (both required) as integers, Z (default "0") as an
// integer in -128..127 becomes the altitude, a non-empty ID as 2-byte spaced hex becomes
// the tile id. Every value of an entry is checked before its cell is touched; an entry
// whose cell lies outside the map is skipped and counted. `progress` gets entry i of n with
// patchingText(x, y) (i of n - 1). Throws PatchEntryError at the first bad entry, and
// OperationStopped (kPatchApplyStoppedMessage) when stopped; the entries before stay
// written in `map` either way. A file without entries changes nothing and gives {0, 0};
// callers report kPatchFileEmptyMessage first, and refuse a file that firstMissingPatchSection
// finds a gap in.
PatchResult applyPatch(MapImage& map, const KeyFile& file, Progress& progress = noProgress());

// One cell a patch writes: the altitude, and the tile id when the entry names one (else the
// cell keeps the tile it has when the write is made, which an earlier entry may have set).
struct PatchCellWrite {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int8_t altitude = 0;
    std::optional<std::uint16_t> tileId;
    friend bool operator==(const PatchCellWrite&, const PatchCellWrite&) = default;
};

// A patch run worked out for a map of `geometry` without touching any map, so that it can
// run beside the editor and be written in one go afterwards: the writes of the entries
// before the first bad one (cells outside the map left out), the counts, and the bad
// entry's error.
struct PatchPlan {
    std::vector<PatchCellWrite> writes;
    PatchResult result;
    std::optional<PatchEntryError> error;
};

// The run of applyPatch, with its progress, as a plan. A bad entry ends the plan (error);
// a stop throws OperationStopped (kPatchApplyStoppedMessage).
PatchPlan planPatch(const std::optional<MapVariant>& geometry, const KeyFile& file,
                    Progress& progress = noProgress());

// Writes a plan's cells in order as one operation of `document`, undone as one step: its
// listeners hear of the cells once.
void writePatchPlan(MapDocument& document, const PatchPlan& plan);

} // namespace tb
