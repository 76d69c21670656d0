// Extra > "Show statics" in the main window: markers in the radar colour of each cell's
// topmost static, the count in the status bar, the switch kept in the settings, damaged
// files warned about once, and the statics of the loaded map only, read with it whether
// they are shown or not.
#include "MainWindowFixture.h"
#include "StaticsFixtures.h"

#include <QAction>
#include <QLineEdit>

namespace {

constexpr std::uint16_t kTopStatic = 0x11;    // the topmost static on cell (3, 2)
constexpr std::uint16_t kLowerStatic = 0x10;  // below it on the same cell
constexpr std::uint16_t kSingleStatic = 0x12; // alone on cell (5, 5)
constexpr std::uint16_t kRed = 0x7C00;        // the static colours, 15 bits
constexpr std::uint16_t kBlue = 0x001F;

// staidx2.mul and statics2.mul of an Ilshenar map in `dir`: block 0 holds three records;
// with `damaged`, block 1's entry has a length that is no multiple of 7.
void writeStatics(const std::filesystem::path& dir, bool damaged = false) {
    const tb::MapVariant& v = tbtest::ilshenar();
    tbtest::StaticsPair pair(std::size_t(v.widthBlocks()) * std::size_t(v.heightBlocks()));
    pair.setBlock(0, {{kTopStatic, 3, 2, 10}, {kLowerStatic, 3, 2, 0}, {kSingleStatic, 5, 5, -3}});
    if (damaged)
        pair.setEntry(1, 0, 8);
    tbtest::writeBytes(dir / "staidx2.mul", pair.index);
    tbtest::writeBytes(dir / "statics2.mul", pair.data);
}

// radarcol.mul with the land colours the fixture writes and static colours from 0x4000 on.
void writeRadarColours(const std::filesystem::path& gameDir) {
    std::vector<unsigned char> words;
    for (int i = 0; i < 0x4000; ++i)
        tbtest::putU16(words, std::uint16_t(i));
    for (int id = 0; id < 0x20; ++id)
        tbtest::putU16(words, id == kTopStatic ? kRed : id == kSingleStatic ? kBlue : 0x0421);
    tbtest::writeBytes(gameDir / "radarcol.mul", words);
}

QRgb rgbOf(std::uint16_t colour) {
    return tbtest::expectedColour(colour).rgb();
}

struct StaticsFixture : tbtest::MainWindowFixture {
    StaticsFixture() { writeRadarColours(gameDir); }

    QAction& showStatics() { return *tbtest::ui<QAction>(*form, "ShowStatics1"); }
    // The view's picture at the middle of a cell.
    QRgb markerAt(int x, int y) {
        const QImage picture = tbtest::mapView(*form).viewPicture();
        const QPoint centre = grid().cellRect(x, y).center();
        if (!picture.rect().contains(centre))
            qFatal("cell (%d, %d) is not in the view", x, y);
        return picture.pixel(centre) | 0xFF000000;
    }
    void loadMapFrom(const std::filesystem::path& path) {
        tbtest::ui<QLineEdit>(*form, "MapEdit")->setText(tbtest::qpath(path));
        load();
    }
};

} // namespace

class StaticsViewTest : public QObject {
    Q_OBJECT

private slots:
    // A user turns the switch on, sees the markers and the count, turns it off again; the
    // next start restores the switch from the settings.
    void markersCountAndTheStoredSwitch() {
        StaticsFixture f;
        writeStatics(f.mapPath.parent_path());
        f.openLoaded();
        QVERIFY(!f.showStatics().isChecked());
        QCOMPARE(f.markerAt(3, 2), qRgb(0, 0, 0)); // tile 0 has no picture: black
        // The items came with the map: they are there to edit, drawn or not.
        QVERIFY(f.form->document().statics());
        QCOMPARE(f.form->document().statics()->recordCount(), std::int64_t(3));

        f.showStatics().trigger();
        tbtest::waitForJobs();
        QCOMPARE(f.markerAt(3, 2), rgbOf(kRed)); // the record with the greatest z
        QCOMPARE(f.markerAt(5, 5), rgbOf(kBlue));
        QCOMPARE(f.markerAt(4, 2), qRgb(0, 0, 0));
        f.movePointer(f.grid().cellRect(3, 2).center());
        QCOMPARE(f.status(), QString("X=3 - Y=2 - Altitude=1 - Tile=00 00 - Statics=2"));
        f.movePointer(f.grid().cellRect(4, 2).center());
        QCOMPARE(f.status(), QString("X=4 - Y=2 - Altitude=2 - Tile=00 00 - Statics=0"));
        QVERIFY(f.messages.isEmpty());

        f.showStatics().trigger();
        tbtest::waitForJobs();
        QCOMPARE(f.markerAt(3, 2), qRgb(0, 0, 0));
        QCOMPARE(f.status(), QString("X=4 - Y=2 - Altitude=2 - Tile=00 00"));

        f.showStatics().trigger();
        tbtest::waitForJobs();
        QVERIFY(f.form->close());
        f.openLoaded();
        QVERIFY(f.showStatics().isChecked());
        QCOMPARE(f.markerAt(3, 2), rgbOf(kRed));
    }

    // Statics in the game folder serve a map whose own folder has none; a damaged index is
    // warned about once, by name, and its sound blocks still show.
    void damagedFilesInTheGameFolder() {
        StaticsFixture f;
        writeStatics(f.gameDir, true);
        f.openLoaded();
        f.showStatics().trigger();
        tbtest::waitForJobs();
        QCOMPARE(f.messages.size(), 1);
        QVERIFY2(f.messages[0].contains("staidx2.mul") && f.messages[0].contains("multiple of 7"),
                 qPrintable(f.messages[0]));
        QCOMPARE(f.markerAt(3, 2), rgbOf(kRed));
        QCOMPARE(f.markerAt(10, 2), qRgb(0, 0, 0)); // block 1
    }

    // Another map loaded: the old map's statics must not be drawn on it.
    void anotherMapDropsTheOldStatics() {
        StaticsFixture f;
        writeStatics(f.mapPath.parent_path());
        f.openLoaded();
        f.showStatics().trigger();
        tbtest::waitForJobs();
        QCOMPARE(f.markerAt(3, 2), rgbOf(kRed));

        const std::filesystem::path other = f.dir / "other" / "map2.mul";
        std::filesystem::create_directories(other.parent_path());
        std::filesystem::copy_file(f.mapPath, other);
        f.loadMapFrom(other);
        QCOMPARE(f.markerAt(3, 2), qRgb(0, 0, 0));
        QCOMPARE(f.messages.size(), 1);
        QVERIFY2(f.messages[0].startsWith("No staidx2.mul and statics2.mul"),
                 qPrintable(f.messages[0]));
    }
};

QTEST_MAIN(StaticsViewTest)
#include "test_statics_view.moc"
