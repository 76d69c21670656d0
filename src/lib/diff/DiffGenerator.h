#pragma once
// Diff generation (GenerateDiff): compares an original and a modified set of map0.mul,
// staidx0.mul and statics0.mul block by block and writes a diff patch (see DiffFormat.h).

#include "diff/DiffFormat.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

namespace tb {

// Where a run reports how far it is. The window maps this onto its stage progress window
// and lets pending window messages run in both calls; the command line prints it.
class DiffProgress {
public:
    virtual ~DiffProgress() = default;
    // A new stage: shows `text` and puts the bar back to 0.
    virtual void stage(const std::string& text) = 0;
    // The bar of the current stage, 0..100.
    virtual void percent(int value) = 0;
};

// Reports nothing.
class NoDiffProgress : public DiffProgress {
public:
    void stage(const std::string&) override {}
    void percent(int) override {}
};

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
// least one of the flags must be set. The patch is written front to back into a temporary
// file beside `patchPath` (provisional header first, both positions -1, the real header
// last) and replaces the file at `patchPath` only when complete.
//
// The output may not be one of the six inputs (checked before anything is written;
// FileError). Any failure after that (missing or short file, a statics Length that is not
// a multiple of 7: StaticsLengthError) drops the unfinished patch, leaving whatever was at
// `patchPath` before, before the error leaves this function. Memory stays bounded
// whatever the size of statics0.mul: the two indexes and the patch indexes (about 14 MiB)
// plus a few MiB of read buffers.
DiffSummary generateDiff(const DiffFileSet& original, const DiffFileSet& modified,
                         const std::filesystem::path& patchPath, bool withStatics, bool withMap,
                         DiffProgress& progress);

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
                         DiffProgress& progress, const DiffRunSettings& settings);

} // namespace tb
