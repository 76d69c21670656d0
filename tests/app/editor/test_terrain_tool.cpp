// The Terrain tool in the main window on the demo terrains: sand painted onto grass gets its
// transitions, water (which the demo joins to sand only) leaves its edges marked, outlined on
// the map and listed in the dock a click away; undo takes each stroke back whole. Fix edges
// over the item selection, over a rectangle asked for, and over the whole map as a job. The
// terrain editor puts a tile with its corners into the file and adds a terrain type.
#include "MainWindowFixture.h"

#include "app/terrain/FixAreaDialog.h"
#include "app/terrain/TerrainEditorDialog.h"
#include "catalogue/TerrainFile.h"
#include "editor/TerrainEdits.h"

#include "TestPaths.h"

#include <QComboBox>
#include <QDockWidget>
#include <QListView>
#include <QListWidget>
#include <QSpinBox>
#include <QToolButton>

namespace {

constexpr std::uint16_t kGrass = 0x0003;
constexpr tb::CellRect kField{40, 40, 79, 79};

struct TerrainWindow : tbtest::MainWindowFixture {
    TerrainWindow() {
        std::filesystem::create_directories(appDir / "terrains");
        std::filesystem::copy_file(tbtest::sourceDir() / "data" / "terrains" / "demo.xml",
                                   appDir / "terrains" / "demo.xml");
        // A field of grass amid the test map's patterned tiles.
        tb::MapImage map = tbtest::makeTestMap();
        for (std::int32_t y = kField.top; y <= kField.bottom; ++y)
            for (std::int32_t x = kField.left; x <= kField.right; ++x)
                map.setCell(x, y, {kGrass, 7});
        tbtest::writeBytes(mapPath, map.bytes());
    }
    tbapp::MapEditorWindow& start() {
        openLoaded();
        jump(40, 40);
        tbtest::ui<QToolButton>(*form, "btnTerrain")->click();
        return *form;
    }
    QListWidget& terrains() { return *tbtest::ui<QListWidget>(*form, "TerrainList"); }
    void choose(const QString& terrain) {
        const QList<QListWidgetItem*> found = terrains().findItems(terrain, Qt::MatchExactly);
        QVERIFY(found.size() == 1);
        terrains().setCurrentItem(found.front());
    }
    std::uint16_t tile(int x, int y) { return form->document().cell(x, y).tileId; }
    void trigger(const char* action) { tbtest::ui<QAction>(*form, action)->trigger(); }
    // The colour the view shows at a viewport point.
    QColor shownAt(const QPoint& point) {
        return grid().viewport()->grab().toImage().pixelColor(point);
    }
    // Whether every cell of `cells` fits the corners around it.
    bool fits(const tb::CellRect& cells) {
        return tb::checkTerrain(form->document().image(), form->terrainTool().tiles(), cells)
            .empty();
    }
};

// The demo's fill tiles.
bool isSand(std::uint16_t tile) {
    return tile >= 0x0016 && tile <= 0x0019;
}
bool isWater(std::uint16_t tile) {
    return tile >= 0x00A8 && tile <= 0x00AB;
}

} // namespace

class TerrainToolTest : public QObject {
    Q_OBJECT

private slots:
    void paintsTransitionsMarksWhatIsMissingAndUndoes() {
        TerrainWindow f;
        tbapp::MapEditorWindow& form = f.start();
        auto* panel = tbtest::ui<QDockWidget>(form, "TerrainPanel");
        QVERIFY(panel->isVisible());
        QCOMPARE(tbtest::ui<QComboBox>(form, "TerrainFileBox")->currentText(), QString("demo"));
        QCOMPARE(f.terrains().count(), 3);
        QCOMPARE(f.terrains().item(1)->text(), QString("Sand"));
        QVERIFY(!f.terrains().item(1)->icon().isNull());

        // The panel's brush size is Paint's.
        tbtest::ui<QSpinBox>(form, "TerrainBrushSize")->setValue(2);
        QCOMPARE(tbtest::ui<QSpinBox>(form, "BrushSizeMover")->value(), 2);

        // Sand: fills under the brush, the demo's transitions around it, the altitude kept.
        f.choose("Sand");
        f.clickCell(50, 50);
        for (const auto& [x, y] : {std::pair{50, 50}, {51, 50}, {50, 51}, {51, 51}})
            QVERIFY2(isSand(f.tile(x, y)), qPrintable(QString::number(f.tile(x, y))));
        QCOMPARE(f.tile(49, 49), std::uint16_t(0x0033)); // Grass Grass Grass Sand
        QCOMPARE(f.tile(52, 52), std::uint16_t(0x003A)); // Sand Grass Grass Grass
        QCOMPARE(f.tile(50, 49), std::uint16_t(0x0035)); // Grass Grass Sand Sand
        QCOMPARE(form.document().cell(49, 49).altitude, std::int8_t(7));
        QVERIFY(f.fits({45, 45, 56, 56}));
        QCOMPARE(tbtest::ui<QAction>(form, "TlUndoStroke")->text(), QString("Undo Terrain"));
        auto* dock = tbtest::ui<QDockWidget>(form, "MissingTransitions");
        QVERIFY(!dock->isVisible());

        // Water joins no grass in the demo: its edge keeps its grass, outlined and listed.
        f.choose("Water");
        f.clickCell(60, 60);
        QVERIFY(isWater(f.tile(60, 60)));
        QCOMPARE(f.tile(59, 59), kGrass);
        QVERIFY(dock->isVisible());
        auto* list = tbtest::ui<QListView>(form, "MissingTransitionList");
        QCOMPARE(list->model()->rowCount(), 12);
        QCOMPARE(list->model()->index(0, 0).data().toString(), QString("59, 59"));
        QVERIFY(tbtest::ui<QLabel>(form, "MissingTransitionCount")->text().startsWith("12 cells"));
        const QRect marked = f.grid().cellRect(59, 59);
        QCOMPARE(f.shownAt(marked.topLeft() + QPoint(1, marked.height() / 2)), QColor(235, 20, 20));
        const QRect painted = f.grid().cellRect(60, 60);
        QVERIFY(f.shownAt(painted.topLeft() + QPoint(1, painted.height() / 2)) !=
                QColor(235, 20, 20));

        // A listed cell is a click away: the view jumps there.
        const QModelIndex last = list->model()->index(11, 0);
        QCOMPARE(last.data().toString(), QString("62, 62"));
        list->scrollTo(last);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                          list->visualRect(last).center());
        QCOMPARE(f.grid().col(), 62);
        QCOMPARE(f.grid().row(), 62);
        QCOMPARE(tbtest::ui<QLineEdit>(form, "XJumpEdit")->text(), QString("62"));
        QCOMPARE(f.tile(62, 62), kGrass); // the jump paints nothing

        // Undo takes the water back, and its marks; then the sand.
        f.trigger("TlUndoStroke");
        QCOMPARE(f.tile(60, 60), kGrass);
        QCOMPARE(list->model()->rowCount(), 0);
        QCOMPARE(tbtest::ui<QLabel>(form, "MissingTransitionCount")->text(),
                 QString("No missing transitions."));
        f.trigger("TlUndoStroke");
        QCOMPARE(f.tile(49, 49), kGrass);
        QVERIFY(!form.document().isModified());
        QVERIFY2(f.messages.isEmpty(), qPrintable(f.messages.join(" / ")));
    }

    void fixEdgesOverTheSelectionARectangleOrTheWholeMap() {
        TerrainWindow f;
        tbapp::MapEditorWindow& form = f.start();
        f.choose("Sand");
        f.clickCell(50, 50);
        // Grass put back by hand into the sand: its edges no longer fit.
        {
            tb::MapDocument::Edit edit(form.document());
            edit.write(50, 50, {kGrass, 7});
        }
        QVERIFY(!f.fits(kField));

        // The item selection's rectangle, as the Select tool leaves it.
        tbtest::ui<QToolButton>(form, "btnSelectItems")->click();
        f.clickCell(50, 50);
        QCOMPARE(form.selectItemsTool().selection().cells, (tb::CellRect{50, 50, 50, 50}));
        f.trigger("FixTerrainEdges1");
        QCOMPARE(f.messages.size(), 1);
        QCOMPARE(f.messages.takeFirst(),
                 QString("Fix edges from 50, 50 to 50, 50: 1 cell changed, no transition is "
                         "missing."));
        QVERIFY(isSand(f.tile(50, 50)));
        QCOMPARE(tbtest::ui<QAction>(form, "TlUndoStroke")->text(), QString("Undo Terrain"));
        f.trigger("TlUndoStroke");
        QCOMPARE(f.tile(50, 50), kGrass);

        // Without a selection (the Terrain tool took it away) a rectangle is asked for.
        tbtest::ui<QToolButton>(form, "btnTerrain")->click();
        QVERIFY(form.selectItemsTool().selection().cells.isEmpty());
        f.questions.onDialog = [](QDialog& dialog) {
            auto& area = dynamic_cast<tbapp::FixAreaDialog&>(dialog);
            area.setArea({45, 45, 56, 56});
            return int(QDialog::Accepted);
        };
        tbtest::ui<QPushButton>(form, "TerrainFixEdges")->click();
        QCOMPARE(f.messages.takeFirst(),
                 QString("Fix edges from 45, 45 to 56, 56: 1 cell changed, no transition is "
                         "missing."));
        QVERIFY(f.fits(kField));
        f.trigger("TlUndoStroke");

        // The whole map is a job with a progress window; it ends in one undo step.
        f.questions.onDialog = [](QDialog&) { return int(QDialog::Accepted); };
        f.trigger("FixTerrainEdges1");
        TB_WAIT_FOR_JOBS();
        QCOMPARE(f.questions.progressRuns.size(), std::size_t(1));
        QCOMPARE(f.messages.size(), 1);
        QVERIFY2(f.messages.front().startsWith("Fix edges from 0, 0 to 2303, 1599: "),
                 qPrintable(f.messages.front()));
        QVERIFY(isSand(f.tile(50, 50)));
        QVERIFY(f.fits(kField));
        const std::size_t marks = form.terrainTool().missing().size();
        QCOMPARE(tbtest::ui<QListView>(form, "MissingTransitionList")->model()->rowCount(),
                 int(marks));
        f.trigger("TlUndoStroke");
        QCOMPARE(f.tile(50, 50), kGrass);

        // Cancelled, it changes nothing.
        f.messages.clear();
        f.questions.cancelAtItem = 0;
        f.trigger("FixTerrainEdges1");
        TB_WAIT_FOR_JOBS();
        QCOMPARE(f.tile(50, 50), kGrass);
        QCOMPARE(f.messages, QStringList{"Fix edges was stopped: the map stays as it was."});
    }

    void editorSetsCornersAndTerrainsAndSaves() {
        TerrainWindow f;
        tbapp::MapEditorWindow& form = f.start();
        f.questions.inputAnswers = {"Snow"};
        f.questions.onDialog = [](QDialog& dialog) {
            auto& editor = dynamic_cast<tbapp::TerrainEditorDialog&>(dialog);
            editor.chooseTile(0x0200);
            tbtest::ui<QPushButton>(editor, "TerrainTypeAdd")->click();
            auto* list = tbtest::ui<QListWidget>(editor, "TerrainTypeList");
            if (list->currentItem()->text() != "Snow")
                return int(QDialog::Rejected);
            // Three corners by clicks into the picture, the fourth through its box.
            auto* corners = tbtest::ui<QWidget>(editor, "TerrainCorners");
            const QSize size = corners->size();
            QTest::mouseClick(corners, Qt::LeftButton, {}, QPoint(5, 5));
            QTest::mouseClick(corners, Qt::LeftButton, {}, QPoint(size.width() - 5, 5));
            QTest::mouseClick(corners, Qt::LeftButton, {}, QPoint(5, size.height() - 5));
            list->setCurrentRow(0); // Grass
            tbtest::ui<QComboBox>(editor, "TerrainCornerBottomRight")->setCurrentIndex(1);
            tbtest::ui<QSpinBox>(editor, "TerrainTileChance")->setValue(5);
            tbtest::ui<QPushButton>(editor, "TerrainSave")->click();
            return int(QDialog::Accepted);
        };
        tbtest::ui<QPushButton>(form, "TerrainEdit")->click();
        QVERIFY2(f.messages.isEmpty(), qPrintable(f.messages.join(" / ")));

        const tb::TerrainSet saved = tb::readTerrainFile(f.appDir / "terrains" / "demo.xml");
        const std::optional<tb::TerrainId> snow = saved.findTerrain("Snow");
        QVERIFY(snow);
        const tb::TerrainTile* tile = saved.findTile(0x0200);
        QVERIFY(tile);
        QCOMPARE(tile->corners, (tb::TerrainCorners{*snow, *snow, *snow, 0}));
        QCOMPARE(tile->chance, 5);
        // The panel reads the file again.
        QCOMPARE(f.terrains().count(), 4);
        QCOMPARE(f.terrains().item(3)->text(), QString("Snow"));
        QCOMPARE(form.terrainTool().tiles().corners(0x0200),
                 tb::packCorners({*snow, *snow, *snow, 0}));
    }

    // A file that cannot be read leaves the tool without terrains and the panel says where
    // it went wrong; a Save that cannot write names the file.
    void filesThatFailAreNamed() {
        TerrainWindow f;
        tbtest::writeText(f.appDir / "terrains" / "broken.xml",
                          "<Terrains>\r\n  <Terrain Name=\"Grass\" Colour=\"#3C8C28\"/>\r\n"
                          "  <Tile Id=\"$0003\" Corners=\"Grass Grass Mud Grass\"/>\r\n"
                          "</Terrains>\r\n");
        tbapp::MapEditorWindow& form = f.start();
        auto* files = tbtest::ui<QComboBox>(form, "TerrainFileBox");
        QCOMPARE(files->count(), 2);
        files->setCurrentText("broken");
        QCOMPARE(f.terrains().count(), 0);
        const QString problem = tbtest::ui<QLabel>(form, "TerrainProblem")->text();
        QVERIFY2(problem.contains("broken.xml") && problem.contains("line 3") &&
                     problem.contains("Mud"),
                 qPrintable(problem));
        QVERIFY(!tbtest::ui<QPushButton>(form, "TerrainFixEdges")->isEnabled());
        QVERIFY(!tbtest::ui<QPushButton>(form, "TerrainEdit")->isEnabled());
        f.clickCell(50, 50);
        QCOMPARE(f.tile(50, 50), kGrass);

        const std::filesystem::path nowhere = f.appDir / "no-such-folder" / "demo.xml";
        tbapp::TerrainEditorDialog editor(nowhere, form.terrainTool().terrains(), {}, f.questions,
                                          0x0003, &form);
        QVERIFY(!editor.save());
        QCOMPARE(f.questions.errors.size(), 1);
        QVERIFY2(f.questions.errors[0].contains("demo.xml"), qPrintable(f.questions.errors[0]));
        QVERIFY(!std::filesystem::exists(nowhere));
    }
};

QTEST_MAIN(TerrainToolTest)
#include "test_terrain_tool.moc"
