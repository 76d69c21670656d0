// The shared world against a local PostgreSQL server (TB_SHARE_URI, or one this program
// starts with scripts/share-server.sh in a temporary folder and stops at the end).
//
// Prints, besides the usual table, the figures the shared maps depend on:
//   open ratio     loading a 7168 x 4096 facet with 2 million statics records, against a
//                  binary COPY of the same rows through libpq (target <= 2)
//   import ratio   importing it, against a binary COPY FROM of the same bytes into a plain
//                  table (target <= 3)
//   stroke commit  one-cell strokes on the local socket: median (target <= 5 ms), with and
//                  without the journal write before it
//   feed latency   three editors committing 20 strokes a second each; how long until a
//                  fourth shows each change (targets: median <= 50 ms, worst <= 200 ms)
#include "core/MapImage.h"
#include "core/StaticsMap.h"
#include "share/BlockStore.h"
#include "share/CopyIn.h"
#include "share/CopyOut.h"
#include "share/FacetImport.h"
#include "share/FacetSnapshot.h"
#include "share/ShareSchema.h"
#include "share/ShareSession.h"
#include "share/ShareSql.h"
#include "shell/LittleEndian.h"

#include "BenchRuns.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <random>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kFacet = 0;
constexpr int kWidthBlocks = 896;
constexpr int kHeightBlocks = 512;

struct World {
    fs::path serverDir; // empty for a server named by TB_SHARE_URI
    std::string uri;
    tb::MapImage map;
    tb::StaticsMap statics;
    std::int64_t records = 0;
};
World* g_world = nullptr;

std::string readLine(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n'))
        line.pop_back();
    return line;
}

void script(const std::string& action, const fs::path& dir) {
    const std::string command =
        "bash '" TB_SHARE_SCRIPT "' " + action + " '" + dir.string() + "' >/dev/null";
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "share-server.sh %s failed\n", action.c_str());
        std::exit(1);
    }
}

// A 7168 x 4096 map of random cells, and 4 or 5 statics records on every block: 2,001,827.
void makeWorld(World& w) {
    std::mt19937 rng(1);
    std::vector<unsigned char> map(89'915'392);
    for (std::size_t i = 0; i < map.size(); i += 4) {
        const std::uint32_t bits = rng();
        std::memcpy(map.data() + i, &bits, std::min<std::size_t>(4, map.size() - i));
    }
    w.map = tb::MapImage(std::move(map), tb::identifyMapVariant("map0.mul", 89'915'392));
    const std::size_t blocks = std::size_t(kWidthBlocks) * kHeightBlocks;
    std::vector<unsigned char> index(blocks * 12), data;
    for (std::size_t b = 0; b < blocks; ++b) {
        const std::size_t n = 4 + (b % 11 < 4 ? 1 : 0);
        tb::writeI32(index.data() + b * 12, std::int32_t(data.size()));
        tb::writeU32(index.data() + b * 12 + 4, std::uint32_t(n * 7));
        tb::writeU32(index.data() + b * 12 + 8, 0);
        for (std::size_t r = 0; r < n; ++r) {
            const unsigned char rec[7] = {static_cast<unsigned char>(rng()),
                                          0x0C,
                                          static_cast<unsigned char>(rng() % 8),
                                          static_cast<unsigned char>(rng() % 8),
                                          0,
                                          0,
                                          0};
            data.insert(data.end(), rec, rec + 7);
        }
        w.records += std::int64_t(n);
    }
    w.statics = tb::StaticsMap(std::move(index), std::move(data), kWidthBlocks, kHeightBlocks);
}

tb::ShareConnection connect() {
    return tb::ShareConnection::open(g_world->uri);
}

// The floor of opening: the same rows through the same binary COPY, read and dropped.
void BM_CopyRowsOut(benchmark::State& state) {
    tb::ShareConnection c = connect();
    std::vector<std::span<const unsigned char>> row;
    for (auto _ : state) {
        std::size_t bytes = 0;
        for (const auto& [sql, fields] : {std::pair{tb::sql::copyLandOut(kFacet), 3},
                                          std::pair{tb::sql::copyStaticsOut(kFacet), 5}}) {
            tb::CopyOut copy(c, sql);
            while (copy.next(std::size_t(fields), row))
                bytes += row.back().size();
        }
        benchmark::DoNotOptimize(bytes);
    }
}

void BM_OpenFacet(benchmark::State& state) {
    tb::ShareConnection c = connect();
    for (auto _ : state) {
        tb::FacetSnapshot s = tb::loadFacet(c, kFacet);
        benchmark::DoNotOptimize(s.copy.map().bytes().data());
    }
}

// The floor of importing: the map's blocks and the statics' records as rows of a plain
// table (block number, bytes), by binary COPY FROM.
void BM_CopyBytesIn(benchmark::State& state) {
    tb::ShareConnection c = connect();
    c.execute(
        "DROP TABLE IF EXISTS bench_rows; CREATE TABLE bench_rows (block integer, bytes bytea)");
    const World& w = *g_world;
    const std::size_t blocks = std::size_t(kWidthBlocks) * kHeightBlocks;
    for (auto _ : state) {
        state.PauseTiming();
        c.execute("TRUNCATE bench_rows");
        state.ResumeTiming();
        tb::CopyIn copy(c, "COPY bench_rows FROM STDIN (FORMAT binary)");
        for (std::size_t b = 0; b < blocks; ++b) {
            copy.row(2);
            copy.int4(std::int32_t(b));
            copy.bytes({w.map.bytes().data() + b * 196, 196});
        }
        for (std::size_t b = 0; b < blocks; ++b) {
            copy.row(2);
            copy.int4(std::int32_t(b));
            copy.bytes(w.statics.recordBytes(b));
        }
        copy.finish();
    }
    c.execute("DROP TABLE bench_rows");
}

void BM_ImportFacet(benchmark::State& state) {
    tb::ShareConnection c = connect();
    for (auto _ : state) {
        state.PauseTiming();
        // A fresh facet each time, as a first import finds it.
        c.execute("DELETE FROM tb.land_block WHERE facet = 1; DELETE FROM tb.statics_block "
                  "WHERE facet = 1; DELETE FROM tb.facet WHERE facet = 1");
        c.execute("VACUUM tb.land_block");
        c.execute("VACUUM tb.statics_block");
        state.ResumeTiming();
        tb::storeFacet(c, 1, g_world->map, g_world->statics, "map0.mul", false);
    }
}

BENCHMARK(BM_CopyRowsOut)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);
BENCHMARK(BM_OpenFacet)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);
BENCHMARK(BM_CopyBytesIn)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);
BENCHMARK(BM_ImportFacet)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);

double percentile(std::vector<double> values, double p) {
    if (values.empty())
        return -1;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, std::size_t(p * double(values.size())))];
}

tb::OpenedShare openSession(const fs::path& journals) {
    tb::ShareOptions options;
    options.uri = g_world->uri;
    options.facet = kFacet;
    options.journalBase = journals;
    return tb::ShareSession::open(options);
}

tb::Stroke oneCell(const tb::FacetCopy& copy, std::int32_t x, std::int32_t y, std::uint16_t tile) {
    return {tb::newStrokeId(),
            tb::StrokeMode::BuilderWins,
            {{x, y, copy.map().cell(x, y), {tile, 0}}},
            {}};
}

// Milliseconds per one-cell stroke: through the session (journal, then commit), the commit
// alone, and the journal's file alone (written, then removed).
void strokeLatency(const fs::path& journals, std::vector<double>& withJournal,
                   std::vector<double>& commitOnly, std::vector<double>& journalOnly) {
    tb::OpenedShare s = openSession(journals);
    std::mt19937 rng(2);
    for (int i = 0; i < 300; ++i) {
        const tb::Stroke stroke =
            oneCell(s.copy, 1000 + int(rng() % 512), 1000 + int(rng() % 512), std::uint16_t(i));
        tb::applyStroke(stroke, s.copy);
        const auto t0 = Clock::now();
        s.session.submit(stroke, s.copy);
        withJournal.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
    tb::BlockStore store(s.session.connection(), kFacet);
    for (int i = 0; i < 300; ++i) {
        const std::uint32_t block = 2000 + std::uint32_t(rng() % 1000);
        tb::BlockSet set = store.fetch(std::vector<std::uint32_t>{block}, {});
        set.land[0].bytes[10] = static_cast<unsigned char>(i);
        const auto t0 = Clock::now();
        store.commit(tb::newStrokeId(), set);
        commitOnly.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
    tb::StrokeJournal journal(journals / "alone", kFacet);
    for (int i = 0; i < 300; ++i) {
        const tb::Stroke stroke = oneCell(s.copy, 10, 10, std::uint16_t(i));
        const auto t0 = Clock::now();
        journal.add(stroke);
        journal.remove(stroke.id);
        journalOnly.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
}

// Strokes a second the server commits for `writers` editors committing one-cell strokes as
// fast as they can, each on blocks of its own, for two seconds.
double commitThroughput(const fs::path& journals, int writers) {
    std::vector<tb::OpenedShare> sessions;
    for (int w = 0; w < writers; ++w)
        sessions.push_back(openSession(journals / ("writer" + std::to_string(w))));
    std::atomic<long> committed{0};
    const auto end = Clock::now() + std::chrono::seconds(2);
    std::vector<std::thread> threads;
    for (int w = 0; w < writers; ++w)
        threads.emplace_back([&, w] {
            tb::OpenedShare& s = sessions[std::size_t(w)];
            for (int i = 0; Clock::now() < end; ++i) {
                const tb::Stroke stroke =
                    oneCell(s.copy, 4000 + w * 64 + i % 64, 3000 + (i / 64) % 64, std::uint16_t(i));
                tb::applyStroke(stroke, s.copy);
                if (s.session.submit(stroke, s.copy).outcome == tb::StrokeOutcome::Committed)
                    ++committed;
            }
        });
    for (auto& t : threads)
        t.join();
    return double(committed) / 2.0;
}

// Milliseconds from a writer's submit to the viewer showing the change, for every change.
std::vector<double> feedLatency(const fs::path& journals) {
    constexpr int kWriters = 3;
    constexpr int kPerWriter = 200; // ten seconds at 20 a second
    std::mutex lock;
    std::map<std::pair<std::uint32_t, std::int64_t>, Clock::time_point> submitted, shown;
    tb::OpenedShare viewer = openSession(journals / "viewer");
    std::vector<tb::OpenedShare> writers;
    for (int w = 0; w < kWriters; ++w)
        writers.push_back(openSession(journals / ("writer" + std::to_string(w))));
    std::atomic<bool> writing{true};
    std::thread view([&] {
        while (writing) {
            const tb::FeedNews news = viewer.feed.wait(std::chrono::milliseconds(50));
            if (news.changes.empty())
                continue;
            viewer.session.applyChanges(news, viewer.copy);
            const auto now = Clock::now();
            std::lock_guard guard(lock);
            for (const tb::BlockChange& c : news.changes)
                shown.try_emplace({c.block, c.revision}, now);
        }
    });
    std::vector<std::thread> threads;
    for (int w = 0; w < kWriters; ++w)
        threads.emplace_back([&, w] {
            tb::OpenedShare& s = writers[std::size_t(w)];
            std::mt19937 rng(unsigned(10 + w));
            auto next = Clock::now();
            for (int i = 0; i < kPerWriter; ++i) {
                next += std::chrono::milliseconds(50);
                std::this_thread::sleep_until(next);
                const tb::Stroke stroke = oneCell(s.copy, 2000 + w * 300 + int(rng() % 256),
                                                  2000 + int(rng() % 256), std::uint16_t(i));
                tb::applyStroke(stroke, s.copy);
                const auto t0 = Clock::now();
                s.session.submit(stroke, s.copy);
                const std::uint32_t block = std::uint32_t(stroke.cells[0].x / 8) * kHeightBlocks +
                                            std::uint32_t(stroke.cells[0].y / 8);
                {
                    std::lock_guard guard(lock);
                    submitted[{block, s.session.revisions().land[block]}] = t0;
                }
                s.session.applyChanges(s.feed.take(), s.copy);
            }
        });
    for (auto& t : threads)
        t.join();
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    writing = false;
    view.join();
    std::vector<double> latencies;
    for (const auto& [key, t0] : submitted) {
        const auto it = shown.find(key);
        latencies.push_back(
            it == shown.end() ? 1e9 // never shown
                              : std::chrono::duration<double, std::milli>(it->second - t0).count());
    }
    return latencies;
}

} // namespace

int main(int argc, char** argv) {
    World world;
    char pattern[] = "/tmp/tbshare-XXXXXX";
    if (const char* uri = std::getenv("TB_SHARE_URI")) {
        world.uri = uri;
    } else {
        if (!::mkdtemp(pattern)) {
            std::perror("mkdtemp");
            return 1;
        }
        world.serverDir = pattern;
        script("start", world.serverDir);
        world.uri = readLine(world.serverDir / "uri");
    }
    g_world = &world;
    {
        tb::ShareConnection admin = tb::ShareConnection::open(world.uri);
        admin.execute("DROP SCHEMA IF EXISTS tb CASCADE");
        tb::ShareSchema::create(admin);
        makeWorld(world);
        tb::storeFacet(admin, kFacet, world.map, world.statics, "map0.mul", false);
        admin.execute("VACUUM ANALYZE");
    }

    benchmark::Initialize(&argc, argv);
    tbbench::RunCollector reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    const fs::path journals =
        fs::temp_directory_path() / ("tbshare-journals-" + std::to_string(::getpid()));
    std::vector<double> withJournal, commitOnly, journalOnly;
    strokeLatency(journals / "strokes", withJournal, commitOnly, journalOnly);
    const std::vector<double> feed = feedLatency(journals / "feed");
    const double one = commitThroughput(journals / "one", 1);
    const double four = commitThroughput(journals / "four", 4);
    fs::remove_all(journals);

    std::printf("\n--- summary ---\n");
    std::printf("facet: 7168 x 4096 cells, %lld statics records\n", (long long)world.records);
    auto ratio = [&](const char* name, const char* a, const char* b, double target) {
        if (reporter.ran(a) && reporter.ran(b))
            std::printf("%s: %.0f ms, baseline %.0f ms, ratio %.2f (target <= %.0f)\n", name,
                        reporter.fastestWallSeconds(a) * 1e3, reporter.fastestWallSeconds(b) * 1e3,
                        reporter.fastestWallRatio(a, b), target);
    };
    ratio("open (binary COPY of the same rows)", "BM_OpenFacet", "BM_CopyRowsOut", 2);
    ratio("import (COPY FROM of the same bytes)", "BM_ImportFacet", "BM_CopyBytesIn", 3);
    std::printf("one-cell stroke, commit: median %.2f ms, 90%% %.2f ms, worst %.2f ms "
                "(target: median <= 5)\n",
                percentile(commitOnly, 0.5), percentile(commitOnly, 0.9),
                percentile(commitOnly, 1.0));
    std::printf(
        "one-cell stroke, journal and commit: median %.2f ms, 90%% %.2f ms, worst %.2f ms\n",
        percentile(withJournal, 0.5), percentile(withJournal, 0.9), percentile(withJournal, 1.0));
    std::printf("one-cell stroke, journal file alone (written and removed): median %.2f ms, "
                "90%% %.2f ms\n",
                percentile(journalOnly, 0.5), percentile(journalOnly, 0.9));
    std::printf("feed, 3 editors x 20 strokes/s, %zu changes: shown after median %.1f ms, "
                "90%% %.1f ms, worst %.1f ms (targets: median <= 50, worst <= 200)\n",
                feed.size(), percentile(feed, 0.5), percentile(feed, 0.9), percentile(feed, 1.0));
    std::printf("commit throughput, one-cell strokes as fast as they go: 1 editor %.0f/s, "
                "4 editors %.0f/s together\n",
                one, four);
    if (!world.serverDir.empty()) {
        script("stop", world.serverDir);
        fs::remove_all(world.serverDir);
    }
    return 0;
}
