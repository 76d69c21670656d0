#pragma once
// Editor windows on a shared map, for the shared map's window tests: a fresh world on the
// server the ctest fixture started (facet 4, the smallest map), windows with the shared
// maps' commands and a journal folder of their own, painting through the map grid, and a
// meter of how long the UI thread goes without handling its events.

#include "editor/PaintFixture.h"

#include "app/share/SharedMapCommands.h"
#include "core/MapVariant.h"
#include "share/FacetImport.h"
#include "share/FacetSnapshot.h"
#include "share/ShareConnection.h"
#include "share/ShareSchema.h"

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QtTest>

#include <cstdlib>
#include <fstream>

namespace sharedwindows {

inline constexpr int kFacet = 4; // Tokuno, the smallest map
inline constexpr int kSide = 1448;
inline constexpr int kBlocksHigh = kSide / 8;
inline const char* const kDatabase = "tbt_app_shared_map";

inline std::string trimmedLine(const std::filesystem::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n'))
        line.pop_back();
    return line;
}

inline std::filesystem::path serverDir() {
    const char* dir = std::getenv("TB_SHARE_SERVER");
    return dir ? dir : "";
}

inline std::string adminUri() {
    if (const char* uri = std::getenv("TB_SHARE_URI"))
        return uri;
    return trimmedLine(serverDir() / "uri");
}

// `uri` with another database, as libpq keywords.
inline std::string withDatabase(const std::string& uri, const std::string& database) {
    PQconninfoOption* options = PQconninfoParse(uri.c_str(), nullptr);
    std::string out;
    for (PQconninfoOption* o = options; o && o->keyword; ++o) {
        const std::string key = o->keyword;
        const std::string value = key == "dbname" ? database : (o->val ? o->val : "");
        if (!value.empty())
            out += key + "='" + value + "' ";
    }
    PQconninfoFree(options);
    return out;
}

// The test database over TCP to 127.0.0.1:`port` (the server's own port, or a proxy's),
// with the server's password; empty without a server the script started.
inline std::string tcpUri(int port, const std::string& database = kDatabase) {
    if (serverDir().empty())
        return {};
    return "host=127.0.0.1 port=" + std::to_string(port) + " dbname='" + database +
           "' user=tb password='" + trimmedLine(serverDir() / "password") + "'";
}

inline int serverTcpPort() {
    // postgresql://tb@127.0.0.1:PORT/world
    const std::string uri = trimmedLine(serverDir() / "tcp-uri");
    const auto colon = uri.rfind(':');
    const auto slash = uri.find('/', colon == std::string::npos ? 0 : colon);
    return colon == std::string::npos || slash == std::string::npos
               ? 0
               : std::atoi(uri.substr(colon + 1, slash - colon - 1).c_str());
}

// The test database holding facet 4 as new: tile 3 everywhere, altitude by column, no
// items. The database is made once per program (making one costs seconds on a busy
// machine); the facet is imported again each time.
inline std::string makeWorld() {
    static bool made = false;
    const std::string uri = withDatabase(adminUri(), kDatabase);
    if (!made) {
        tb::ShareConnection server = tb::ShareConnection::open(adminUri());
        server.execute(std::string("DROP DATABASE IF EXISTS ") + kDatabase + " WITH (FORCE)");
        server.execute(std::string("CREATE DATABASE ") + kDatabase);
        // What is committed counts here, not that it survives the machine's end.
        server.execute(std::string("ALTER DATABASE ") + kDatabase +
                       " SET synchronous_commit = off");
        tb::ShareConnection world = tb::ShareConnection::open(uri);
        tb::ShareSchema::create(world);
        made = true;
    }
    tb::ShareConnection world = tb::ShareConnection::open(uri);
    // The editors of the tests before, which may not have left.
    world.execute("DELETE FROM tb.presence");
    const int blocks = (kSide / 8) * (kSide / 8);
    tb::MapImage map(std::vector<unsigned char>(std::size_t(blocks) * tb::kBlockSize),
                     tb::identifyMapVariant("map4.mul", std::int64_t(blocks) * tb::kBlockSize));
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            map.setCell(x, y, {3, std::int8_t(x % 20)});
    tb::storeFacet(world, kFacet, map, tb::StaticsMap::empty(kSide / 8, kSide / 8), "map4.mul",
                   true);
    return uri;
}

// A cell of the facet as the server holds it.
inline tb::MapCell storedCell(const std::string& uri, std::int32_t x, std::int32_t y) {
    tb::ShareConnection c = tb::ShareConnection::open(uri);
    return tb::loadFacet(c, kFacet).copy.map().cell(x, y);
}

// An editor window with the shared maps' commands, its journal in its own folder (or, with
// `ownJournal` false, where the program keeps it).
struct SharedWindow : tbtest::PaintFixture {
    std::unique_ptr<tbapp::SharedMapCommands> shared; // goes before the window
    tbapp::MapEditorWindow& start(bool ownJournal = true) {
        std::string ini =
            "[General]\nMAPx.mul=" + mapPath.string() + "\nUOPath=" + gameDir.string() + "\n";
        if (ownJournal)
            ini += "[SharedMaps]\nJournalFolder=" + (dir / "journal").string() + "\n";
        tbtest::writeText(iniPath, ini);
        open();
        shared = std::make_unique<tbapp::SharedMapCommands>(*form);
        return *form;
    }
    QString state() const { return tbtest::ui<QLabel>(*form, "SharedMapState")->text(); }
    // Sets the tools to paint tile 1, keeping the altitudes.
    void paintTileOne() {
        tbtest::ui<QCheckBox>(*form, "cbSortet")->setChecked(false);
        tbtest::ui<QLineEdit>(*form, "edFindID")->setText("1");
        tbtest::ui<QPushButton>(*form, "btnFind")->click();
        tbtest::ui<QComboBox>(*form, "SelectDrawingModeComboBox")->setCurrentIndex(1);
    }
    // Stroke files in the journal folder.
    int journalled() const {
        int n = 0;
        std::error_code ec;
        for (std::filesystem::recursive_directory_iterator it(dir / "journal", ec), end;
             !ec && it != end; it.increment(ec))
            n += it->path().extension() == ".stroke";
        return n;
    }
};

// Presses the left button on cell `from`, moves to `to` and lets go: one Paint stroke.
inline void drag(tbapp::MapEditorWindow& form, QPoint from, QPoint to) {
    tbapp::DrawGrid* grid = tbtest::ui<tbapp::DrawGrid>(form, "MainDrawGrid");
    QWidget* view = grid->viewport();
    auto at = [&](QPoint cell) { return grid->cellRect(cell.x(), cell.y()).center(); };
    QTest::mousePress(view, Qt::LeftButton, {}, at(from));
    QMouseEvent move(QEvent::MouseMove, at(to), view->mapToGlobal(at(to)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(view, &move);
    QTest::mouseRelease(view, Qt::LeftButton, {}, at(to));
}

// The longest time the UI thread went without handling its events while it ran: a timer
// ticks every few milliseconds and the longest time between two ticks is kept.
class GapMeter {
public:
    GapMeter() {
        m_timer.setInterval(4);
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            const qint64 now = m_clock.elapsed();
            m_longest = std::max(m_longest, now - m_last);
            m_last = now;
        });
        m_clock.start();
        m_timer.start();
    }
    qint64 longestMs() const { return m_longest; }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_longest = 0;
};

} // namespace sharedwindows
