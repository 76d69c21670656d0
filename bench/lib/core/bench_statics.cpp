// The statics of a 7168 x 4096 facet with 2,000,000 records: loading them against reading
// both files, and saving one edited cell (the changed block appended and made durable, then
// the index replaced) against a durable write (write + fsync) of as many bytes. Importing
// many items (their text read, every item checked and added) into one block against as
// many spread over the map. Prints the bytes a save writes and the ratios at the end.
#include "core/StaticItems.h"
#include "core/StaticsCsv.h"
#include "core/StaticsFiles.h"
#include "core/StaticsSave.h"

#include "shell/AtomicFileWriter.h"
#include "shell/FileBytes.h"
#include "shell/NativeFile.h"

#include "BenchRuns.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr int kWidthBlocks = 7168 / 8;
constexpr int kHeightBlocks = 4096 / 8;
constexpr std::size_t kRecords = 2'000'000;

void putU32(unsigned char* at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<unsigned char>(v >> (8 * i));
}

// The pair in a private temporary folder for the whole run: records spread over the blocks
// at random (a third of the blocks empty), each block's records together.
struct StaticsFolder {
    fs::path dir;
    tb::StaticsFilePaths files;
    tb::MapVariant variant{};

    StaticsFolder() {
        char pattern[] = "/tmp/tbbench-XXXXXX";
        if (::mkdtemp(pattern) == nullptr)
            throw std::runtime_error("no temporary folder");
        dir = pattern;
        files = {dir / "staidx0.mul", dir / "statics0.mul"};
        for (const tb::MapVariant& v : tb::mapVariants())
            if (v.size() == tb::MapSize{7168, 4096})
                variant = v;
        write();
    }
    ~StaticsFolder() {
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }
    StaticsFolder(const StaticsFolder&) = delete;
    StaticsFolder& operator=(const StaticsFolder&) = delete;

    void write() const {
        const std::size_t blocks = std::size_t(kWidthBlocks) * kHeightBlocks;
        std::vector<std::uint32_t> counts(blocks, 0);
        std::mt19937 random(3);
        for (std::size_t r = 0; r < kRecords; ++r) {
            std::size_t b = random() % blocks;
            while (b % 3 == 0) // every third block stays empty
                b = random() % blocks;
            ++counts[b];
        }
        std::vector<unsigned char> index(blocks * 12, 0xFF);
        std::vector<unsigned char> data;
        data.reserve(kRecords * 7);
        for (std::size_t b = 0; b < blocks; ++b) {
            if (counts[b] == 0)
                continue;
            putU32(index.data() + b * 12, std::uint32_t(data.size()));
            putU32(index.data() + b * 12 + 4, counts[b] * 7);
            for (std::uint32_t n = 0; n < counts[b]; ++n) {
                const auto id = std::uint16_t(random() % 0x4000);
                const unsigned char record[7] = {static_cast<unsigned char>(id),
                                                 static_cast<unsigned char>(id >> 8),
                                                 static_cast<unsigned char>(random() % 8),
                                                 static_cast<unsigned char>(random() % 8),
                                                 static_cast<unsigned char>(random()),
                                                 0,
                                                 0};
                data.insert(data.end(), record, record + 7);
            }
        }
        tb::writeFileAtomically(files.index, index.data(), index.size());
        tb::writeFileAtomically(files.data, data.data(), data.size());
    }
};

StaticsFolder& folder() {
    static StaticsFolder f;
    return f;
}

// Both files read whole into memory, as loading reads them.
void BM_ReadBothFiles(benchmark::State& state) {
    const StaticsFolder& f = folder();
    for (auto _ : state) {
        std::vector<unsigned char> index = tb::readFileBytes(f.files.index);
        std::vector<unsigned char> data = tb::readFileBytes(f.files.data);
        benchmark::DoNotOptimize(index.data());
        benchmark::DoNotOptimize(data.data());
    }
}

void BM_LoadStatics(benchmark::State& state) {
    const StaticsFolder& f = folder();
    for (auto _ : state) {
        tb::StaticsLoad load = tb::loadStatics(f.files, f.variant);
        benchmark::DoNotOptimize(load.statics.widthBlocks());
    }
}

constexpr int kRepetitions = 5;
BENCHMARK(BM_ReadBothFiles)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions);
BENCHMARK(BM_LoadStatics)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions);

tb::StaticsSaveReport g_saveReport;

// Each iteration: one item added on a cell in the middle of the facet, then the save.
void BM_SaveAfterOneCellEdit(benchmark::State& state) {
    const StaticsFolder& f = folder();
    tb::StaticsMap statics = tb::loadStatics(f.files, f.variant).statics;
    const std::size_t block = statics.blockNumber(kWidthBlocks / 2, kHeightBlocks / 2 + 1);
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<tb::StaticRecord> records = statics.records(block);
        records.push_back({0x0FAE, 3, 4, 10, 0});
        statics.setRecords(block, records);
        state.ResumeTiming();
        g_saveReport = tb::saveStatics(statics, f.files);
    }
    state.counters["bytes"] =
        double(g_saveReport.dataBytesWritten + g_saveReport.indexBytesWritten);
}
BENCHMARK(BM_SaveAfterOneCellEdit)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions);

// The same number of bytes written to one file and flushed to the disk.
void BM_DurableWriteOfTheSameBytes(benchmark::State& state) {
    const StaticsFolder& f = folder();
    const std::size_t bytes = g_saveReport.dataBytesWritten + g_saveReport.indexBytesWritten;
    const std::vector<unsigned char> buffer(bytes == 0 ? kWidthBlocks * kHeightBlocks * 12 : bytes,
                                            0x5A);
    const fs::path path = f.dir / "durable.bin";
    tb::writeFileAtomically(path, buffer.data(), buffer.size());
    for (auto _ : state) {
        tb::NativeFile file;
        if (file.open(path, tb::NativeFile::Mode::ReadWrite) ||
            file.writeAt(0, buffer.data(), buffer.size()) || file.flushToDisk() || file.close())
            state.SkipWithError("the durable write failed");
    }
}
BENCHMARK(BM_DurableWriteOfTheSameBytes)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions);

// The same bytes into a new file each time, as a save must put them where no reader looks
// yet: the file system allocates their blocks anew.
void BM_DurableWriteOfANewFile(benchmark::State& state) {
    const StaticsFolder& f = folder();
    const std::size_t bytes = g_saveReport.dataBytesWritten + g_saveReport.indexBytesWritten;
    const std::vector<unsigned char> buffer(bytes == 0 ? kWidthBlocks * kHeightBlocks * 12 : bytes,
                                            0x5A);
    const fs::path path = f.dir / "fresh.bin";
    for (auto _ : state) {
        state.PauseTiming();
        std::error_code ignored;
        fs::remove(path, ignored);
        state.ResumeTiming();
        tb::NativeFile file;
        if (file.open(path, tb::NativeFile::Mode::CreateNew) ||
            file.writeAt(0, buffer.data(), buffer.size()) || file.flushToDisk() || file.close())
            state.SkipWithError("the durable write failed");
    }
}
BENCHMARK(BM_DurableWriteOfANewFile)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions);

// The text of `count` items: all on cells of block (100, 100), or one a block, spread over
// the facet.
std::string importText(std::size_t count, bool oneBlock) {
    std::vector<tb::PlacedItem> items;
    std::mt19937 random(5);
    for (std::size_t i = 0; i < count; ++i) {
        const auto x = std::int32_t(oneBlock ? 800 + random() % 8 : random() % 7168);
        const auto y = std::int32_t(oneBlock ? 800 + random() % 8 : random() % 4096);
        items.push_back({x, y, std::uint16_t(random() % 0x4000), std::int8_t(random() % 100), 0});
    }
    return tb::staticsCsvText(items);
}

// What tbmap statics import does before it saves, on a facet without statics.
void importItems(benchmark::State& state, bool oneBlock) {
    const std::string text = importText(std::size_t(state.range(0)), oneBlock);
    for (auto _ : state) {
        state.PauseTiming();
        tb::StaticsMap statics = tb::StaticsMap::empty(kWidthBlocks, kHeightBlocks);
        state.ResumeTiming();
        const std::vector<tb::PlacedItem> items = tb::parseStaticsCsv(text, "items.csv");
        for (const tb::PlacedItem& item : items)
            if (!statics.isEditable(statics.blockNumber(item.x / 8, item.y / 8)))
                state.SkipWithError("a block is not editable");
        tb::addItems(statics, items);
        benchmark::DoNotOptimize(statics.changedBlocks().size());
    }
}

void BM_ImportIntoOneBlock(benchmark::State& state) {
    importItems(state, true);
}
void BM_ImportSpreadOverTheMap(benchmark::State& state) {
    importItems(state, false);
}
constexpr std::int64_t kImported = 100'000;
BENCHMARK(BM_ImportIntoOneBlock)
    ->Arg(kImported)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(kRepetitions);
BENCHMARK(BM_ImportSpreadOverTheMap)
    ->Arg(kImported)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(kRepetitions);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    tbbench::RunCollector reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto ratio = [&](const char* a, const char* b) { return reporter.fastestWallRatio(a, b); };
    std::printf("\nStatics of a 7168 x 4096 facet, %zu records:\n", kRecords);
    std::printf("  load / read both files:                 %6.2fx  (target <= 2)\n",
                ratio("BM_LoadStatics", "BM_ReadBothFiles"));
    std::printf("  save after a one-cell edit writes %llu bytes (%llu of records, %llu of "
                "index)\n",
                static_cast<unsigned long long>(g_saveReport.dataBytesWritten +
                                                g_saveReport.indexBytesWritten),
                static_cast<unsigned long long>(g_saveReport.dataBytesWritten),
                static_cast<unsigned long long>(g_saveReport.indexBytesWritten));
    std::printf(
        "  that save / durable write of as many bytes over a file:  %6.2fx  (target <= 2)\n",
        ratio("BM_SaveAfterOneCellEdit", "BM_DurableWriteOfTheSameBytes"));
    std::printf(
        "  that save / durable write of as many bytes to a new file: %6.2fx  (target <= 2)\n",
        ratio("BM_SaveAfterOneCellEdit", "BM_DurableWriteOfANewFile"));
    const std::string n = "/" + std::to_string(kImported);
    std::printf(
        "  import of %lld items into one block / spread over the map: %6.2fx  (target "
        "<= 2)\n",
        static_cast<long long>(kImported),
        ratio(("BM_ImportIntoOneBlock" + n).c_str(), ("BM_ImportSpreadOverTheMap" + n).c_str()));
    benchmark::Shutdown();
    return 0;
}
