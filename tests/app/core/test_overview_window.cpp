// The overview window: its controls and size, the picture built after the first show from
// the sampled cell of each block, the map path condition, clicks that jump and close, and
// the Overview command.
#include "app/core/OverviewWindow.h"
#include "testsupport/FindControl.h"
#include "testsupport/HeldWorkers.h"
#include "testsupport/RecordingPrompts.h"
#include "testsupport/WaitForJobs.h"

#include "StaticsFixtures.h"
#include "TestPaths.h"
#include "app/shell/MapEditorLink.h"
#include "core/ArtFiles.h"
#include "core/MapImage.h"
#include "core/MapVariant.h"
#include "core/RadarColours.h"
#include "core/StaticRadarColours.h"
#include "core/StaticsMap.h"

#include <QApplication>
#include <QCheckBox>
#include <QCursor>
#include <QLabel>
#include <QPointer>
#include <QtTest>

#include <memory>
#include <optional>

namespace {

// The picture and the label over it while building, found by their object names.
QLabel* pictureLabel(const QWidget& form) {
    return tbtest::control<QLabel>(form, "Mapa");
}
QLabel* buildingLabel(const QWidget& form) {
    return tbtest::control<QLabel>(form, "GenerateText");
}

constexpr std::int64_t kIlshenarSize = 11'289'600; // map2.mul, 2304 x 1600

// The radar colour written for a tile id: never 0, and different for neighbouring ids.
std::uint16_t radarWord(int id) {
    return std::uint16_t(((id * 37 + 11) & 0x7FFF) | 0x0421);
}

QRgb expectedColour(const tb::RadarColours& radar, int tileId) {
    const tb::Rgb c = tb::rgb555ToColor(radar.colour(tileId));
    return qRgb(c.red, c.green, c.blue);
}

// The main window as the overview sees it; records what it is asked to do and what the
// overview window showed at the moment the map was fetched for the build.
class FakeLink : public tbapp::MapEditorLink {
public:
    void setJumpTexts(const QString& x, const QString& y) override {
        jumpX = x;
        jumpY = y;
    }
    void jumpToBoxes() override { jumps << QString("%1,%2").arg(jumpX, jumpY); }
    int currentX() const override { return 0; }
    int currentY() const override { return 0; }
    const tb::MapImage* loadedMap() override {
        ++mapRequests;
        if (watched) {
            labelShownWhileBuilding = buildingLabel(*watched)->isVisible();
            const QCursor* cursor = QApplication::overrideCursor();
            hourglassWhileBuilding = cursor && cursor->shape() == Qt::WaitCursor;
        }
        return map;
    }
    tb::MapDocument* mapDocument() override { return nullptr; } // the overview only reads
    void repaintMap() override {}
    void saveMap(std::function<void()>) override {}
    void mapFileWritten(const std::filesystem::path&) override {}

    const tb::MapImage* map = nullptr;
    QString jumpX, jumpY;
    QStringList jumps;
    int mapRequests = 0;
    tbapp::OverviewWindow* watched = nullptr;
    bool labelShownWhileBuilding = false;
    bool hourglassWhileBuilding = false;
};

bool allBlack(const QImage& image) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) != 0)
                return false;
    return true;
}

// A press at exactly `at` (QTest's clicks take the point (0, 0) for the widget's centre).
void pressAt(QWidget* widget, Qt::MouseButton button, QPoint at) {
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), widget->mapToGlobal(QPointF(at)),
                      button, button, Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
}

// Fills the 64 cells of block (bx, by) with `tile`, then puts `sample` at its cell (1, 1).
void fillBlock(tb::MapImage& map, int bx, int by, std::uint16_t tile, std::uint16_t sample) {
    for (int dy = 0; dy < 8; ++dy)
        for (int dx = 0; dx < 8; ++dx)
            map.setCell(bx * 8 + dx, by * 8 + dy, {tile, 0});
    map.setCell(bx * 8 + 1, by * 8 + 1, {sample, 0});
}

} // namespace

class OverviewWindowTest : public QObject {
    Q_OBJECT

    tbtest::TempDir m_dir;
    tb::RadarColours m_radar;
    std::unique_ptr<tb::MapImage> m_map;
    tbtest::RecordingPrompts m_prompts;

    void showAndBuild(tbapp::OverviewWindow& form) {
        form.show();
        QTRY_VERIFY(form.isBuilt());
    }

private slots:
    void initTestCase() {
        std::vector<unsigned char> words;
        for (int id = 0; id < tb::RadarColours::kEntriesRead; ++id) {
            words.push_back(static_cast<unsigned char>(radarWord(id) & 0xFF));
            words.push_back(static_cast<unsigned char>(radarWord(id) >> 8));
        }
        tbtest::writeBytes(m_dir / "radarcol.mul", words);
        m_radar.read(m_dir / "radarcol.mul");
        QVERIFY(m_radar.colour(0) != m_radar.colour(5));

        m_map =
            std::make_unique<tb::MapImage>(std::vector<unsigned char>(std::size_t(kIlshenarSize)),
                                           tb::identifyMapVariant("map2.mul", kIlshenarSize));
        QVERIFY(m_map->hasGeometry());
        fillBlock(*m_map, 3, 5, 5, 0); // tile 0 sampled among tile 5
        fillBlock(*m_map, 4, 5, 0, 5); // tile 5 sampled among tile 0
        fillBlock(*m_map, 0, 0, 0, 7);
        fillBlock(*m_map, 10, 20, 1, 16382); // the last id with a radar colour
        fillBlock(*m_map, 11, 20, 1, 16383); // the first id without one
        fillBlock(*m_map, 12, 20, 1, 40000);
        fillBlock(*m_map, 287, 199, 0, 300); // the last block
    }

    void controlsAndSizeFromTheMapSize() {
        FakeLink link;
        tbapp::OverviewWindow form(
            link, m_radar, tb::MapSize{2304, 1600}, [] { return true; }, m_prompts);
        QCOMPARE(form.objectName(), QString("TMapViewForm"));
        QCOMPARE(form.windowTitle(), QString("Tolvane Brimholt - Overview"));
        QVERIFY(form.isModal());
        QCOMPARE(pictureLabel(form)->size(), QSize(288, 200));
        QCOMPARE(form.picture().size(), QSize(288, 200));
        // Sized around the picture, with the statics box under it.
        QCOMPARE(form.width(), 288);
        QVERIFY(form.height() > 200);
        QCOMPARE(buildingLabel(form)->pos(), QPoint(8, 16));
        QCOMPARE(buildingLabel(form)->text(), QString("Building map overview ..."));
        QCOMPARE(buildingLabel(form)->font().pixelSize(), 16);
        QCOMPARE(buildingLabel(form)->font().family(), QString("Tahoma"));
        QVERIFY(buildingLabel(form)->isHidden());

        tbapp::OverviewWindow large(
            link, m_radar, tb::MapSize{7168, 4096}, [] { return true; }, m_prompts);
        QCOMPARE(pictureLabel(large)->size(), QSize(896, 512));
        tbapp::OverviewWindow tokuno(
            link, m_radar, tb::MapSize{1448, 1448}, [] { return true; }, m_prompts);
        QCOMPARE(pictureLabel(tokuno)->size(), QSize(181, 181));
    }

    void buildWaitsForTheWindowAndRunsOnce() {
        FakeLink link;
        link.map = m_map.get();
        int validityAsked = 0;
        tbapp::OverviewWindow form(
            link, m_radar, tb::MapSize{2304, 1600},
            [&] {
                ++validityAsked;
                return true;
            },
            m_prompts);
        link.watched = &form;
        QCoreApplication::processEvents();
        QVERIFY(!form.isBuilt());
        QCOMPARE(link.mapRequests, 0);

        showAndBuild(form);
        QVERIFY(link.labelShownWhileBuilding);
        QVERIFY(link.hourglassWhileBuilding);
        QVERIFY(buildingLabel(form)->isHidden());
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        QCOMPARE(validityAsked, 1);

        form.hide();
        form.show();
        QTest::qWait(20);
        QCOMPARE(validityAsked, 1);
    }

    void pixelsAreTheRadarColourOfTheSampledCell() {
        FakeLink link;
        link.map = m_map.get();
        tbapp::OverviewWindow form(
            link, m_radar, tb::MapSize{2304, 1600}, [] { return true; }, m_prompts);
        showAndBuild(form);
        const QImage& picture = form.picture();
        QCOMPARE(picture.size(), QSize(288, 200));
        auto at = [&](int x, int y) { return picture.pixel(x, y) | 0xFF000000; };

        QCOMPARE(at(3, 5), expectedColour(m_radar, 0));
        QCOMPARE(at(4, 5), expectedColour(m_radar, 5));
        QCOMPARE(at(0, 0), expectedColour(m_radar, 7));
        QCOMPARE(at(1, 1), expectedColour(m_radar, 0)); // an untouched block of tile 0
        QCOMPARE(at(10, 20), expectedColour(m_radar, 16382));
        QVERIFY(at(10, 20) != qRgb(0, 0, 0));
        QCOMPARE(at(11, 20), qRgb(0, 0, 0));
        QCOMPARE(at(12, 20), qRgb(0, 0, 0));
        QCOMPARE(at(287, 199), expectedColour(m_radar, 300));
        // What is shown is the built picture.
        QCOMPARE(pictureLabel(form)->pixmap().toImage().pixel(3, 5) | 0xFF000000, at(3, 5));
    }

    void noDrawingWhenTheMapPathIsNotValid() {
        FakeLink link;
        link.map = m_map.get();
        tbapp::OverviewWindow form(
            link, m_radar, tb::MapSize{2304, 1600}, [] { return false; }, m_prompts);
        showAndBuild(form);
        QVERIFY(allBlack(form.picture()));
        QVERIFY(buildingLabel(form)->isHidden());
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }

    // A size label that does not match the map in memory draws only the shared part.
    void mapSizeLargerThanTheMapDrawsTheSharedPart() {
        FakeLink link;
        link.map = m_map.get();
        tbapp::OverviewWindow form(
            link, m_radar, tb::MapSize{7168, 4096}, [] { return true; }, m_prompts);
        showAndBuild(form);
        QCOMPARE(form.picture().size(), QSize(896, 512));
        QCOMPARE(form.picture().pixel(3, 5) | 0xFF000000, expectedColour(m_radar, 0));
        QCOMPARE(form.picture().pixel(500, 300) & 0xFFFFFF, 0u);

        tbapp::OverviewWindow smaller(
            link, m_radar, tb::MapSize{1448, 1448}, [] { return true; }, m_prompts);
        showAndBuild(smaller);
        QCOMPARE(smaller.picture().size(), QSize(181, 181));
        QCOMPARE(smaller.picture().pixel(3, 5) | 0xFF000000, expectedColour(m_radar, 0));
    }

    void pressOnThePictureJumpsAndCloses() {
        FakeLink link;
        link.map = m_map.get();
        tbapp::OverviewWindow form(
            link, m_radar, tb::MapSize{2304, 1600}, [] { return true; }, m_prompts);
        showAndBuild(form);
        pressAt(pictureLabel(form), Qt::LeftButton, QPoint(0, 0));
        QCOMPARE(link.jumps, QStringList{"0,0"});
        QVERIFY(!form.isVisible());

        tbapp::OverviewWindow again(
            link, m_radar, tb::MapSize{2304, 1600}, [] { return true; }, m_prompts);
        showAndBuild(again);
        pressAt(pictureLabel(again), Qt::RightButton, QPoint(287, 199));
        QCOMPARE(link.jumps, (QStringList{"0,0", "2296,1592"}));
        QCOMPARE(link.jumpX, QString("2296"));
        QCOMPARE(link.jumpY, QString("1592"));
        QVERIFY(!again.isVisible());
    }

    // The statics box starts as the main window's switch and redraws the picture when
    // changed; without statics read it stays off and disabled.
    void staticsBoxFollowsTheMainWindow() {
        std::vector<unsigned char> words(std::size_t(tb::StaticRadarColours::kFirstEntry) * 2, 0);
        for (int id = 0; id < 8; ++id) {
            words.push_back(id == 6 ? 0x00 : 0x21); // id 6: 0x7C00, pure red
            words.push_back(id == 6 ? 0x7C : 0x04);
        }
        tbtest::writeBytes(m_dir / "statics_radarcol.mul", words);
        tb::StaticRadarColours colours;
        colours.read(m_dir / "statics_radarcol.mul");
        tbtest::StaticsPair pair(288 * 200);
        pair.setBlock(3 * 200 + 5, {{6, 1, 1, 0}}); // on block (3, 5)'s sampled cell
        pair.setBlock(4 * 200 + 5, {{6, 2, 2, 0}}); // on block (4, 5), beside it
        const tb::StaticsMap statics(pair.index, pair.data, 288, 200);

        FakeLink link;
        link.map = m_map.get();
        tbapp::OverviewWindow form(link, m_radar, tb::MapSize{2304, 1600}, [] { return true; },
                                   m_prompts, {&statics, &colours, true});
        showAndBuild(form);
        auto at = [&](int x, int y) { return form.picture().pixel(x, y) | 0xFF000000; };
        QCOMPARE(at(3, 5), qRgb(248, 0, 0));
        QCOMPARE(at(4, 5), expectedColour(m_radar, 5));
        auto* box = tbtest::control<QCheckBox>(form, "cbShowStatics");
        QVERIFY(box->isChecked());
        box->click();
        TB_WAIT_FOR_JOBS(); // the picture is drawn again beside the window
        QCOMPARE(at(3, 5), expectedColour(m_radar, 0));

        tbapp::OverviewWindow without(link, m_radar, tb::MapSize{2304, 1600}, [] { return true; },
                                      m_prompts, {nullptr, &colours, true});
        box = tbtest::control<QCheckBox>(without, "cbShowStatics");
        QVERIFY(!box->isChecked());
        QVERIFY(!box->isEnabled());
    }

    void lastPixelOfTheLargestMap() {
        FakeLink link; // no map needed: the picture stays black
        tbapp::OverviewWindow form(
            link, m_radar, tb::MapSize{7168, 4096}, [] { return false; }, m_prompts);
        showAndBuild(form);
        pressAt(pictureLabel(form), Qt::MiddleButton, QPoint(895, 511));
        QCOMPARE(link.jumps, QStringList{"7160,4088"});
    }

    void openOverviewNeedsAMapAndAKnownSize() {
        FakeLink link;
        auto overviewWindows = [] {
            int count = 0;
            for (QWidget* w : QApplication::topLevelWidgets())
                count += qobject_cast<tbapp::OverviewWindow*>(w) != nullptr;
            return count;
        };
        const int before = overviewWindows();
        QVERIFY(!tbapp::OverviewWindow::openOverview(
            link, m_radar, tb::MapSize{2304, 1600}, [] { return true; }, m_prompts));
        link.map = m_map.get();
        QVERIFY(!tbapp::OverviewWindow::openOverview(
            link, m_radar, std::nullopt, [] { return true; }, m_prompts));
        QCOMPARE(overviewWindows(), before);
        QVERIFY(link.jumps.isEmpty());
        QCOMPARE(link.mapRequests, 2); // the two checks for a loaded map, no build

        // With both: the window runs modally (through the prompts) until a press closes it,
        // then is destroyed.
        QPointer<tbapp::OverviewWindow> seen;
        bool builtBeforeClick = false;
        bool closedByPress = false;
        m_prompts.onDialog = [&](QDialog& dialog) {
            auto* form = qobject_cast<tbapp::OverviewWindow*>(&dialog);
            if (!form)
                return int(QDialog::Rejected);
            seen = form;
            form->show();
            if (QTest::qWaitFor([form] { return form->isBuilt(); })) {
                builtBeforeClick = form->picture().pixel(3, 5) != qRgb(0, 0, 0);
                pressAt(pictureLabel(*form), Qt::LeftButton, QPoint(2, 3));
                closedByPress = !form->isVisible();
            }
            return form->result();
        };
        QVERIFY(tbapp::OverviewWindow::openOverview(
            link, m_radar, tb::MapSize{2304, 1600}, [] { return true; }, m_prompts));
        m_prompts.onDialog = nullptr;
        QVERIFY(builtBeforeClick);
        QVERIFY(closedByPress);
        QCOMPARE(link.jumps, QStringList{"16,24"});
        QVERIFY(seen.isNull());
        QCOMPARE(overviewWindows(), before);
    }

    // Closed while it draws: the build is asked to stop and the window stays until it has,
    // without waiting for it; then it closes, the cursor back and nothing said.
    void closingWhileBuildingClosesOnceTheBuildHasStopped() {
        FakeLink link;
        link.map = m_map.get();
        tbapp::OverviewWindow form(
            link, m_radar, tb::MapSize{2304, 1600}, [] { return true; }, m_prompts);
        {
            const tbtest::HeldWorkers held;
            form.show();
            QTRY_VERIFY(buildingLabel(form)->isVisible());
            form.close();
            QVERIFY(form.isVisible());
            QVERIFY(!form.isBuilt());
        }
        QTRY_VERIFY(!form.isVisible());
        QVERIFY(form.isBuilt());
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        QVERIFY(m_prompts.shown.isEmpty());
    }
};

QTEST_MAIN(OverviewWindowTest)
#include "test_overview_window.moc"
