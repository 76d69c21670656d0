#pragma once
// Text patch files (".qvp"): key files with one section per map cell to change,
//
//     [0]
//     X=1024
//     Y=768
//     Z=-5
//     ID=01 D3
//
// X and Y the cell, Z the altitude to set (-128..127), ID the tile id to set as 2-byte
// spaced hex (absent or empty: the cell keeps its tile). Texts are stored as typed; they
// are only checked when the patch is applied.

#include "patch/KeyFile.h"

#include <filesystem>
#include <functional>
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

// One entry as texts, exactly as typed or read.
struct PatchEntryText {
    std::string x;
    std::string y;
    std::string z;
    std::string id;
    bool operator==(const PatchEntryText&) const = default;
};

// Reports item `index` of a run with its status text.
using ItemProgress = std::function<void(int index, const std::string& text)>;

// The entries of a patch key file: "X", "Y", "Z" with the default "0", "ID" with an empty
// default, for the sections "0" to entryCount() - 1.
std::vector<PatchEntryText> readPatchEntries(const KeyFile& file);
// The same from a file; no entries when it does not exist. Throws FileError.
std::vector<PatchEntryText> readPatchFile(const std::filesystem::path& path);

// Replaces the whole file atomically with one section per entry (keys X, Y, Z, ID), so no
// section of an older, longer file survives; no entries give an empty file. `progress` is
// called for each entry as it is written. Throws FileError; the old file then stays.
void writePatchFile(const std::filesystem::path& path, const std::vector<PatchEntryText>& entries,
                    const ItemProgress& progress = {});

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
                    std::string key = {}, std::string value = {})
        : std::runtime_error(message), m_entryIndex(entryIndex), m_before(before),
          m_key(std::move(key)), m_value(std::move(value)) {}
    int entryIndex() const { return m_entryIndex; }
    PatchResult before() const { return m_before; }
    // The key whose value failed ("X", "Y", "Z" or "ID") and that value as read.
    const std::string& key() const { return m_key; }
    const std::string& value() const { return m_value; }

private:
    int m_entryIndex;
    PatchResult m_before;
    std::string m_key;
    std::string m_value;
};

// The first of the sections "0" to entryCount() - 1 that `file` lacks; nothing when all are
// there. Patch files are written without gaps, so a missing one means a damaged file.
std::optional<int> firstMissingPatchSection(const KeyFile& file);

// Why the patch file at `path` is not applied at all: its counted section `missing` is not
// there. Names the file and the section.
std::string missingPatchSectionMessage(const std::filesystem::path& path, int missing,
                                       int entryCount);

// Applies the entries 0 .. entryCount() - 1 of `file` to `map`, in order; a later entry for
// the same cell wins. Each entry: X and Y (default "0") as integers, Z (default "0") as an
// integer in -128..127 becomes the altitude, a non-empty ID as 2-byte spaced hex becomes
// the tile id. Every value of an entry is checked before its cell is touched; an entry
// whose cell lies outside the map is skipped and counted. `progress` gets each entry with
// patchingText(x, y). Throws PatchEntryError at the first bad entry. A file without
// entries changes nothing and gives {0, 0}; callers report kPatchFileEmptyMessage first,
// and refuse a file that firstMissingPatchSection finds a gap in.
PatchResult applyPatch(MapImage& map, const KeyFile& file, const ItemProgress& progress = {});
// The same as one operation of `document`, undone as one step: its listeners hear of the
// cells written once the run ends, also when a bad entry stops it (the entries written
// before it are then the step).
PatchResult applyPatch(MapDocument& document, const KeyFile& file,
                       const ItemProgress& progress = {});

} // namespace tb
