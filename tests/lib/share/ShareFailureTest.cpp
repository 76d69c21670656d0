// Nothing lost when things break: a connection killed in the middle of a commit, a server
// restarted in the middle of a session, an editor killed with strokes not yet committed.
#include "ShareTestWorld.h"
#include "TestPaths.h"

#include "share/ShareErrors.h"
#include "share/ShareSession.h"
#include "share/ShareTransaction.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace tb;
using namespace sharetest;
using namespace std::chrono_literals;

namespace {

// Cells (0,0) and (8,0) lie in land blocks 0 and 181: a stroke on both writes block 0 first.
constexpr std::uint32_t kSecondBlock = kBlocksHigh;

OpenedShare openClient(const std::string& uri, const std::filesystem::path& journals) {
    ShareOptions options;
    options.uri = uri;
    options.facet = kFacet;
    options.journalBase = journals;
    options.applicationName = "tbtest-client";
    return ShareSession::open(options);
}

Stroke paint(const FacetCopy& copy, std::vector<CellPoint> cells, MapCell value) {
    Stroke s{newStrokeId(), StrokeMode::BuilderWins, {}, {}};
    for (const CellPoint& c : cells)
        s.cells.push_back({c.x, c.y, copy.map().cell(c.x, c.y), value});
    return s;
}

MapCell storedCell(const TestWorld& world, std::int32_t x, std::int32_t y) {
    ShareConnection c = world.connect();
    return loadFacet(c, kFacet).copy.map().cell(x, y);
}

// Holds a lock on land block 181 until destroyed: a commit that reaches it waits there.
class BlockLock {
public:
    explicit BlockLock(const TestWorld& world)
        : m_connection(world.connect()), m_transaction(m_connection) {
        m_connection.execute("SELECT 1 FROM tb.land_block WHERE facet = 4 AND block = " +
                             std::to_string(kSecondBlock) + " FOR UPDATE");
    }

private:
    ShareConnection m_connection;
    ShareTransaction m_transaction;
};

// The server process of an application waiting for a lock; 0 when none does in time.
std::string waitingBackend(const TestWorld& world, const std::string& application) {
    for (int i = 0; i < 200; ++i) {
        const std::string pid =
            world.query("SELECT pid FROM pg_stat_activity WHERE application_name = '" +
                        application + "' AND wait_event_type = 'Lock'");
        if (!pid.empty())
            return pid;
        std::this_thread::sleep_for(50ms);
    }
    return "0";
}

} // namespace

TEST(ShareFailure, AConnectionKilledInTheMiddleOfACommitStoresNothingAndCommitsAgain) {
    TestWorld world;
    importFacet(world, makeFacetFiles(21));
    tbtest::TempDir journals;
    OpenedShare client = openClient(world.uri(), journals.path());
    const Stroke s = paint(client.copy, {{0, 0}, {8, 0}}, {42, 4});
    applyStroke(s, client.copy);
    const MapCell before = storedCell(world, 0, 0);
    const std::string revisionBefore =
        world.query("SELECT revision FROM tb.land_block WHERE facet = 4 AND block = 0");

    SubmitReport report;
    {
        auto lock = std::make_unique<BlockLock>(world);
        std::thread commit([&] { report = client.session.submit(s, client.copy); });
        const std::string pid = waitingBackend(world, "tbtest-client");
        EXPECT_NE(pid, "0") << "the commit never reached the locked block";
        world.query("SELECT pg_terminate_backend(" + pid + ")");
        commit.join();
    }
    EXPECT_EQ(report.outcome, StrokeOutcome::Waiting);
    EXPECT_EQ(client.session.waitingCount(), 1u);
    EXPECT_FALSE(client.session.isOnline());
    // Block 0 was written before the connection died, and is as it was.
    EXPECT_EQ(storedCell(world, 0, 0), before);
    EXPECT_EQ(world.query("SELECT revision FROM tb.land_block WHERE facet = 4 AND block = 0"),
              revisionBefore);
    EXPECT_EQ(world.query("SELECT count(*) FROM tb.stroke"), "0");

    ASSERT_TRUE(client.session.reconnect());
    const std::vector<SubmitReport> sent = client.session.commitWaiting(client.copy);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].outcome, StrokeOutcome::Committed);
    EXPECT_EQ(storedCell(world, 0, 0), (MapCell{42, 4}));
    EXPECT_EQ(storedCell(world, 8, 0), (MapCell{42, 4}));
    EXPECT_EQ(tbtest::entriesIn(StrokeJournal::folderFor(journals.path(), world.uri(), kFacet)),
              0u);
}

TEST(ShareFailure, StrokesMadeWhileTheServerRestartsAreCommittedAfterwards) {
    if (serverDir().empty())
        GTEST_SKIP() << "TB_SHARE_URI names a server this test cannot restart";
    TestWorld world;
    importFacet(world, makeFacetFiles(22));
    tbtest::TempDir journals;
    OpenedShare client = openClient(world.uri(), journals.path());
    const Stroke s1 = paint(client.copy, {{20, 20}}, {1, 1});
    applyStroke(s1, client.copy);
    EXPECT_EQ(client.session.submit(s1, client.copy).outcome, StrokeOutcome::Committed);

    ASSERT_EQ(serverScript("stop"), 0);
    const Stroke s2 = paint(client.copy, {{21, 20}}, {2, 2});
    applyStroke(s2, client.copy);
    const Stroke s3 = paint(client.copy, {{20, 20}, {300, 300}}, {3, 3});
    applyStroke(s3, client.copy);
    EXPECT_EQ(client.session.submit(s2, client.copy).outcome, StrokeOutcome::Waiting);
    EXPECT_EQ(client.session.submit(s3, client.copy).outcome, StrokeOutcome::Waiting);
    EXPECT_EQ(client.session.waitingCount(), 2u);
    EXPECT_FALSE(client.session.reconnect());
    // The feed reads the server's farewell, then finds the connection closed.
    EXPECT_THROW(for (int i = 0; i < 10; ++i) client.feed.wait(100ms), ConnectionLost);

    ASSERT_EQ(serverScript("start"), 0);
    ASSERT_TRUE(client.session.reconnect());
    client.feed.reconnect();
    EXPECT_EQ(client.session.commitWaiting(client.copy).size(), 2u);
    EXPECT_EQ(client.session.waitingCount(), 0u);
    EXPECT_EQ(storedCell(world, 20, 20), (MapCell{3, 3}));
    EXPECT_EQ(storedCell(world, 21, 20), (MapCell{2, 2}));
    EXPECT_EQ(storedCell(world, 300, 300), (MapCell{3, 3}));
    EXPECT_EQ(world.query("SELECT count(*) FROM tb.stroke"), "3");
}

TEST(ShareFailure, TheNextOpenCommitsWhatAKilledEditorLeftInItsJournal) {
    TestWorld world;
    importFacet(world, makeFacetFiles(23));
    tbtest::TempDir journals;
    auto lock = std::make_unique<BlockLock>(world);
    const pid_t editor = ::fork();
    ASSERT_GE(editor, 0);
    if (editor == 0) {
        // The editor: one stroke goes out, the next waits at the locked block until the
        // process is killed. Nothing here may run the parent's destructors.
        try {
            OpenedShare client = openClient(world.uri(), journals.path());
            const Stroke first = paint(client.copy, {{0, 0}}, {5, 5});
            applyStroke(first, client.copy);
            if (client.session.submit(first, client.copy).outcome != StrokeOutcome::Committed)
                ::_exit(3);
            const Stroke second = paint(client.copy, {{1, 0}, {8, 0}}, {6, 6});
            applyStroke(second, client.copy);
            client.session.submit(second, client.copy);
        } catch (...) {
            ::_exit(4);
        }
        ::_exit(5);
    }
    const std::string pid = waitingBackend(world, "tbtest-client");
    ::kill(editor, SIGKILL);
    int status = 0;
    ::waitpid(editor, &status, 0);
    ASSERT_NE(pid, "0") << "the editor's second stroke never reached the locked block";
    EXPECT_TRUE(WIFSIGNALED(status));
    // Its server process would finish the commit once the lock goes: it goes first.
    world.query("SELECT pg_terminate_backend(" + pid + ")");
    lock.reset();
    EXPECT_EQ(world.query("SELECT count(*) FROM tb.stroke"), "1");
    EXPECT_EQ(storedCell(world, 8, 0), mapOf(makeFacetFiles(23)).cell(8, 0));

    OpenedShare again = openClient(world.uri(), journals.path());
    ASSERT_EQ(again.replayed.size(), 1u);
    EXPECT_EQ(again.replayed[0].outcome, StrokeOutcome::Committed);
    EXPECT_EQ(again.copy.map().cell(1, 0), (MapCell{6, 6}));
    EXPECT_EQ(storedCell(world, 0, 0), (MapCell{5, 5}));
    EXPECT_EQ(storedCell(world, 1, 0), (MapCell{6, 6}));
    EXPECT_EQ(storedCell(world, 8, 0), (MapCell{6, 6}));
    EXPECT_EQ(again.session.waitingCount(), 0u);
}
