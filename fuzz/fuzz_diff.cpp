// Diff patches: headers and statics pointers from arbitrary bytes, static blocks read
// through arbitrary pointers, and a statics diff generated from arbitrary small statics
// files and index entries. A finished patch must hold exactly the modified records of every
// changed block; a run that fails must leave the provisional header.
#include "FuzzSupport.h"

#include "diff/DiffFormat.h"
#include "diff/DiffGenerator.h"
#include "shell/Errors.h"
#include "shell/LittleEndian.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct Change {
    tb::StaticPointer orig;
    tb::StaticPointer mod;
};

tb::StaticPointer pointer(FuzzedDataProvider& in) {
    tb::StaticPointer p;
    switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0:
        return p; // -1: no statics
    case 1:
        p.lookup = in.ConsumeIntegralInRange<std::int32_t>(-3, 160);
        p.length = 7 * in.ConsumeIntegralInRange<std::uint32_t>(0, 12);
        break;
    default:
        p.lookup = in.ConsumeIntegral<std::int32_t>();
        p.length = in.ConsumeIntegral<std::uint32_t>();
    }
    p.extra = in.ConsumeIntegral<std::uint32_t>();
    return p;
}

std::string readAll(const std::filesystem::path& path) {
    std::ifstream f(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

void put(tbfuzz::MemFile& file, int block, const tb::StaticPointer& p) {
    unsigned char entry[tb::kStaticPointerSize];
    tb::encodeStaticPointer(entry, p);
    file.writeAt(std::size_t(block) * tb::kStaticPointerSize,
                 std::string_view(reinterpret_cast<const char*>(entry), sizeof entry));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Header and pointer decoding on the raw input.
    try {
        const tb::TBHDInfo h = tb::decodeHeader(std::span(data, size));
        const auto again = tb::encodeHeader(h);
        tbfuzz::check(tb::decodeHeader(again) == h, "header round trip");
    } catch (const std::invalid_argument&) {
    }
    if (size >= std::size_t(tb::kStaticPointerSize)) {
        const tb::StaticPointer p = tb::decodeStaticPointer(data);
        unsigned char back[tb::kStaticPointerSize];
        tb::encodeStaticPointer(back, p);
        tbfuzz::check(std::memcmp(back, data, sizeof back) == 0, "pointer round trip");
    }

    FuzzedDataProvider in(data, size);
    std::map<int, Change> changes; // block -> entries (a later one for a block wins)
    const int count = in.ConsumeIntegralInRange(0, 6);
    for (int i = 0; i < count; ++i) {
        const int block = in.ConsumeIntegralInRange(0, tb::kDiffBlockCount - 1);
        const tb::StaticPointer orig = pointer(in);
        changes[block] = {orig, in.ConsumeBool() ? orig : pointer(in)};
    }
    const std::string origStatics = in.ConsumeRandomLengthString(200);
    const std::string modStatics = in.ConsumeRemainingBytesAsString();

    static tbfuzz::MemFile origIdx, modIdx, origSta, modSta, patch, noMap;
    origIdx.resize(0);
    modIdx.resize(0);
    origIdx.resize(std::size_t(tb::kStaIdxBytes));
    modIdx.resize(std::size_t(tb::kStaIdxBytes));
    for (const auto& [block, c] : changes) {
        put(origIdx, block, c.orig);
        put(modIdx, block, c.mod);
    }
    origSta.assign(origStatics);
    modSta.assign(modStatics);
    patch.assign("");

    // A statics block read through each pointer: its records, a length error or a file error.
    for (const auto& [block, c] : changes) {
        try {
            const tb::StaticBlock b = tb::getStaticBlock(modSta.path(), c.mod);
            tbfuzz::check(c.mod.lookup != -1 || b.records.empty(), "records without statics");
            if (c.mod.lookup != -1) {
                tbfuzz::check(b.records.size() == c.mod.length, "block length");
                tbfuzz::check(c.mod.length == 0 ||
                                  modStatics.compare(std::size_t(c.mod.lookup), c.mod.length,
                                                     reinterpret_cast<const char*>(b.records.data()),
                                                     b.records.size()) == 0,
                              "block records differ from the file");
            }
        } catch (const tb::StaticsLengthError&) {
            tbfuzz::check(c.mod.length % tb::kStaticRecSize != 0, "length error on whole records");
        } catch (const tb::FileError&) {
        }
    }

    tb::NoDiffProgress progress;
    const tb::DiffFileSet original{origIdx.path(), origSta.path(), noMap.path()};
    const tb::DiffFileSet modified{modIdx.path(), modSta.path(), noMap.path()};
    bool finished = false;
    try {
        tb::generateDiff(original, modified, patch.path(), true, false, progress);
        finished = true;
    } catch (const tb::StaticsLengthError&) {
    } catch (const tb::FileError&) {
    }
    const std::string bytes = readAll(patch.path());
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const tb::TBHDInfo header = tb::decodeHeader(std::span(p, bytes.size()));
    if (!finished) {
        tbfuzz::check(header.staticsIndexPos == -1 && header.mapIndexPos == -1,
                      "failed run without the provisional header");
        return 0;
    }
    tbfuzz::check(header.mapIndexPos == -1, "map part without the map");
    const std::size_t indexPos = std::size_t(header.staticsIndexPos);
    tbfuzz::check(indexPos + std::size_t(tb::kDiffBlockCount) * tb::kPatchStaticsEntrySize ==
                      bytes.size(),
                  "statics index position");
    for (const auto& [block, c] : changes) {
        const unsigned char* entry = p + indexPos + std::size_t(block) * tb::kPatchStaticsEntrySize;
        const std::int32_t pos = tb::readI32(entry);
        const std::uint32_t length = tb::readU32(entry + 4);
        if (c.mod.lookup == -1) {
            tbfuzz::check(pos == -1 && length == 0, "emptied block entry");
            continue;
        }
        // Equal index entries count as unchanged without a look at the records. An
        // original without statics counts as no records; records of no length compare
        // equal wherever they point.
        const std::uint32_t origLength = c.orig.lookup == -1 ? 0 : c.orig.length;
        const bool sameRecords =
            tb::samePointer(c.orig, c.mod) ||
            (origLength == c.mod.length &&
             (c.mod.length == 0 ||
              origStatics.compare(std::size_t(c.orig.lookup), origLength, modStatics,
                                  std::size_t(c.mod.lookup), c.mod.length) == 0));
        if (sameRecords) {
            tbfuzz::check(pos == -1 && length == 0xFFFFFFFFu, "unchanged block stored");
            continue;
        }
        tbfuzz::check(length == c.mod.length, "stored block length");
        tbfuzz::check(pos >= tb::kDiffHeaderSize && std::size_t(pos) + length <= indexPos,
                      "stored block position");
        tbfuzz::check(bytes.compare(std::size_t(pos), length, modStatics,
                                    std::size_t(c.mod.lookup), length) == 0,
                      "stored records differ from the modified statics");
    }
    return 0;
}
