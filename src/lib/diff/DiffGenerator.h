#pragma once
// Diff generation (GenerateDiff): compares an original and a modified set of map0.mul,
// staidx0.mul and statics0.mul block by block and writes a diff patch (see DiffFormat.h).

#include "diff/DiffFormat.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

namespace tb {

// One set of client files.
struct DiffFileSet {
    std::filesystem::path staIdx;  // staidx0.mul
    std::filesystem::path statics; // statics0.mul
    std::filesystem::path map;     // map0.mul or map0LegacyMUL.uop
};

// What a finished run wrote.
struct DiffSummary {
    TBHDInfo header;
    std::int64_t patchSize = 0;
    int staticsBlocksStored = 0;  // blocks whose records were appended
    int staticsBlocksEmptied = 0; // (-1, 0) entries
    int mapBlocksStored = 0;
};

// GenerateDiff. Writes the patch at `patchPath` with a statics part and/or a map part; at
// least one of the flags must be set. Progress: the stage as the caption (kStageWorking,
// then the stages of the parts, in order), the stage's bar as done of 100; a new stage
// starts at 0. The patch is written front to back into a temporary
// file beside `patchPath` (provisional header first, both positions -1, the real header
// last) and replaces the file at `patchPath` only when complete.
//
// The output may not be one of the six inputs (checked before anything is written;
// FileError). Any failure after that (missing or short file, a statics Length that is not
// a multiple of 7: StaticsLengthError) drops the unfinished patch, leaving whatever was at
// `patchPath` before, before the error leaves this function; so does a stop, after any
// block column (OperationStopped, kDiffStoppedMessage). Memory stays bounded
// whatever the size of statics0.mul: the two indexes and the patch indexes (about 14 MiB)
// plus a few MiB of read buffers.
DiffSummary generateDiff(const DiffFileSet& original, const DiffFileSet& modified,
                         const std::filesystem::path& patchPath, bool withStatics, bool withMap,
                         Progress& progress = noProgress());

// How a run reads and which blocks it covers. generateDiff uses the defaults; tests and the
// fuzz target pick a small grid and small sizes so every read path runs on small files.
// None of these changes what a patch holds, only how the inputs are read (the grid aside).
struct DiffRunSettings {
    DiffGrid grid;
    // Records of both statics files read for one batch of blocks (a single block may
    // exceed it). With the default merge gap a batch's buffers stay under
    // 4 MiB + 2 x 512 x 4 KiB.
    std::size_t batchBytes = std::size_t(4) << 20;
    // Statics blocks with more record bytes than this are compared and copied in chunks
    // of chunkBytes.
    std::size_t largeBlockBytes = std::size_t(1) << 20;
    std::size_t chunkBytes = std::size_t(1) << 20;
    // Statics ranges closer than this are read in one call, gap included.
    std::int64_t mergeGap = 4096;
    // Throws std::invalid_argument for a bad grid or a size below 1 (a gap below 0).
    void check() const;
};

// GenerateDiff with explicit settings; they are checked before the patch is touched.
DiffSummary generateDiff(const DiffFileSet& original, const DiffFileSet& modified,
                         const std::filesystem::path& patchPath, bool withStatics, bool withMap,
                         Progress& progress, const DiffRunSettings& settings);

} // namespace tb
