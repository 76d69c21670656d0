#include "diff/DiffGenerator.h"

#include "core/MapFileReader.h"
#include "diff/InputFile.h"
#include "diff/PatchWriter.h"
#include "shell/Errors.h"
#include "shell/FileIdentity.h"
#include "shell/LittleEndian.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <stdexcept>

namespace fs = std::filesystem;

namespace tb {
namespace {

// Map columns are read this many bytes a call (ten columns of the client grid).
constexpr std::size_t kMapReadBytes = std::size_t(1) << 20;

std::int32_t checkedSize(const InputFile& file) {
    if (file.size() > std::numeric_limits<std::int32_t>::max())
        throw FileError("Cannot use file \"" + file.path().string() +
                        "\": it is larger than a diff patch can describe (2 GiB)");
    return static_cast<std::int32_t>(file.size());
}

// A range of one file wanted for a comparison; `data` points into the loader's buffer.
struct Request {
    std::int64_t offset = 0;
    std::size_t length = 0;
    const unsigned char* data = nullptr;
};

// Reads many ranges of one file with few calls: the ranges are sorted by position and
// neighbours are merged into runs, so statics stored in block order come in long reads
// while scattered blocks still cost one read each.
class RangeLoader {
public:
    explicit RangeLoader(std::int64_t mergeGap) : m_mergeGap(mergeGap) {}

    void load(const InputFile& file, std::vector<Request*>& requests) {
        const auto byOffset = [](const Request* a, const Request* b) {
            return a->offset < b->offset;
        };
        // Statics written in block order arrive sorted already.
        if (!std::is_sorted(requests.begin(), requests.end(), byOffset))
            std::sort(requests.begin(), requests.end(), byOffset);
        m_runs.clear();
        for (const Request* r : requests) {
            const std::int64_t end = r->offset + std::int64_t(r->length);
            if (m_runs.empty() || r->offset > m_runs.back().end + m_mergeGap)
                m_runs.push_back({r->offset, end, 0});
            else
                m_runs.back().end = std::max(m_runs.back().end, end);
        }
        std::size_t total = 0;
        for (Run& run : m_runs) {
            run.bufferPos = total;
            total += std::size_t(run.end - run.start);
        }
        if (total > m_capacity) {
            // Grown without zero-filling: every byte is read into before it is used.
            m_buffer.reset(new unsigned char[total]);
            m_capacity = total;
        }
        for (const Run& run : m_runs)
            file.readAt(run.start, m_buffer.get() + run.bufferPos,
                        std::size_t(run.end - run.start));
        std::size_t runIndex = 0;
        for (Request* r : requests) {
            while (r->offset + std::int64_t(r->length) > m_runs[runIndex].end)
                ++runIndex;
            r->data = m_buffer.get() + m_runs[runIndex].bufferPos +
                      std::size_t(r->offset - m_runs[runIndex].start);
        }
    }

private:
    struct Run {
        std::int64_t start;
        std::int64_t end;
        std::size_t bufferPos;
    };
    std::int64_t m_mergeGap;
    std::vector<Run> m_runs;
    std::unique_ptr<unsigned char[]> m_buffer;
    std::size_t m_capacity = 0;
};

// A block whose index entries differ and whose records must be looked at.
struct PendingBlock {
    int y = 0;
    std::size_t origLength = 0; // 0 for an original without statics (Lookup -1)
    std::size_t modLength = 0;
    Request orig;
    Request mod;
    bool compareRecords() const { return origLength == modLength && modLength > 0; }
    std::size_t bytesToRead() const { return modLength + (compareRecords() ? origLength : 0); }
};

class Generator {
public:
    Generator(const DiffFileSet& original, const DiffFileSet& modified, PatchWriter& writer,
              Progress& progress, DiffSummary& summary, const DiffRunSettings& settings)
        : m_orig(original), m_mod(modified), m_writer(writer), m_progress(progress),
          m_summary(summary), m_settings(settings), m_grid(settings.grid), m_origIndex(m_grid),
          m_modIndex(m_grid), m_origLoader(settings.mergeGap), m_modLoader(settings.mergeGap) {}

    void staticsPhase();
    void mapPhase();

private:
    void compareStaticsColumn(int x);
    void compareBatch(int x, std::size_t first, std::size_t last);
    void compareLargeBlock(int x, PendingBlock& block);
    void storeStaticsEntry(int x, int y, std::int32_t pos, std::size_t length);
    std::uint32_t checksumAndStoreMaps(const MapFileReader& origMap, const MapFileReader& modMap,
                                       std::vector<unsigned char>& mapEntries);
    void storeMapBlock(std::size_t block, const unsigned char* bytes,
                       std::vector<unsigned char>& mapEntries);
    // The reused buffer of `size` bytes in `buffer`, grown without zero-filling: every byte
    // is read into before it is used.
    static unsigned char* reuse(std::unique_ptr<unsigned char[]>& buffer, std::size_t& capacity,
                                std::size_t size) {
        if (size > capacity) {
            buffer = std::make_unique_for_overwrite<unsigned char[]>(size);
            capacity = size;
        }
        return buffer.get();
    }
    // A new stage: its caption, its bar at 0.
    void stage(const char* caption) {
        m_stage = caption;
        m_progress.report(m_stage, 0, 100);
    }
    // The bar of the stage showing; a stop is taken here, after a block column.
    void percent(int value) { reportStep(m_progress, m_stage, value, 100, kDiffStoppedMessage); }
    bool large(const PendingBlock& block) const {
        return block.modLength > m_settings.largeBlockBytes;
    }
    std::size_t blockIndex(int x, int y) const {
        return std::size_t(x) * std::size_t(m_grid.rows) + std::size_t(y);
    }

    const DiffFileSet& m_orig;
    const DiffFileSet& m_mod;
    PatchWriter& m_writer;
    Progress& m_progress;
    std::string m_stage = kStageWorking;
    DiffSummary& m_summary;
    const DiffRunSettings& m_settings;
    const DiffGrid m_grid;

    std::unique_ptr<InputFile> m_origStatics;
    std::unique_ptr<InputFile> m_modStatics;
    StaIdxTable m_origIndex;
    StaIdxTable m_modIndex;
    // The patch statics index: every entry starts as (-1, -1), unchanged.
    std::vector<unsigned char> m_staticsEntries =
        std::vector<unsigned char>(std::size_t(m_grid.blockCount()) * kPatchStaticsEntrySize, 0xFF);
    std::vector<PendingBlock> m_pending;
    RangeLoader m_origLoader;
    RangeLoader m_modLoader;
    std::vector<Request*> m_requests;
    // Read buffers kept for the whole run: large blocks' chunks, then map columns.
    std::unique_ptr<unsigned char[]> m_origBuffer;
    std::unique_ptr<unsigned char[]> m_modBuffer;
    std::size_t m_origCapacity = 0;
    std::size_t m_modCapacity = 0;
};

void Generator::staticsPhase() {
    stage(kStageStatics);
    readStaIdx(m_orig.staIdx, m_origIndex, m_progress, m_stage);
    readStaIdx(m_mod.staIdx, m_modIndex, m_progress, m_stage);
    TBHDInfo& header = m_summary.header;
    header.origStaIdxCRC = staIdxChecksum(m_origIndex);
    header.modStaIdxCRC = staIdxChecksum(m_modIndex);
    m_origStatics = std::make_unique<InputFile>(m_orig.statics);
    m_modStatics = std::make_unique<InputFile>(m_mod.statics);
    header.origStaticsSize = checkedSize(*m_origStatics);
    header.modStaticsSize = checkedSize(*m_modStatics);
    m_pending.reserve(std::size_t(m_grid.rows));

    for (int x = 0; x < m_grid.columns; ++x) {
        compareStaticsColumn(x);
        percent(x * 100 / m_grid.columns);
    }

    header.staticsIndexPos = m_writer.position();
    stage(kStageStaticsIndex);
    const std::size_t columnBytes = std::size_t(m_grid.rows) * kPatchStaticsEntrySize;
    for (int x = 0; x < m_grid.columns; ++x) {
        m_writer.append(m_staticsEntries.data() + std::size_t(x) * columnBytes, columnBytes);
        percent(x * 100 / m_grid.columns);
    }
}

void Generator::compareStaticsColumn(int x) {
    m_pending.clear();
    for (int y = 0; y < m_grid.rows; ++y) {
        const StaticPointer o = m_origIndex.at(x, y);
        const StaticPointer m = m_modIndex.at(x, y);
        if (m.lookup == -1) {
            // No statics in the modified set, whatever the original holds.
            storeStaticsEntry(x, y, -1, 0);
            ++m_summary.staticsBlocksEmptied;
            continue;
        }
        // Equal index entries are taken to mean unchanged statics: no records are read.
        if (samePointer(o, m))
            continue;
        // The checks reading each block would make, original first, before any read.
        std::size_t origLength = 0;
        if (o.lookup != -1) {
            if (o.length % kStaticRecSize != 0)
                throw StaticsLengthError(m_orig.staIdx, x, y);
            m_origStatics->checkRange(o.lookup, o.length);
            origLength = o.length;
        }
        if (m.length % kStaticRecSize != 0)
            throw StaticsLengthError(m_mod.staIdx, x, y);
        m_modStatics->checkRange(m.lookup, m.length);
        // Filled in place: building a local and copying it costs more than the rest.
        PendingBlock& block = m_pending.emplace_back();
        block.y = y;
        block.origLength = origLength;
        block.modLength = m.length;
        block.orig.offset = o.lookup;
        block.orig.length = origLength;
        block.mod.offset = m.lookup;
        block.mod.length = m.length;
    }

    // Blocks go to the patch in block order; reads are grouped into bounded batches.
    std::size_t i = 0;
    while (i < m_pending.size()) {
        if (large(m_pending[i])) {
            compareLargeBlock(x, m_pending[i]);
            ++i;
            continue;
        }
        std::size_t j = i;
        std::size_t bytes = 0;
        while (j < m_pending.size() && !large(m_pending[j]) &&
               (j == i || bytes + m_pending[j].bytesToRead() <= m_settings.batchBytes)) {
            bytes += m_pending[j].bytesToRead();
            ++j;
        }
        compareBatch(x, i, j);
        i = j;
    }
}

void Generator::compareBatch(int x, std::size_t first, std::size_t last) {
    m_requests.clear();
    for (std::size_t i = first; i < last; ++i)
        if (m_pending[i].compareRecords())
            m_requests.push_back(&m_pending[i].orig);
    m_origLoader.load(*m_origStatics, m_requests);
    m_requests.clear();
    for (std::size_t i = first; i < last; ++i)
        if (m_pending[i].modLength > 0)
            m_requests.push_back(&m_pending[i].mod);
    m_modLoader.load(*m_modStatics, m_requests);

    for (std::size_t i = first; i < last; ++i) {
        const PendingBlock& b = m_pending[i];
        const bool equal =
            b.origLength == b.modLength &&
            (b.modLength == 0 || std::memcmp(b.orig.data, b.mod.data, b.modLength) == 0);
        if (equal)
            continue;
        const std::int32_t pos = m_writer.position();
        if (b.modLength > 0)
            m_writer.append(b.mod.data, b.modLength);
        storeStaticsEntry(x, b.y, pos, b.modLength);
        ++m_summary.staticsBlocksStored;
    }
}

void Generator::compareLargeBlock(int x, PendingBlock& block) {
    const std::size_t chunkBytes = m_settings.chunkBytes;
    unsigned char* origChunk = reuse(m_origBuffer, m_origCapacity, chunkBytes);
    unsigned char* modChunk = reuse(m_modBuffer, m_modCapacity, chunkBytes);
    bool equal = block.compareRecords();
    for (std::size_t done = 0; equal && done < block.modLength; done += chunkBytes) {
        const std::size_t n = std::min(chunkBytes, block.modLength - done);
        m_origStatics->readAt(block.orig.offset + std::int64_t(done), origChunk, n);
        m_modStatics->readAt(block.mod.offset + std::int64_t(done), modChunk, n);
        equal = std::memcmp(origChunk, modChunk, n) == 0;
    }
    if (equal)
        return;
    const std::int32_t pos = m_writer.position();
    for (std::size_t done = 0; done < block.modLength; done += chunkBytes) {
        const std::size_t n = std::min(chunkBytes, block.modLength - done);
        m_modStatics->readAt(block.mod.offset + std::int64_t(done), modChunk, n);
        m_writer.append(modChunk, n);
    }
    storeStaticsEntry(x, block.y, pos, block.modLength);
    ++m_summary.staticsBlocksStored;
}

void Generator::storeStaticsEntry(int x, int y, std::int32_t pos, std::size_t length) {
    unsigned char* entry = m_staticsEntries.data() + blockIndex(x, y) * kPatchStaticsEntrySize;
    writeI32(entry, pos);
    // A length past 2 GiB cannot be stored; the patch would outgrow its positions first
    // and position() refuses that at the next step.
    writeU32(entry + 4, static_cast<std::uint32_t>(length));
}

static_assert(kMapChecksumBlocks == DiffGrid{}.mapChecksumBlocks(),
              "the checksum covers every column but the last");

// MapChecksum of the modified map (the first 392,704 blocks, every column but the last,
// with its progress: 0, then blocks * 100 / 393,216 as it changes, then 100). The same pass
// compares those blocks with the original map and stores the ones that differ, in block
// order, so each map is read once, several columns a call.
std::uint32_t Generator::checksumAndStoreMaps(const MapFileReader& origMap,
                                              const MapFileReader& modMap,
                                              std::vector<unsigned char>& mapEntries) {
    percent(0);
    const int rows = m_grid.rows;
    const auto columnBytes = std::size_t(m_grid.mapColumnBytes());
    const int columnsPerRead = std::max(1, int(kMapReadBytes / columnBytes));
    unsigned char* orig = reuse(m_origBuffer, m_origCapacity, columnsPerRead * columnBytes);
    unsigned char* mod = reuse(m_modBuffer, m_modCapacity, columnsPerRead * columnBytes);
    const int checkedColumns = m_grid.mapChecksumBlocks() / rows;
    std::uint32_t result = 0;
    int lastPercent = 0;
    for (int x = 0; x < checkedColumns;) {
        const int columns = std::min(columnsPerRead, checkedColumns - x);
        const std::int64_t at = std::int64_t(x) * std::int64_t(columnBytes);
        const std::size_t bytes = std::size_t(columns) * columnBytes;
        modMap.readAt(at, mod, bytes);
        origMap.readAt(at, orig, bytes);
        for (int c = 0; c < columns; ++c, ++x) {
            const std::size_t column = std::size_t(c) * columnBytes;
            result ^= xorFoldWords(mod + column, std::size_t(rows) * 49);
            for (int y = 0; y < rows; ++y) {
                const std::size_t from = column + std::size_t(y) * 196;
                if (std::memcmp(orig + from, mod + from, 196) != 0)
                    storeMapBlock(blockIndex(x, y), mod + from, mapEntries);
            }
            const int percent = int(std::int64_t(x + 1) * rows * 100 / m_grid.blockCount());
            if (percent != lastPercent)
                this->percent(percent);
            else
                stopIfRequested(m_progress, kDiffStoppedMessage);
            lastPercent = percent;
        }
    }
    percent(100);
    return result;
}

void Generator::storeMapBlock(std::size_t block, const unsigned char* bytes,
                              std::vector<unsigned char>& mapEntries) {
    const std::int32_t pos = m_writer.position();
    m_writer.append(bytes, 196);
    writeI32(mapEntries.data() + block * kPatchMapEntrySize, pos);
    ++m_summary.mapBlocksStored;
}

void Generator::mapPhase() {
    TBHDInfo& header = m_summary.header;
    // Either map may be a .mul or a container (map0LegacyMUL.uop): both read as map bytes.
    const MapFileReader modMap(m_mod.map);
    const MapFileReader origMap(m_orig.map);
    // Every entry starts as -1, unchanged.
    std::vector<unsigned char> mapEntries(std::size_t(m_grid.blockCount()) * kPatchMapEntrySize,
                                          0xFF);
    // The checksum's bar runs under whatever stage is showing; the changed blocks of the
    // columns it covers are stored on the way. Nothing else is written in between, so
    // they land where the map stage would put them.
    header.mapCRC = checksumAndStoreMaps(origMap, modMap, mapEntries);

    stage(kStageMap);
    const int rows = m_grid.rows;
    const auto columnBytes = std::size_t(m_grid.mapColumnBytes());
    // The column the checksum leaves out (767 on the client grid) is compared here.
    const int last = m_grid.columns - 1;
    for (int x = 0; x < m_grid.columns; ++x) {
        if (x == last) {
            unsigned char* orig = reuse(m_origBuffer, m_origCapacity, columnBytes);
            unsigned char* mod = reuse(m_modBuffer, m_modCapacity, columnBytes);
            const std::int64_t at = std::int64_t(x) * std::int64_t(columnBytes);
            origMap.readAt(at, orig, columnBytes);
            modMap.readAt(at, mod, columnBytes);
            for (int y = 0; y < rows; ++y) {
                const std::size_t from = std::size_t(y) * 196;
                if (std::memcmp(orig + from, mod + from, 196) != 0)
                    storeMapBlock(blockIndex(x, y), mod + from, mapEntries);
            }
        }
        percent(x * 100 / m_grid.columns);
    }

    header.mapIndexPos = m_writer.position();
    stage(kStageMapIndex);
    const std::size_t indexColumnBytes = std::size_t(rows) * kPatchMapEntrySize;
    for (int x = 0; x < m_grid.columns; ++x) {
        m_writer.append(mapEntries.data() + std::size_t(x) * indexColumnBytes, indexColumnBytes);
        percent(x * 100 / m_grid.columns);
    }
}

} // namespace

void DiffRunSettings::check() const {
    grid.check();
    if (batchBytes < 1 || largeBlockBytes < 1 || chunkBytes < 1 || mergeGap < 0)
        throw std::invalid_argument("diff run settings need sizes of at least 1");
}

DiffSummary generateDiff(const DiffFileSet& original, const DiffFileSet& modified,
                         const fs::path& patchPath, bool withStatics, bool withMap,
                         Progress& progress) {
    return generateDiff(original, modified, patchPath, withStatics, withMap, progress,
                        DiffRunSettings{});
}

DiffSummary generateDiff(const DiffFileSet& original, const DiffFileSet& modified,
                         const fs::path& patchPath, bool withStatics, bool withMap,
                         Progress& progress, const DiffRunSettings& settings) {
    settings.check();
    if (!withStatics && !withMap)
        throw std::invalid_argument("A diff patch needs the statics part, the map part or both");
    for (const fs::path* input : {&original.staIdx, &original.statics, &original.map,
                                  &modified.staIdx, &modified.statics, &modified.map})
        if (sameFile(patchPath, *input))
            throw FileError("Cannot write the patch to \"" + patchPath.string() +
                            "\": it is one of the input files");

    progress.report(kStageWorking, 0, 100);
    DiffSummary summary;
    PatchWriter writer(patchPath);
    // Provisional header first: an unfinished patch has both positions -1.
    const auto provisional = encodeHeader(provisionalHeader());
    writer.append(provisional.data(), provisional.size());
    writer.flush();
    {
        // The working memory lives only for the comparison and is released on every exit.
        Generator generator(original, modified, writer, progress, summary, settings);
        if (withStatics)
            generator.staticsPhase();
        if (withMap)
            generator.mapPhase();
    }
    const auto header = encodeHeader(summary.header);
    writer.writeAt(0, header.data(), header.size());
    summary.patchSize = writer.end();
    writer.close();
    return summary;
}

} // namespace tb
