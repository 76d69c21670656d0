#pragma once
// Saving edited statics without ever leaving a broken pair. staticsN.mul and staidxN.mul
// cannot be replaced together, so a save appends the changed blocks' records to the end of
// the statics file, where the old index never points, makes them durable, and only then
// replaces the index atomically: an interruption leaves the old pair or the new one. A save
// that fails takes back what it appended.
//
// Compacting rewrites the pair without the records that no entry uses any more. Before it
// replaces the first file it writes a journal naming the sizes and checksums of the old
// pair and the new ("staticsN.mul.journal"), and it keeps the old pair as "<name>.bak" until
// the new one is complete; the journal goes last. An interrupted compaction is recognised
// by that journal alone: only backups that the journal proves to be the old pair are ever
// put back, and ".bak" files without a journal are left alone.

#include "core/StaticsFiles.h"
#include "core/StaticsMap.h"
#include "shell/Progress.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace tb {

struct StaticsSaveReport {
    std::uint64_t dataBytesWritten = 0;  // records appended to the statics file
    std::uint64_t indexBytesWritten = 0; // the whole index
    // Damaged entries (block numbers) that pointed at or past the end of the statics file,
    // where the appended records would have gone: they now point past every file a save
    // makes (offset 2^31 - 1, length kept), so they stay damaged and show nothing.
    std::vector<std::size_t> entriesMovedAside;
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
// first); a pair of which only one file is there is refused naming the missing one. The
// index is checked to be replaceable before anything is appended. Throws FileError naming
// the file; the files on disk are then the old pair, byte for byte (what was appended is
// cut off again), and `statics` keeps its changes. A statics file shorter than the one
// loaded was changed by someone else and is refused.
StaticsSaveReport saveStatics(StaticsMap& statics, const StaticsFilePaths& files);

// Where one block's records lie in the bytes writeNewStatics() writes; a length of 0 is a
// block without records.
struct BlockRecords {
    std::uint32_t offset = 0;
    std::uint32_t length = 0;
};

// Writes statics made anew (a generated world's) to `files` as saveStatics() writes a save in
// which every block changed: `records` (7 bytes a record, each block's together) make a new
// statics file or are appended to the one there, and only then is the index replaced, its
// entry of block b pointing at blocks[b] of them (every block of the map has one). A pair of
// which only one file is there is refused naming the missing one. Throws FileError naming
// the file; the files on disk are then the old pair, byte for byte.
StaticsSaveReport writeNewStatics(const StaticsFilePaths& files,
                                  const std::vector<unsigned char>& records,
                                  const std::vector<BlockRecords>& blocks);

// One line naming the blocks of `report.entriesMovedAside` (blocks of a map `heightBlocks`
// blocks high) and the index; empty when there are none.
std::string movedEntriesWarning(const StaticsFilePaths& files, const StaticsSaveReport& report,
                                int heightBlocks);

// The ".bak" names the old pair is kept under while a compaction runs.
StaticsFilePaths compactionBackups(const StaticsFilePaths& files);
// The journal of a compaction under way: "<staticsN.mul>.journal".
std::filesystem::path compactionJournal(const StaticsFilePaths& files);

struct CompactReport {
    std::uint64_t recordsKept = 0;
    std::uint64_t bytesBefore = 0; // of the statics file
    std::uint64_t bytesAfter = 0;
};

// Rewrites the pair at `files` (of a map of the given blocks) with each block's records
// stored once, in block order, and no unused bytes; an interrupted compaction is undone
// first. Damaged entries are kept: the bytes they point at are copied as they are, and one
// that points past the end of the file still does. Refused (FileError) while ".bak" files
// or a journal that no compaction of this pair left are in the way, since they are never
// written over. Throws FileError naming the file; OperationStopped when `progress` asks to
// stop before the pair is replaced. A failure after the first file was replaced puts the
// old pair back.
CompactReport compactStatics(const StaticsFilePaths& files, int widthBlocks, int heightBlocks,
                             Progress& progress = noProgress());

// What an interrupted compaction left beside a pair, found without changing anything.
struct CompactionCheck {
    // The files that hold the statics: the pair itself, or where the compaction must be
    // undone, the backups of the old pair for the files that were replaced already.
    StaticsFilePaths pair;
    // What was found, as one line for the user (backups in the way, a compaction not undone
    // yet or one that cannot be undone); empty when there is nothing to tell.
    std::string note;
};

// Looks at `files`, their backups and the journal. For read-only uses (listing, drawing,
// an import into the shared world): they read `pair` and see what a command that changes
// the statics sees after recoverInterruptedCompaction(). Throws FileError naming a file
// that cannot be read.
CompactionCheck checkCompaction(const StaticsFilePaths& files);

// Puts back the pair of a compaction that was interrupted after it began to replace the
// files, and drops the backups and journal of one that finished or never replaced anything;
// only what the journal proves is touched. Returns a line saying what it did or what it
// left alone (".bak" files without a journal, a state the journal does not explain), or an
// empty text when there was nothing to tell. Throws FileError naming the file.
std::string recoverInterruptedCompaction(const StaticsFilePaths& files);

// The steps a compaction makes on disk, in order.
enum class CompactionStep {
    JournalWritten,
    DataBackupMade,
    IndexBackupMade,
    DataReplaced,
    IndexReplaced,
    IndexBackupDropped,
    DataBackupDropped,
    JournalDropped,
};
// For tests that interrupt a compaction: `hook` hears of each step right after it is made,
// from every compaction until it is set to none. Not for use while other threads compact.
void setCompactionStepHookForTesting(std::function<void(CompactionStep)> hook);

} // namespace tb
