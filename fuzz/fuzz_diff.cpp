// Diff patches: headers and statics pointers from arbitrary bytes, static blocks read
// through arbitrary pointers, and whole diff runs (statics part, map part or both) over a
// small block grid with small read sizes, so every read path of the generator runs on
// files of a few hundred bytes. A run must fail exactly when its input is bad, and then
// leave the file that was at the patch's path untouched; a finished patch must hold exactly the
// modified records of every changed statics block and the modified bytes of every changed map
// block, in block order, with checksums and sizes of the inputs in its header.
//
// Input layout (bytes read from the front; zeros once the input is used up):
//   flags: bit 0 statics part, bit 1 map part, bits 2-5 cut the original index, modified
//          index, original map, modified map; bit 6 the modified statics start as a copy
//          of the original ones; bit 7 both maps get trailing bytes past the grid
//   grid: columns - 1 (mod 3), rows - 1 (mod 6)
//   settings: batch bytes - 1, large-block bytes - 1, chunk bytes - 1 (mod 32),
//             merge gap (mod 32), whole-map-column blocks (mod 8)
//   per block in block order: original pointer, modified pointer (see readPointer)
//   cut sizes: four bytes, one per file of bits 2-5
//   statics: length byte and bytes of the original file, then of the modified file
//   maps: pattern seed of the original map, edit count (mod 8), then per edit the
//         block, the offset in it and the new byte of the modified map
#include "FuzzSupport.h"

#include "diff/DiffFormat.h"
#include "diff/DiffGenerator.h"
#include "shell/Errors.h"
#include "shell/LittleEndian.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace {

// The input, taken from the front.
class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
    std::uint8_t byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    std::uint32_t u32() {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i)
            v |= std::uint32_t(byte()) << (8 * i);
        return v;
    }
    std::string bytes(std::size_t count) {
        const std::size_t n = std::min(count, m_size - m_pos);
        std::string s(reinterpret_cast<const char*>(m_data + m_pos), n);
        m_pos += n;
        return s;
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

// A pointer into a statics file of at most 255 bytes: mostly near it, whole records or
// not, sometimes anything at all. A modified pointer may repeat the original one
// (`same`); only Extra differs then.
tb::StaticPointer readPointer(Input& in, const tb::StaticPointer* same) {
    tb::StaticPointer p;
    const int kind = in.byte() % 5;
    if (same && kind == 0) {
        p = *same;
    } else if (kind <= 1) {
        p = {-1, 0, 0};
    } else if (kind <= 3) {
        p.lookup = std::int32_t(in.byte() % 64) - 2;
        const std::uint8_t b = in.byte();
        p.length = (b & 0x80) ? (b & 0x3F) : 7u * (b % 8);
    } else {
        p.lookup = std::int32_t(in.u32());
        p.length = in.u32();
    }
    p.extra = in.byte();
    return p;
}

// A folder of this process's own, removed at exit.
struct ScratchFolder {
    std::filesystem::path path;
    ScratchFolder() {
        std::error_code ec;
        const std::filesystem::path base = std::filesystem::is_directory("/dev/shm", ec)
                                               ? std::filesystem::path("/dev/shm")
                                               : std::filesystem::temp_directory_path();
        path = base / ("tbfuzz-diff-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path);
    }
    ~ScratchFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
};

std::string readAll(const std::filesystem::path& path) {
    std::string bytes;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    tbfuzz::check(fd >= 0, "the patch cannot be opened");
    char buffer[4096];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;)
        bytes.append(buffer, std::size_t(n));
    ::close(fd);
    return bytes;
}

std::uint32_t fold(std::string_view bytes, std::size_t length) {
    std::uint32_t result = 0;
    for (std::size_t i = 0; i + 4 <= length; i += 4)
        result ^= tb::readU32(reinterpret_cast<const unsigned char*>(bytes.data()) + i);
    return result;
}

// The records a pointer names lie inside the file.
bool inside(const tb::StaticPointer& p, std::string_view file) {
    return p.lookup >= 0 && std::uint64_t(p.lookup) + p.length <= file.size();
}

// The records the generator compares: none without statics.
std::string_view recordsOf(const tb::StaticPointer& p, std::string_view file) {
    return p.lookup == -1 ? std::string_view() : file.substr(std::size_t(p.lookup), p.length);
}

void cut(std::string& file, std::uint8_t amount) {
    file.resize(file.size() - std::min<std::size_t>(file.size(), 1 + amount % 64));
}

void checkHeaderAndPointerRoundTrips(const std::uint8_t* data, std::size_t size) {
    try {
        const tb::TBHDInfo h = tb::decodeHeader(std::span(data, size));
        const auto again = tb::encodeHeader(h);
        tbfuzz::check(tb::decodeHeader(again) == h, "header round trip");
        tbfuzz::check(std::memcmp(again.data(), data, 46) == 0, "header fields re-encoded");
    } catch (const std::invalid_argument&) {
    }
    if (size >= std::size_t(tb::kStaticPointerSize)) {
        const tb::StaticPointer p = tb::decodeStaticPointer(data);
        unsigned char back[tb::kStaticPointerSize];
        tb::encodeStaticPointer(back, p);
        tbfuzz::check(std::memcmp(back, data, sizeof back) == 0, "pointer round trip");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    checkHeaderAndPointerRoundTrips(data, size);

    Input in(data, size);
    const std::uint8_t flags = in.byte();
    const bool withStatics = flags & 1;
    const bool withMap = flags & 2;
    tb::DiffRunSettings settings;
    settings.grid.columns = 1 + in.byte() % 3;
    settings.grid.rows = 1 + in.byte() % 6;
    settings.batchBytes = 1 + std::size_t(in.byte());
    settings.largeBlockBytes = 1 + std::size_t(in.byte());
    settings.chunkBytes = 1 + std::size_t(in.byte() % 32);
    settings.mergeGap = in.byte() % 32;
    const tb::DiffGrid grid = settings.grid;
    const int blocks = grid.blockCount();

    std::vector<tb::StaticPointer> origPointers(std::size_t(blocks), tb::StaticPointer{});
    std::vector<tb::StaticPointer> modPointers(std::size_t(blocks), tb::StaticPointer{});
    std::string origIndex(std::size_t(grid.staIdxBytes()), '\0');
    std::string modIndex(origIndex.size(), '\0');
    for (int b = 0; b < blocks; ++b) {
        origPointers[b] = readPointer(in, nullptr);
        modPointers[b] = readPointer(in, &origPointers[b]);
        const std::size_t at = std::size_t(b) * tb::kStaticPointerSize;
        tb::encodeStaticPointer(reinterpret_cast<unsigned char*>(origIndex.data()) + at,
                                origPointers[b]);
        tb::encodeStaticPointer(reinterpret_cast<unsigned char*>(modIndex.data()) + at,
                                modPointers[b]);
    }
    std::uint8_t cuts[4];
    for (std::uint8_t& c : cuts)
        c = in.byte();
    const std::string origStatics = in.bytes(in.byte());
    std::string modStatics = (flags & 0x40) ? origStatics : std::string();
    modStatics += in.bytes(in.byte());

    const std::size_t mapBytes = std::size_t(blocks) * 196;
    std::string origMap(mapBytes, '\0');
    const std::uint8_t seed = in.byte();
    for (std::size_t i = 0; i < mapBytes; ++i)
        origMap[i] = char(seed + (i * 37 >> 3));
    std::string modMap = origMap;
    const int edits = in.byte() % 8;
    for (int e = 0; e < edits; ++e) {
        const std::size_t block = in.byte() % std::size_t(blocks);
        const std::size_t offset = in.byte() % 196;
        modMap[block * 196 + offset] = char(in.byte());
    }
    if (flags & 0x80) {
        origMap += "tail";
        modMap += "tail!";
    }
    if (flags & 0x04)
        cut(origIndex, cuts[0]);
    if (flags & 0x08)
        cut(modIndex, cuts[1]);
    if (flags & 0x10)
        cut(origMap, cuts[2]);
    if (flags & 0x20)
        cut(modMap, cuts[3]);

    static tbfuzz::MemFile origIdxFile, modIdxFile, origStaFile, modStaFile, origMapFile,
        modMapFile;
    // The patch replaces its file by a rename, so it needs a real folder (in memory where
    // there is one).
    static const ScratchFolder patchFolder;
    const std::filesystem::path patchPath = patchFolder.path / "patch.qmz";
    origIdxFile.assign(origIndex);
    modIdxFile.assign(modIndex);
    origStaFile.assign(origStatics);
    modStaFile.assign(modStatics);
    origMapFile.assign(origMap);
    modMapFile.assign(modMap);
    {
        std::ofstream previous(patchPath, std::ios::binary | std::ios::trunc);
        previous << "untouched";
    }

    // A statics block read through each modified pointer (only the first three with
    // statics: each read opens the file): its records, a length error or a file error,
    // never a read outside the file.
    int blockReads = 0;
    for (const tb::StaticPointer& p : modPointers) {
        if (p.lookup != -1 && ++blockReads > 3)
            continue;
        try {
            const tb::StaticBlock b = tb::getStaticBlock(modStaFile.path(), p);
            tbfuzz::check(p.lookup != -1 || b.records.empty(), "records without statics");
            tbfuzz::check(p.lookup == -1 ||
                              (p.length % tb::kStaticRecSize == 0 && inside(p, modStatics)),
                          "a bad pointer read");
            tbfuzz::check(std::string_view(reinterpret_cast<const char*>(b.records.data()),
                                           b.records.size()) == recordsOf(p, modStatics),
                          "block records differ from the file");
        } catch (const tb::StaticsLengthError&) {
            tbfuzz::check(p.length % tb::kStaticRecSize != 0, "length error on whole records");
        } catch (const tb::FileError&) {
            tbfuzz::check(!inside(p, modStatics), "file error on a pointer inside the file");
        }
    }

    // Whether the run must fail: a short file, or a changed block whose pointers name
    // records that are not whole or not inside their file.
    bool bad = false;
    if (withStatics) {
        bad = origIndex.size() < std::size_t(grid.staIdxBytes()) ||
              modIndex.size() < std::size_t(grid.staIdxBytes());
        for (int b = 0; b < blocks && !bad; ++b) {
            const tb::StaticPointer& o = origPointers[b];
            const tb::StaticPointer& m = modPointers[b];
            if (m.lookup == -1 || tb::samePointer(o, m))
                continue;
            bad = (o.lookup != -1 &&
                   (o.length % tb::kStaticRecSize != 0 || !inside(o, origStatics))) ||
                  m.length % tb::kStaticRecSize != 0 || !inside(m, modStatics);
        }
    }
    if (withMap)
        bad = bad || origMap.size() < mapBytes || modMap.size() < mapBytes;

    tb::Progress& progress = tb::noProgress();
    const tb::DiffFileSet original{origIdxFile.path(), origStaFile.path(), origMapFile.path()};
    const tb::DiffFileSet modified{modIdxFile.path(), modStaFile.path(), modMapFile.path()};
    tb::DiffSummary summary;
    bool finished = false;
    try {
        summary = tb::generateDiff(original, modified, patchPath, withStatics, withMap, progress,
                                   settings);
        finished = true;
    } catch (const tb::StaticsLengthError&) {
    } catch (const tb::FileError&) {
    } catch (const std::invalid_argument&) {
        tbfuzz::check(!withStatics && !withMap, "invalid argument with a part chosen");
        tbfuzz::check(readAll(patchPath) == "untouched", "refused run touched the patch");
        return 0;
    }
    const std::string bytes = readAll(patchPath);
    tbfuzz::check(std::distance(std::filesystem::directory_iterator(patchFolder.path),
                                std::filesystem::directory_iterator()) == 1,
                  "an unfinished patch was left beside the patch");
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    if (!finished) {
        tbfuzz::check(bad, "a run over good input failed");
        tbfuzz::check(bytes == "untouched", "a failed run changed the file at the patch's path");
        return 0;
    }
    tbfuzz::check(!bad, "a run over bad input finished");
    tbfuzz::check(summary.patchSize == std::int64_t(bytes.size()), "patch size");
    const tb::TBHDInfo header = tb::decodeHeader(std::span(p, bytes.size()));
    tbfuzz::check(header == summary.header, "summary header");
    tbfuzz::check(header.version == tb::kDiffVersion, "version");

    // Statics part: the changed blocks' records in block order, then the index.
    std::size_t cursor = tb::kDiffHeaderSize;
    int stored = 0;
    int emptied = 0;
    if (withStatics) {
        tbfuzz::check(header.origStaIdxCRC == fold(origIndex, origIndex.size()) &&
                          header.modStaIdxCRC == fold(modIndex, modIndex.size()),
                      "index checksums");
        tbfuzz::check(header.origStaticsSize == std::int32_t(origStatics.size()) &&
                          header.modStaticsSize == std::int32_t(modStatics.size()),
                      "statics sizes");
        std::size_t dataEnd = tb::kDiffHeaderSize;
        for (int b = 0; b < blocks; ++b) {
            const tb::StaticPointer& m = modPointers[b];
            if (m.lookup != -1 && !tb::samePointer(origPointers[b], m) &&
                recordsOf(origPointers[b], origStatics) != recordsOf(m, modStatics))
                dataEnd += m.length;
        }
        tbfuzz::check(header.staticsIndexPos == std::int32_t(dataEnd), "statics index position");
        tbfuzz::check(dataEnd + std::size_t(blocks) * tb::kPatchStaticsEntrySize <= bytes.size(),
                      "statics index inside the patch");
        for (int b = 0; b < blocks; ++b) {
            const tb::StaticPointer& o = origPointers[b];
            const tb::StaticPointer& m = modPointers[b];
            const unsigned char* entry = p + dataEnd + std::size_t(b) * tb::kPatchStaticsEntrySize;
            const std::int32_t pos = tb::readI32(entry);
            const std::uint32_t length = tb::readU32(entry + 4);
            if (m.lookup == -1) {
                tbfuzz::check(pos == -1 && length == 0, "emptied block entry");
                ++emptied;
                continue;
            }
            // Equal index entries count as unchanged without a look at the records; an
            // original without statics counts as no records.
            if (tb::samePointer(o, m) || recordsOf(o, origStatics) == recordsOf(m, modStatics)) {
                tbfuzz::check(pos == -1 && length == 0xFFFFFFFFu, "unchanged block stored");
                continue;
            }
            tbfuzz::check(pos == std::int32_t(cursor) && length == m.length,
                          "stored block out of block order");
            tbfuzz::check(bytes.compare(cursor, length, recordsOf(m, modStatics)) == 0,
                          "stored records differ from the modified statics");
            cursor += length;
            ++stored;
        }
        cursor = dataEnd + std::size_t(blocks) * tb::kPatchStaticsEntrySize;
    } else {
        tbfuzz::check(header.staticsIndexPos == -1 && header.origStaIdxCRC == 0 &&
                          header.modStaIdxCRC == 0 && header.origStaticsSize == 0 &&
                          header.modStaticsSize == 0,
                      "statics fields without the statics part");
    }
    tbfuzz::check(summary.staticsBlocksStored == stored && summary.staticsBlocksEmptied == emptied,
                  "statics counts");

    // Map part: the changed blocks in block order, then the index.
    int mapStored = 0;
    if (withMap) {
        tbfuzz::check(header.mapCRC == fold(modMap, std::size_t(grid.mapChecksumBlocks()) * 196),
                      "map checksum");
        std::size_t dataEnd = cursor;
        for (int b = 0; b < blocks; ++b)
            if (origMap.compare(std::size_t(b) * 196, 196, modMap, std::size_t(b) * 196, 196) != 0)
                dataEnd += 196;
        tbfuzz::check(header.mapIndexPos == std::int32_t(dataEnd), "map index position");
        tbfuzz::check(dataEnd + std::size_t(blocks) * tb::kPatchMapEntrySize == bytes.size(),
                      "patch ends with the map index");
        for (int b = 0; b < blocks; ++b) {
            const std::int32_t pos = tb::readI32(p + dataEnd + std::size_t(b) * 4);
            const std::size_t at = std::size_t(b) * 196;
            if (origMap.compare(at, 196, modMap, at, 196) == 0) {
                tbfuzz::check(pos == -1, "unchanged map block stored");
                continue;
            }
            tbfuzz::check(pos == std::int32_t(cursor), "map block out of block order");
            tbfuzz::check(bytes.compare(cursor, 196, modMap, at, 196) == 0,
                          "stored map block differs from the modified map");
            cursor += 196;
            ++mapStored;
        }
    } else {
        tbfuzz::check(header.mapIndexPos == -1 && header.mapCRC == 0, "map fields without the map");
        tbfuzz::check(cursor == bytes.size(), "patch ends with the statics index");
    }
    tbfuzz::check(summary.mapBlocksStored == mapStored, "map count");
    return 0;
}
