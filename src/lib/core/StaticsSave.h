#pragma once
// Saving edited statics without ever leaving a broken pair. staticsN.mul and staidxN.mul
// cannot be replaced together, so a save appends the changed blocks' records to the end of
// the statics file, where the old index never points, makes them durable, and only then
// replaces the index atomically: an interruption leaves the old pair or the new one.
//
// Compacting rewrites the pair without the records that no entry uses any more. The old
// pair is kept as "<name>.bak" until the new pair is complete; a compaction interrupted
// between its two renames is undone by recoverInterruptedCompaction().

#include "core/StaticsFiles.h"
#include "core/StaticsMap.h"
#include "shell/Progress.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tb {

struct StaticsSaveReport {
    std::uint64_t dataBytesWritten = 0;  // records appended to the statics file
    std::uint64_t indexBytesWritten = 0; // the whole index
};

// What writeStaticsChanges() wrote: the index as it is now on disk and where the changed
// blocks' records begin in the statics file, for StaticsMap::markSaved().
struct StaticsWrite {
    std::vector<unsigned char> index;
    std::uint64_t appendedAt = 0;
    StaticsSaveReport report;
};

// Writes the changed blocks of `statics` to `files` as saveStatics() does, without marking
// them saved: `statics` is only read, so this may run beside code that draws them. Nothing
// is written (an empty index comes back) without changes.
StaticsWrite writeStaticsChanges(const StaticsMap& statics, const StaticsFilePaths& files);

// Writes the changed blocks of `statics` to `files` as above and marks them saved. Without
// changes nothing is written. A pair that does not exist yet is created (the statics file
// first). Throws FileError naming the file; the files on disk are then a pair that loads,
// old or new, and `statics` keeps its changes. A statics file shorter than the one loaded
// was changed by someone else and is refused.
StaticsSaveReport saveStatics(StaticsMap& statics, const StaticsFilePaths& files);

// The ".bak" names the old pair is kept under while a compaction runs.
StaticsFilePaths compactionBackups(const StaticsFilePaths& files);

struct CompactReport {
    std::uint64_t recordsKept = 0;
    std::uint64_t bytesBefore = 0; // of the statics file
    std::uint64_t bytesAfter = 0;
};

// Rewrites the pair at `files` (of a map of the given blocks) with each block's records
// stored once, in block order, and no unused bytes; an interrupted compaction is undone
// first. Damaged entries are kept: the bytes they point at are copied as they are, and one
// that points past the end of the file still does. Throws FileError naming the file;
// OperationStopped when `progress` asks to stop before the pair is replaced.
CompactReport compactStatics(const StaticsFilePaths& files, int widthBlocks, int heightBlocks,
                             Progress& progress = noProgress());

// Puts back the pair of a compaction that was interrupted after it began to replace the
// files, and drops the backups of one that finished. Returns a line saying what it did, or
// an empty text when there was nothing to do. Throws FileError naming the file.
std::string recoverInterruptedCompaction(const StaticsFilePaths& files);

} // namespace tb
