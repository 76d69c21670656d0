// An editor document on a shared facet through its session worker: the document's copy and
// the server agree once everything has gone through, however the builder's strokes and
// another builder's commits cross; strokes are commands of the document's one history; a
// link that goes dead is noticed while idle, the strokes wait in the journal and go out in
// order when it is back.
#include "DelayProxy.h"
#include "ShareTestWorld.h"
#include "TestPaths.h"

#include "share/BlockStore.h"
#include "share/SharedDocument.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace tb;
using namespace sharetest;
using namespace std::chrono_literals;

namespace {

ShareOptions optionsFor(const std::string& uri, const std::filesystem::path& journals) {
    ShareOptions options;
    options.uri = uri;
    options.facet = kFacet;
    options.journalBase = journals;
    return options;
}

// One editor: a document on the facet, its worker and the two in step, as the window has
// them (without a window).
struct Editor {
    tbtest::TempDir journals;
    MapDocument document;
    std::unique_ptr<ShareWorker> worker;
    std::unique_ptr<SharedDocument> shared;
    std::vector<SubmitReport> refusals;
    std::vector<std::string> failures;
    int linkChanges = 0;

    explicit Editor(const std::string& uri, WorkerTiming timing = {}) {
        OpenedShare share = ShareSession::open(optionsFor(uri, journals.path()));
        document.replace(MapImage(share.copy.map()), {},
                         std::make_unique<StaticsMap>(share.copy.statics().copy()));
        MapImage map(share.copy.map());
        StaticsMap statics = share.copy.statics().copy();
        worker = std::make_unique<ShareWorker>(
            std::move(share), [] {}, timing);
        shared =
            std::make_unique<SharedDocument>(document, std::move(map), std::move(statics), *worker);
    }

    void apply() {
        SharedDocument::Notes notes = shared->applyEvents(20ms);
        refusals.insert(refusals.end(), notes.refusals.begin(), notes.refusals.end());
        failures.insert(failures.end(), notes.failures.begin(), notes.failures.end());
        linkChanges += notes.linkChanged ? 1 : 0;
    }
    // Applies the worker's events until `done` holds; false when `limit` passed first.
    template <typename Done> bool until(Done&& done, std::chrono::milliseconds limit = 20s) {
        const auto end = std::chrono::steady_clock::now() + limit;
        for (;;) {
            apply();
            if (done())
                return true;
            if (std::chrono::steady_clock::now() > end)
                return false;
            std::this_thread::sleep_for(5ms);
        }
    }
    bool settled() { return shared->unsettled() == 0 && shared->inFlight() == 0; }
    std::size_t journalFiles() const {
        std::size_t n = 0;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(journals.path()))
            n += entry.path().extension() == ".stroke";
        return n;
    }
    void paint(std::int32_t x, std::int32_t y, MapCell value) {
        MapDocument::Edit edit(document, "Paint");
        edit.recordUndo(x, y);
        edit.write(x, y, value);
    }
};

std::vector<std::uint32_t> firstBlocks(std::uint32_t side) {
    std::vector<std::uint32_t> blocks;
    for (std::uint32_t bx = 0; bx < side; ++bx)
        for (std::uint32_t by = 0; by < side; ++by)
            blocks.push_back(bx * kBlocksHigh + by);
    return blocks;
}

// Where the document differs from the server in the first 2 x 2 blocks; empty when nowhere.
std::string differences(const TestWorld& world, const MapDocument& document) {
    ShareConnection connection = world.connect();
    const std::vector<std::uint32_t> blocks = firstBlocks(2);
    const BlockSet server = BlockStore(connection, kFacet).fetch(blocks, blocks);
    std::string out;
    for (const StoredBlock& b : server.land) {
        const std::int32_t left = std::int32_t(b.block / kBlocksHigh) * 8;
        const std::int32_t top = std::int32_t(b.block % kBlocksHigh) * 8;
        for (int i = 0; i < 64; ++i) {
            const unsigned char* p = b.bytes.data() + kBlockHeaderSize + i * 3;
            const MapCell stored{std::uint16_t(p[0] | p[1] << 8), std::int8_t(p[2])};
            if (document.cell(left + i % 8, top + i / 8) != stored)
                out += "cell " + std::to_string(left + i % 8) + "," + std::to_string(top + i / 8) +
                       "; ";
        }
    }
    for (const StoredBlock& b : server.statics)
        if (document.statics()->records(b.block) != readStaticRecords(b.bytes))
            out += "items of block " + std::to_string(b.block) + "; ";
    return out;
}

} // namespace

// Over a link slow enough that the editor's strokes and another builder's changes cross:
// a stroke handed over stays over blocks the worker put before taking it, and is not laid
// twice over blocks put after.
TEST(ShareWorker, StrokesHandedOverStayOverBlocksPutMeanwhileAndOnlyThen) {
    if (serverTcpPort() == 0)
        GTEST_SKIP() << "needs the server the script starts";
    TestWorld world;
    importFacet(world, makeFacetFiles(35));
    DelayProxy proxy(serverTcpPort());
    Editor a(world.tcpUri(proxy.port()));
    tbtest::TempDir otherJournals;
    OpenedShare b = ShareSession::open(optionsFor(world.uri(), otherJournals.path()));
    proxy.setDelay(40ms);
    auto commitB = [&](std::int32_t x, std::int32_t y, MapCell value, std::uint16_t item) {
        Stroke s{newStrokeId(), StrokeMode::BuilderWins, {}, {}};
        s.cells.push_back({x, y, b.copy.map().cell(x, y), value});
        s.items.push_back({ItemEditKind::Add, {}, {x, y, item, 1, 0}});
        applyStroke(s, b.copy);
        ASSERT_EQ(b.session.submit(s, b.copy).outcome, StrokeOutcome::Committed);
    };

    // B changes block 0; A's worker puts it (not yet applied by the editor); then A paints
    // the same block before the editor applies that put.
    commitB(1, 1, {900, 1}, 0x301);
    std::this_thread::sleep_for(500ms);
    a.paint(2, 2, {901, 2});
    MapDocument::Edit(a.document).addItem({3, 3, 0x302, 2, 0});
    a.shared->commitEdits();
    ASSERT_TRUE(a.until([&] { return a.settled(); }));
    EXPECT_EQ(a.document.cell(2, 2), (MapCell{901, 2}));
    EXPECT_EQ(a.document.cell(1, 1), (MapCell{900, 1}));

    // B changes block 1 and A paints it at once, before A's worker hears of B: A's commit
    // meets a newer block and is merged, and the merged block is put after A's stroke was
    // taken.
    const std::size_t itemsBefore = tb::itemsOnCell(*a.document.statics(), 3, 11).size();
    commitB(1, 9, {902, 1}, 0x303);
    a.paint(2, 10, {903, 2});
    MapDocument::Edit(a.document).addItem({3, 11, 0x304, 2, 0});
    a.shared->commitEdits();
    ASSERT_TRUE(a.until([&] { return a.settled(); }));
    EXPECT_EQ(a.document.cell(2, 10), (MapCell{903, 2}));
    std::string differ;
    EXPECT_TRUE(a.until(
        [&] {
            differ = differences(world, a.document);
            return differ.empty();
        },
        5s))
        << differ;
    EXPECT_EQ(tb::itemsOnCell(*a.document.statics(), 3, 11).size(), itemsBefore + 1)
        << "laid over twice";
    EXPECT_TRUE(a.refusals.empty() && a.failures.empty());
}

// The window tests follow a Paint stroke through the history; here a change that records no
// step of its own (a stamp) becomes a step too, and two strokes are two steps.
TEST(ShareWorker, EveryStrokeIsACommandOfTheDocumentsHistory) {
    TestWorld world;
    importFacet(world, makeFacetFiles(32));
    Editor a(world.uri());
    const MapCell was = a.document.cell(20, 20);
    MapDocument::Edit(a.document).write(20, 20, {7, 7});
    EXPECT_TRUE(a.document.isModified()) << "nothing takes a stamp back";
    a.shared->commitEdits();
    a.paint(21, 20, {8, 8});
    a.shared->commitEdits();
    const UndoList& history = a.document.undoList();
    EXPECT_EQ(history.commandSteps(), 2u);
    EXPECT_EQ(history.size(), 2u);
    EXPECT_EQ(history.newestName(), "Paint");
    EXPECT_FALSE(a.document.isModified()) << "the journal holds both";
    ASSERT_TRUE(a.document.undo());
    ASSERT_TRUE(a.document.undo());
    EXPECT_EQ(history.newestRedoName(), "Edit");
    EXPECT_EQ(a.document.cell(20, 20), was);
    EXPECT_FALSE(a.document.isModified());
    ASSERT_TRUE(a.until([&] { return a.settled(); }));
    EXPECT_TRUE(a.refusals.empty() && a.failures.empty());
    EXPECT_EQ(differences(world, a.document), "");
}

// Through a proxy that can hold everything: the server as good as stopped dead.
TEST(ShareWorker, AnIdleWorkerNoticesADeadLinkAndItsStrokesWaitAndGoOutInOrder) {
    if (serverTcpPort() == 0)
        GTEST_SKIP() << "needs the server the script starts";
    TestWorld world;
    importFacet(world, makeFacetFiles(34));
    DelayProxy proxy(serverTcpPort());
    WorkerTiming quick;
    quick.beat = 200ms;
    quick.callLimit = 500ms;
    quick.reconnectLimit = 1000ms;
    Editor a(world.tcpUri(proxy.port()), quick);
    ASSERT_TRUE(a.until([&] { return a.shared->online() && a.linkChanges == 0; }, 2s));

    // Idle: the next beat's call gets no answer.
    proxy.setHeld(true);
    const auto heldAt = std::chrono::steady_clock::now();
    ASSERT_TRUE(a.until([&] { return !a.shared->online(); }, 10s));
    const auto noticed = std::chrono::steady_clock::now() - heldAt;
    EXPECT_LT(noticed, quick.beat + quick.callLimit + 500ms);
    proxy.setHeld(false);
    ASSERT_TRUE(a.until([&] { return a.shared->online(); }));

    // A commit that gets no answer: its stroke waits, and those after it.
    proxy.setHeld(true);
    for (int i = 0; i < 3; ++i) {
        a.paint(8 * i, 0, {std::uint16_t(300 + i), 0});
        a.shared->commitEdits();
    }
    EXPECT_FALSE(a.document.isModified()) << "the journal holds them";
    ASSERT_TRUE(a.until([&] { return a.shared->waiting() == 3 && a.shared->inFlight() == 0; }));
    EXPECT_EQ(a.journalFiles(), 3u);
    std::this_thread::sleep_for(quick.beat * 3);
    a.apply();
    EXPECT_EQ(a.shared->waiting(), 3u) << "nothing goes out while the link is dead";

    proxy.setHeld(false);
    ASSERT_TRUE(
        a.until([&] { return a.shared->online() && a.settled() && a.shared->waiting() == 0; }));
    EXPECT_EQ(a.journalFiles(), 0u);
    // In the order they were made: each one's block got a newer revision than the one before.
    std::int64_t last = 0;
    for (int i = 0; i < 3; ++i) {
        const std::int64_t revision = std::stoll(
            world.query("SELECT revision FROM tb.land_block WHERE facet = 4 AND block = " +
                        std::to_string(i * kBlocksHigh)));
        EXPECT_GT(revision, last) << "stroke " << i;
        last = revision;
    }
    EXPECT_EQ(differences(world, a.document), "");
    EXPECT_TRUE(a.failures.empty());
}
