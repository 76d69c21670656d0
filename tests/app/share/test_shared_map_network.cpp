// A shared map over a bad network: the window keeps handling its events while strokes go
// over a slow link and the map resynchronises after the link dropped, and every stroke
// commits in order; with the server stopped dead the window notices by itself, the strokes
// wait in the journal and all of them go out once it runs again; no text shows a password.

#include "SharedWindows.h"

#include "DelayProxy.h"

#include "app/shell/JobRunner.h"

#include <QSpinBox>

#include <csignal>
#include <sstream>
#include <sys/types.h>

using namespace tbtest;
using namespace sharedwindows;
using namespace std::chrono_literals;

namespace {

// The revision of land block `block` of the test facet on the server.
std::int64_t landRevision(const std::string& uri, std::uint32_t block) {
    tb::ShareConnection c = tb::ShareConnection::open(uri);
    tb::PgResult result(PQexec(c.handle(), ("SELECT revision FROM tb.land_block WHERE facet = 4 "
                                            "AND block = " +
                                            std::to_string(block))
                                               .c_str()));
    c.check(result.get());
    return PQntuples(result.get()) == 1 ? std::stoll(PQgetvalue(result.get(), 0, 0)) : -1;
}

// The test server's postmaster and every process it started, stopped dead (SIGSTOP) until
// this object goes: their system still accepts connections and acknowledges every packet,
// but nothing answers.
class FrozenServer {
public:
    FrozenServer() {
        const pid_t postmaster = std::stoi(trimmedLine(serverDir() / "data" / "postmaster.pid"));
        stop(postmaster);
        for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
            const std::string name = entry.path().filename().string();
            if (name.find_first_not_of("0123456789") != std::string::npos)
                continue;
            // "pid (command) state ppid ...": the command may hold spaces and parentheses.
            const std::string stat = trimmedLine(entry.path() / "stat");
            const auto close = stat.rfind(')');
            if (close == std::string::npos)
                continue;
            std::istringstream rest(stat.substr(close + 1));
            std::string state;
            pid_t parent = 0;
            rest >> state >> parent;
            if (parent == postmaster)
                stop(pid_t(std::stoi(name)));
        }
    }
    ~FrozenServer() { thaw(); }
    void thaw() {
        for (pid_t pid : m_stopped)
            ::kill(pid, SIGCONT);
        m_stopped.clear();
    }
    std::size_t processes() const { return m_stopped.size(); }

private:
    void stop(pid_t pid) {
        if (::kill(pid, SIGSTOP) == 0)
            m_stopped.push_back(pid);
    }
    std::vector<pid_t> m_stopped;
};

} // namespace

class SharedMapNetworkTest : public QObject {
    Q_OBJECT

private slots:
    // The jobs' threads end before the program does: libpq's TLS library frees what it keeps
    // for each thread when the thread ends, unless its own end has come first.
    void cleanupTestCase() { tbapp::jobThreads()->waitForDone(); }

    void init() {
        if (serverDir().empty())
            QSKIP("needs the server the project's script starts");
    }

    // 150 ms each way between A and the server. A paints 20 strokes; halfway the link
    // drops and B changes a cell meanwhile, which A only learns by resynchronising.
    void theWindowKeepsAnsweringOverASlowLink() {
        const std::string uri = makeWorld();
        sharetest::DelayProxy proxy(serverTcpPort());
        SharedWindow a;
        SharedWindow b;
        tbapp::MapEditorWindow& formA = a.start();
        tbapp::MapEditorWindow& formB = b.start();
        const std::string password = trimmedLine(serverDir() / "password");
        a.shared->open(QString::fromStdString(tcpUri(proxy.port())), kFacet);
        b.shared->open(QString::fromStdString(uri), kFacet);
        TB_WAIT_FOR_JOBS();
        QVERIFY2(a.shared->isOpen() && b.shared->isOpen(),
                 qPrintable((a.messages + b.messages).join('\n')));
        proxy.setDelay(150ms);
        a.paintTileOne();

        GapMeter gaps;
        for (int i = 0; i < 20; ++i) {
            if (i == 10) {
                proxy.dropAll();
                tb::MapDocument::Edit edit(formB.document());
                edit.recordUndo(100, 100);
                edit.write(100, 100, {77, 7});
            }
            // About three strokes a second, as a builder paints.
            drag(formA, {8 * i + 2, 20}, {8 * i + 2, 20});
            QTest::qWait(300);
        }
        QTRY_VERIFY_WITH_TIMEOUT(a.shared->unsettledCount() == 0 && a.shared->waitingCount() == 0 &&
                                     formA.document().cell(100, 100) == (tb::MapCell{77, 7}),
                                 90000);
        const qint64 longest = gaps.longestMs();
        qInfo("longest time without handling events: %lld ms", longest);
        // A window that waited on the server would stand still a round trip (300 ms) or more
        // at each release; anything shorter is the machine, not the link.
        QVERIFY2(longest < 300, qPrintable(QString("%1 ms").arg(longest)));
        QVERIFY2(proxy.connectionsMade() > 2, "the link was not made again");

        // Each stroke's block got a newer revision than the one before it: in order.
        std::int64_t last = 0;
        for (int i = 0; i < 20; ++i) {
            QCOMPARE(storedCell(uri, 8 * i + 2, 20), formA.document().cell(8 * i + 2, 20));
            QCOMPARE(formA.document().cell(8 * i + 2, 20).tileId, std::uint16_t(1));
            const std::int64_t revision = landRevision(uri, std::uint32_t(i * kBlocksHigh + 2));
            QVERIFY2(revision > last, qPrintable(QString("stroke %1").arg(i)));
            last = revision;
        }
        QCOMPARE(a.state(), QString("shared: facet 4"));
        QCOMPARE(a.journalled(), 0);
        QVERIFY2(a.messages.isEmpty(), qPrintable(a.messages.join('\n')));
    }

    // The server stopped dead: an idle window says it is offline within 10 seconds, the
    // strokes made then wait in the journal and the status bar counts them; once the
    // server runs again they all go out.
    void strokesWaitInTheJournalWhileTheServerIsFrozen() {
        const std::string uri = makeWorld();
        SharedWindow a;
        tbapp::MapEditorWindow& form = a.start();
        a.shared->open(QString::fromStdString(uri), kFacet);
        TB_WAIT_FOR_JOBS();
        QVERIFY2(a.shared->isOpen(), qPrintable(a.messages.join('\n')));
        a.paintTileOne();
        drag(form, {5, 5}, {5, 5});
        a.shared->commitEdits();
        QTRY_VERIFY(a.shared->unsettledCount() == 0 && storedCell(uri, 5, 5).tileId == 1);

        GapMeter gaps;
        {
            FrozenServer frozen;
            QVERIFY(frozen.processes() > 1);
            QElapsedTimer idle;
            idle.start();
            QTRY_VERIFY_WITH_TIMEOUT(a.state().startsWith("offline"), 10000);
            qInfo("an idle window said it was offline after %lld ms", idle.elapsed());
            QCOMPARE(a.state(), QString("offline: 0 strokes waiting"));
            for (int i = 0; i < 3; ++i) {
                drag(form, {8 * i + 1, 12}, {8 * i + 1, 12});
                QTest::qWait(20);
            }
            QTRY_COMPARE(a.state(), QString("offline: 3 strokes waiting"));
            QCOMPARE(a.journalled(), 3);
            QVERIFY(!form.document().isModified());
            drag(form, {30, 12}, {30, 12});
            QTRY_COMPARE(a.state(), QString("offline: 4 strokes waiting"));
        }
        QTRY_VERIFY_WITH_TIMEOUT(a.shared->unsettledCount() == 0 && a.shared->waitingCount() == 0,
                                 30000);
        QCOMPARE(a.journalled(), 0);
        QCOMPARE(a.state(), QString("shared: facet 4"));
        for (int x : {1, 9, 17, 30})
            QCOMPARE(storedCell(uri, x, 12), (tb::MapCell{1, std::int8_t(x % 20)}));
        QCOMPARE(storedCell(uri, 5, 5), (tb::MapCell{1, 5}));
        const qint64 longest = gaps.longestMs();
        qInfo("longest time without handling events: %lld ms", longest);
        // Waiting on the frozen server would have held the window for seconds.
        QVERIFY2(longest < 1000, qPrintable(QString("%1 ms").arg(longest)));
        QVERIFY2(a.messages.isEmpty(), qPrintable(a.messages.join('\n')));
    }

    // A failure whose server message holds the password (here: the name of a database
    // that does not exist) shows *** in its place.
    void noMessageShowsThePassword() {
        makeWorld();
        const QString password = QString::fromStdString(trimmedLine(serverDir() / "password"));
        SharedWindow a;
        a.start();
        a.shared->open(QString::fromStdString(tcpUri(serverTcpPort(), password.toStdString())),
                       kFacet);
        TB_WAIT_FOR_JOBS();
        QVERIFY(!a.shared->isOpen());
        QCOMPARE(a.questions.errors.size(), qsizetype(1));
        QVERIFY2(a.questions.errors[0].contains("***"), qPrintable(a.questions.errors[0]));
        QVERIFY(!a.questions.errors[0].contains(password));
        QVERIFY(!a.state().contains(password));
    }
};

QTEST_MAIN(SharedMapNetworkTest)
#include "test_shared_map_network.moc"
