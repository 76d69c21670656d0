// Several builders at once: a stroke on a block someone else changed first is merged on top
// of theirs, and three clients painting overlapping regions end with the same world as the
// database and an export of it.
#include "ShareTestWorld.h"
#include "TestPaths.h"

#include "core/StaticsFiles.h"
#include "share/FacetExport.h"
#include "share/Presence.h"
#include "share/ShareAccess.h"
#include "share/ShareSession.h"

#include <gtest/gtest.h>

#include <barrier>
#include <map>
#include <random>
#include <thread>

using namespace tb;
using namespace sharetest;

namespace {

OpenedShare openClient(const TestWorld& world, const std::filesystem::path& journals) {
    ShareOptions options;
    options.uri = world.uri();
    options.facet = kFacet;
    options.journalBase = journals;
    return ShareSession::open(options);
}

// Every record of the facet, block by block.
std::vector<std::vector<StaticRecord>> recordsOf(const StaticsMap& statics) {
    std::vector<std::vector<StaticRecord>> out;
    for (std::size_t b = 0; b < statics.blockCount(); ++b)
        out.push_back(statics.records(b));
    return out;
}

struct Painted {
    StrokeId id;
    std::vector<CellEdit> cells;
    std::vector<PlacedItem> added;
};

} // namespace

TEST(ShareConcurrency, AStrokeOnABlockChangedMeanwhileKeepsBothBuildersCells) {
    TestWorld world;
    importFacet(world, makeFacetFiles(5));
    tbtest::TempDir journals;
    OpenedShare a = openClient(world, journals / "a");
    OpenedShare b = openClient(world, journals / "b");

    Stroke first{
        newStrokeId(), StrokeMode::BuilderWins, {{1, 1, a.copy.map().cell(1, 1), {11, 1}}}, {}};
    first.items = {{ItemEditKind::Add, {}, {2, 2, 0x0CCA, 0, 1}}};
    applyStroke(first, a.copy);
    EXPECT_EQ(a.session.submit(first, a.copy).outcome, StrokeOutcome::Committed);

    // b still holds the block as it was: its stroke is applied again on a's.
    Stroke second{
        newStrokeId(), StrokeMode::BuilderWins, {{3, 3, b.copy.map().cell(3, 3), {33, 3}}}, {}};
    second.items = {{ItemEditKind::Add, {}, {4, 4, 0x0CCB, 0, 2}}};
    applyStroke(second, b.copy);
    const SubmitReport report = b.session.submit(second, b.copy);
    EXPECT_EQ(report.outcome, StrokeOutcome::Committed);
    EXPECT_TRUE(report.merged);
    EXPECT_EQ(report.applied.cellsWritten, 1u);
    EXPECT_EQ(b.copy.map().cell(1, 1), (MapCell{11, 1}));
    EXPECT_EQ(b.copy.map().cell(3, 3), (MapCell{33, 3}));
    EXPECT_EQ(itemsInRect(b.copy.statics(), 0, 0, 7, 7).size(), 2u);

    // a hears of it and shows both.
    a.session.applyChanges(a.feed.catchUp(std::chrono::seconds(10)), a.copy);
    EXPECT_EQ(a.copy.map().bytes(), b.copy.map().bytes());
    EXPECT_EQ(recordsOf(a.copy.statics()), recordsOf(b.copy.statics()));
}

TEST(ShareConcurrency, ThreeClientsPaintingOverlappingRegionsEndWithTheSameWorld) {
    TestWorld world;
    importFacet(world, makeFacetFiles(9));
    tbtest::TempDir journals;
    constexpr int kClients = 3;
    constexpr int kStrokes = 1000;
    std::vector<OpenedShare> clients;
    for (int c = 0; c < kClients; ++c)
        clients.push_back(openClient(world, journals / ("client" + std::to_string(c))));

    std::vector<std::vector<Painted>> painted(kClients);
    std::vector<int> merged(kClients, 0);
    std::vector<std::string> failures(kClients);
    std::barrier done(kClients);
    auto paint = [&](int c) {
        try {
            OpenedShare& client = clients[std::size_t(c)];
            std::mt19937 rng(unsigned(100 + c));
            // Regions 96 cells wide, each overlapping its neighbours' by half.
            const int left = 100 + 48 * c;
            for (int k = 0; k < kStrokes; ++k) {
                Stroke s{newStrokeId(), StrokeMode::BuilderWins, {}, {}};
                const int side = 1 + int(rng() % 4);
                const int x0 = left + int(rng() % (96 - side));
                const int y0 = 100 + int(rng() % (96 - side));
                const MapCell value{std::uint16_t(1 + rng() % 0x3FFF), std::int8_t(rng() % 100)};
                for (int x = x0; x < x0 + side; ++x)
                    for (int y = y0; y < y0 + side; ++y)
                        s.cells.push_back({x, y, client.copy.map().cell(x, y), value});
                Painted p{s.id, s.cells, {}};
                if (k % 10 == 0) {
                    const PlacedItem item{x0, y0, 0x0CCA, 0, std::uint16_t(c * 2000 + k)};
                    s.items.push_back({ItemEditKind::Add, {}, item});
                    p.added.push_back(item);
                }
                applyStroke(s, client.copy);
                const SubmitReport report = client.session.submit(s, client.copy);
                if (report.outcome != StrokeOutcome::Committed)
                    throw std::runtime_error("stroke " + std::to_string(k) + " not committed");
                merged[std::size_t(c)] += report.merged ? 1 : 0;
                painted[std::size_t(c)].push_back(std::move(p));
                client.session.applyChanges(client.feed.take(), client.copy);
            }
            done.arrive_and_wait();
            client.session.applyChanges(client.feed.catchUp(std::chrono::seconds(30)), client.copy);
        } catch (const std::exception& e) {
            failures[std::size_t(c)] = e.what();
            done.arrive_and_drop();
        }
    };
    std::vector<std::thread> threads;
    for (int c = 0; c < kClients; ++c)
        threads.emplace_back(paint, c);
    for (auto& t : threads)
        t.join();
    for (int c = 0; c < kClients; ++c)
        ASSERT_EQ(failures[std::size_t(c)], "") << "client " << c;
    EXPECT_GT(merged[0] + merged[1] + merged[2], 0) << "the regions overlap: some strokes meet";

    // Every client's copy is the database's facet and an export of it.
    ShareConnection owner = world.connect();
    const FacetSnapshot stored = loadFacet(owner, kFacet);
    const FacetExportFiles files = writeFacetFiles(stored, journals / "export", false);
    const std::vector<unsigned char> exported = tbtest::readBytes(files.map);
    const auto exportedStatics =
        recordsOf(loadStatics({files.index, files.statics}, stored.info.variant).statics);
    for (const OpenedShare& client : clients) {
        EXPECT_EQ(client.copy.map().bytes(), stored.copy.map().bytes());
        EXPECT_EQ(client.copy.map().bytes(), exported);
        EXPECT_EQ(recordsOf(client.copy.statics()), exportedStatics);
        EXPECT_EQ(client.session.waitingCount(), 0u);
    }

    // Each cell holds what the last stroke that wrote it wrote, "last" by the change log:
    // the revisions the strokes gave that cell's block.
    std::map<std::pair<std::string, std::int32_t>, std::int64_t> logged; // (stroke, block)
    {
        PgResult rows(PQexec(owner.handle(), "SELECT stroke::text, block, revision FROM tb.change "
                                             "WHERE kind = 'L'"));
        owner.check(rows.get());
        for (int r = 0; r < PQntuples(rows.get()); ++r)
            logged[{PQgetvalue(rows.get(), r, 0), std::stoi(PQgetvalue(rows.get(), r, 1))}] =
                std::stoll(PQgetvalue(rows.get(), r, 2));
    }
    struct Last {
        std::int64_t revision = -1;
        MapCell value;
    };
    std::map<std::pair<int, int>, Last> last;
    std::size_t strokes = 0;
    for (const auto& list : painted)
        for (const Painted& p : list) {
            ++strokes;
            for (const CellEdit& e : p.cells) {
                const auto it =
                    logged.find({strokeIdText(p.id), (e.x / 8) * kBlocksHigh + e.y / 8});
                ASSERT_NE(it, logged.end()) << "a stroke missing from the change log";
                Last& l = last[{e.x, e.y}];
                if (it->second > l.revision)
                    l = {it->second, e.after};
            }
        }
    EXPECT_EQ(strokes, std::size_t(kClients * kStrokes));
    for (const auto& [cell, l] : last)
        ASSERT_EQ(stored.copy.map().cell(cell.first, cell.second), l.value)
            << "cell " << cell.first << "," << cell.second;
    // No item added was lost.
    for (const auto& list : painted)
        for (const Painted& p : list)
            for (const PlacedItem& item : p.added) {
                const auto there =
                    itemsInRect(stored.copy.statics(), item.x, item.y, item.x, item.y);
                EXPECT_NE(std::find(there.begin(), there.end(), item), there.end());
            }
}

TEST(SharePresence, EachBuilderSeesWhereTheOthersLook) {
    TestWorld world;
    importFacet(world, makeFacetFiles(6));
    ShareConnection alice = ShareConnection::open(world.uriAs("tbt_alice"));
    ShareConnection bob = ShareConnection::open(world.uriAs("tbt_bob"));
    ShareConnection owner = world.connect();
    ShareAccess::grant(owner, {"tbt_alice", AccessLevel::Read, kFacet, std::nullopt});
    ShareAccess::grant(owner, {"tbt_bob", AccessLevel::Write, std::nullopt, std::nullopt});
    Presence a(alice, kFacet);
    Presence b(bob, kFacet);
    a.announce({0, 0, 99, 49});
    b.announce({10, 10, 20, 20});
    b.announce({30, 30, 40, 40});
    EXPECT_EQ(a.others().size(), 1u);
    EXPECT_EQ(a.others()[0].name, "tbt_bob");
    EXPECT_EQ(a.others()[0].view, (CellRegion{30, 30, 40, 40}));
    ASSERT_EQ(b.others().size(), 1u);
    EXPECT_EQ(b.others()[0].name, "tbt_alice");
    a.leave();
    EXPECT_TRUE(b.others().empty());
}
