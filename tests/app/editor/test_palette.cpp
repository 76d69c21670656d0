// The tile palette of the editor window: the texture list menu, "Go" in both views, a
// click on a palette cell, the drawn cells, and the catalogue commands that rebuild the
// palette, the drawing-mode list and the brush box (Options OK, brush "Edit").

#include "PaintFixture.h"

#include "app/catalogue/BrushEditorDialog.h"
#include "app/catalogue/CatalogueContext.h"
#include "app/catalogue/OptionsDialog.h"
#include "app/shell/RadioGroup.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

#include <functional>

using namespace tbtest;
namespace fs = std::filesystem;

namespace {

QStringList menuCaptions(const tbapp::MapEditorWindow& form, QStringList* checked = nullptr) {
    QStringList captions;
    for (QAction* action : tbtest::ui<QMenu>(form, "pmCustomTextures")->actions()) {
        captions << action->text();
        if (checked && action->isChecked())
            *checked << action->text();
    }
    return captions;
}

QAction* menuEntry(const tbapp::MapEditorWindow& form, const QString& caption) {
    for (QAction* action : tbtest::ui<QMenu>(form, "pmCustomTextures")->actions())
        if (action->text() == caption)
            return action;
    return nullptr;
}

// The visible palette drawn as a repaint would draw it.
QImage renderPalette(tbapp::DrawGrid* grid) {
    QImage image(grid->viewport()->size(), QImage::Format_RGB32);
    image.fill(Qt::magenta);
    grid->renderCells(image, image.rect());
    return image;
}

// Answers the catalogue dialogs: runs `work` on the dialog instead of showing it.
class ScriptedPrompts : public RecordingPrompts {
public:
    std::function<int(QDialog&)> onDialog;
    QStringList shown;
    void showMessage(QWidget*, const QString& text) override { shown << text; }
    void showError(QWidget*, const QString& text) override { shown << text; }
    bool confirm(QWidget*, const QString&) override { return true; }
    std::optional<QString> answer;
    std::optional<QString> inputText(QWidget*, const QString&, const QString&,
                                     const QString&) override {
        return answer;
    }
    int execDialog(QDialog& dialog) override { return onDialog(dialog); }
};

} // namespace

class PaletteTest : public QObject {
    Q_OBJECT

private slots:
    void startUpListsAndTheListMenu() {
        PaintFixture f;
        writeText(f.appDir / "textures" / "other.lst", "textureid=$0005\r\n6\r\n");
        writeText(f.appDir / "textures" / "bad.lst", "$0001\r\ntextureid=$0003=x\r\n$0002\r\n");
        tbapp::MapEditorWindow& form = f.open(false);
        QCOMPARE(tbtest::palette(form).sortedRows(),
                 (std::vector<std::string>{"0002", "0010", "0003"}));
        QCOMPARE(tbtest::ui<tbapp::DrawGrid>(form, "SortedTextureGrid")->rowCount(), 3);
        QCOMPARE(tbtest::ui<tbapp::DrawGrid>(form, "TextureDrawGrid")->rowCount(), 16382);
        QCOMPARE(tbtest::ui<QComboBox>(form, "SelectDrawingModeComboBox")->count(),
                 3); // no tilelist.xml
        QStringList checked;
        QCOMPARE(menuCaptions(form, &checked),
                 (QStringList{"bad.lst", "other.lst", "tileids.lst"}));
        QCOMPARE(checked, QStringList{"tileids.lst"});
        QVERIFY(f.messages.isEmpty());

        menuEntry(form, "other.lst")->trigger();
        QCOMPARE(tbtest::palette(form).sortedRows(), (std::vector<std::string>{"0005", "0006"}));
        QCOMPARE(tbtest::ui<tbapp::DrawGrid>(form, "SortedTextureGrid")->rowCount(), 2);
        checked.clear();
        menuCaptions(form, &checked);
        QCOMPARE(checked, QStringList{"other.lst"});

        // A line that is no integer: the message, the new count, the rows before it.
        menuEntry(form, "bad.lst")->trigger();
        QCOMPARE(f.messages, QStringList{"'$0003=x' is not a valid integer value"});
        QCOMPARE(tbtest::palette(form).sortedRows().size(), std::size_t(3));
        QCOMPARE(tbtest::palette(form).sortedRows()[0], std::string("0001"));
        QCOMPARE(tbtest::ui<tbapp::DrawGrid>(form, "SortedTextureGrid")->rowCount(), 3);

        // A list that disappeared: the file error, the rows stay.
        fs::remove(f.appDir / "textures" / "other.lst");
        f.messages.clear();
        menuEntry(form, "other.lst")->trigger();
        QCOMPARE(f.messages.size(), 1);
        QCOMPARE(tbtest::palette(form).sortedRows()[0], std::string("0001"));
    }

    void goInTheSortedAndTheFullView() {
        PaintFixture f;
        tbapp::MapEditorWindow& form = f.open(false);
        const QString status = tbtest::statusText(form, 1);
        tbtest::ui<QLineEdit>(form, "edFindID")->setText("10");
        tbtest::ui<QPushButton>(form, "btnFind")->click();
        QCOMPARE(form.editorState().paletteTile, 0x10);
        QCOMPARE(tbtest::palette(form).markedRow(true), 1);
        QCOMPARE(tbtest::ui<QComboBox>(form, "SelectDrawingModeComboBox")->currentIndex(), 0);
        QCOMPARE(tbtest::statusText(form, 1), status);
        // Not in the list: nothing.
        tbtest::ui<QLineEdit>(form, "edFindID")->setText("7");
        tbtest::ui<QPushButton>(form, "btnFind")->click();
        QCOMPARE(form.editorState().paletteTile, 0x10);
        QCOMPARE(tbtest::palette(form).markedRow(true), 1);
        // Empty box: nothing; not hex: the parser's message and nothing.
        tbtest::ui<QLineEdit>(form, "edFindID")->clear();
        tbtest::ui<QPushButton>(form, "btnFind")->click();
        tbtest::ui<QLineEdit>(form, "edFindID")->setText("zz");
        tbtest::ui<QPushButton>(form, "btnFind")->click();
        QCOMPARE(f.messages, QStringList{"'$zz' is not a valid integer value"});
        QCOMPARE(form.editorState().paletteTile, 0x10);

        tbtest::ui<QCheckBox>(form, "cbSortet")->setChecked(false);
        QVERIFY(tbtest::ui<tbapp::DrawGrid>(form, "TextureDrawGrid")->isVisible());
        QVERIFY(!tbtest::ui<tbapp::DrawGrid>(form, "SortedTextureGrid")->isVisible());
        tbtest::ui<QLineEdit>(form, "edFindID")->setText("3ffd");
        tbtest::ui<QPushButton>(form, "btnFind")->click();
        QCOMPARE(form.editorState().paletteTile, 0x3FFD);
        QCOMPARE(tbtest::palette(form).markedRow(false), 16381);
        QVERIFY(tbtest::ui<tbapp::DrawGrid>(form, "TextureDrawGrid")->topRow() > 16300);
        tbtest::ui<QLineEdit>(form, "edFindID")->setText("3FFE"); // past the last row
        tbtest::ui<QPushButton>(form, "btnFind")->click();
        QCOMPARE(form.editorState().paletteTile, 0x3FFD);
        QCOMPARE(tbtest::palette(form).markedRow(false), 16381);
    }

    void clickingAPaletteCellChoosesTheTileAndTheMode() {
        PaintFixture f;
        tbapp::MapEditorWindow& form = f.open();
        QCOMPARE(tbtest::ui<QComboBox>(form, "SelectDrawingModeComboBox")->currentIndex(), 0);
        tbtest::ui<tbapp::DrawGrid>(form, "SortedTextureGrid")->selectCell(0, 2);
        QCOMPARE(form.editorState().paletteTile, 3);
        QCOMPARE(tbtest::ui<QComboBox>(form, "SelectDrawingModeComboBox")->currentIndex(), 1);
        QVERIFY2(tbtest::statusText(form, 1).endsWith("Selected tile=00 03"),
                 qPrintable(tbtest::statusText(form, 1)));
        // "Go" paints with the found tile while the status bar keeps the selected row.
        tbtest::ui<QLineEdit>(form, "edFindID")->setText("10");
        tbtest::ui<QPushButton>(form, "btnFind")->click();
        QVERIFY(tbtest::statusText(form, 1).endsWith("Selected tile=00 03"));
        f.click(40, 40);
        QCOMPARE(f.cell(40, 40).tileId, std::uint16_t(0x10));

        tbtest::ui<QCheckBox>(form, "cbSortet")->setChecked(false);
        tbtest::ui<QComboBox>(form, "SelectDrawingModeComboBox")->setCurrentIndex(0);
        tbtest::ui<tbapp::DrawGrid>(form, "TextureDrawGrid")->selectCell(0, 0x1D3);
        QCOMPARE(form.editorState().paletteTile, 0x1D3);
        QCOMPARE(tbtest::ui<QComboBox>(form, "SelectDrawingModeComboBox")->currentIndex(), 1);
        QVERIFY(tbtest::statusText(form, 1).endsWith("Selected tile=01 D3"));
        f.click(41, 40);
        QCOMPARE(f.cell(41, 40).tileId, std::uint16_t(0x1D3));
    }

    void cellsShowTheTilePictureAndTheIdLabel() {
        PaintFixture f;
        tbapp::MapEditorWindow& form = f.open(false);
        tbtest::ui<QCheckBox>(form, "cbSortet")->setChecked(false);
        QCoreApplication::processEvents(); // the full view takes its place
        tbapp::DrawGrid* full = tbtest::ui<tbapp::DrawGrid>(form, "TextureDrawGrid");
        full->setTopRow(0);
        QVERIFY(full->viewport()->height() > 4 * 65);
        const QRect both = full->cellRect(0, kBothTile);
        const QPoint inside = both.center();
        const QPoint labelSpot = both.topLeft() + QPoint(3, 3);
        // No map: no pictures, black cells; the label box is white.
        QImage image = renderPalette(full);
        QCOMPARE(QColor(image.pixel(inside)), QColor(Qt::black));
        QCOMPARE(QColor(image.pixel(labelSpot)), QColor(Qt::white));

        f.load();
        image = renderPalette(full);
        QCOMPARE(QColor(image.pixel(inside)), expectedColour(kBothTextureColour));
        const QRect missing = full->cellRect(0, kMissingTile);
        QCOMPARE(QColor(image.pixel(missing.center())), QColor(Qt::black));
        // The selected cell (row 0) has the red frame.
        QCOMPARE(QColor(image.pixel(missing.left(), missing.center().y())), QColor(255, 0, 0));

        tbtest::ui<QAction>(form, "ShowTextureID1")->trigger();
        QVERIFY(!tbtest::ui<QAction>(form, "ShowTextureID1")->isChecked());
        image = renderPalette(full);
        QCOMPARE(QColor(image.pixel(labelSpot)), expectedColour(kBothTextureColour));

        // The sorted view paints tiles without a picture white.
        tbtest::ui<QCheckBox>(form, "cbSortet")->setChecked(true);
        QCoreApplication::processEvents();
        tbapp::DrawGrid* sorted = tbtest::ui<tbapp::DrawGrid>(form, "SortedTextureGrid");
        image = renderPalette(sorted);
        QCOMPARE(QColor(image.pixel(sorted->cellRect(0, 1).center())), QColor(Qt::white));
        QCOMPARE(QColor(image.pixel(sorted->cellRect(0, 2).center())),
                 expectedColour(kBothTextureColour));
        // "Go" frames its row red.
        tbtest::ui<QLineEdit>(form, "edFindID")->setText("3");
        tbtest::ui<QPushButton>(form, "btnFind")->click();
        image = renderPalette(sorted);
        const QRect found = sorted->cellRect(0, 2);
        QCOMPARE(QColor(image.pixel(found.left(), found.center().y())), QColor(255, 0, 0));
        // Once the selection moves on, only the selected row has a red frame.
        sorted->selectCell(0, 1);
        QCOMPARE(tbtest::palette(form).markedRow(true), -1);
        image = renderPalette(sorted);
        const QRect selected = sorted->cellRect(0, 1);
        QCOMPARE(QColor(image.pixel(selected.left(), selected.center().y())), QColor(255, 0, 0));
        QCOMPARE(QColor(image.pixel(found.left(), found.center().y())),
                 expectedColour(kBothTextureColour));
        QCOMPARE(form.editorState().paletteTile, 0x10);
    }

    void optionsOkRebuildsFromTheWrittenFiles() {
        PaintFixture f;
        writeText(f.appDir / "tilelist.xml",
                  "<?xml version=\"1.0\"?>\r\n<TileList>\r\n<Tile><Name>Grass</Name>"
                  "<TileId>$0003</TileId></Tile>\r\n</TileList>\r\n");
        ScriptedPrompts prompts;
        f.windowPrompts = &prompts;
        tbapp::MapEditorWindow& form = f.open();
        QCOMPARE(tbtest::ui<QComboBox>(form, "SelectDrawingModeComboBox")->count(), 4);
        // The user adds a group, starts the list grass.lst and presses OK.
        prompts.answer = "grass.lst";
        prompts.onDialog = [](QDialog& dialog) {
            auto* options = qobject_cast<tbapp::OptionsDialog*>(&dialog);
            if (!options)
                return int(QDialog::Rejected);
            tbtest::ui<QTreeWidget>(*options, "lvSelectModes")
                ->addTopLevelItem(new QTreeWidgetItem(QStringList{"Sand", "$0005,$0006"}));
            tbtest::ui<QToolButton>(*options, "btnAddList")->click();
            tbtest::ui<QListWidget>(*options, "lbTexture")->addItem("$0007");
            tbtest::ui<QListWidget>(*options, "lbTexture")->addItem("$0003");
            return int(QDialog::Accepted);
        };
        tbtest::ui<QComboBox>(form, "SelectDrawingModeComboBox")->setCurrentIndex(3);
        tbtest::ui<QAction>(form, "Options1")->trigger();
        QVERIFY2(prompts.shown.isEmpty(), qPrintable(prompts.shown.join("; ")));
        QCOMPARE(tbtest::ui<QComboBox>(form, "SelectDrawingModeComboBox")->count(), 5);
        QCOMPARE(tbtest::ui<QComboBox>(form, "SelectDrawingModeComboBox")->itemText(4),
                 QString("Sand"));
        QCOMPARE(tbtest::ui<QComboBox>(form, "SelectDrawingModeComboBox")->currentIndex(), 0);
        tbtest::ui<QComboBox>(form, "SelectDrawingModeComboBox")->setCurrentIndex(4);
        QCOMPARE(form.editorState().group->ids,
                 (std::vector<tb::CheckedValue<std::uint16_t>>{5, 6}));
        QVERIFY(fs::exists(f.appDir / "textures" / "grass.lst"));
        QCOMPARE(tbtest::palette(form).textureListPath(), QString("textures/grass.lst"));
        QCOMPARE(tbtest::palette(form).sortedRows(), (std::vector<std::string>{"0007", "0003"}));
        QCOMPARE(tbtest::ui<tbapp::DrawGrid>(form, "SortedTextureGrid")->rowCount(), 2);
        QStringList checked;
        QVERIFY(menuCaptions(form, &checked).contains("grass.lst"));
        QCOMPARE(checked, QStringList{"grass.lst"});
        // The new group paints.
        tbtest::ui<QComboBox>(form, "SelectDrawingModeComboBox")->setCurrentIndex(4);
        tbtest::ui<QLineEdit>(form, "ZValueEdit")->setText("0");
        f.click(60, 60);
        const int tile = f.cell(60, 60).tileId;
        QVERIFY(tile == 5 || tile == 6);

        // Cancel writes nothing and rebuilds nothing.
        const auto written = fs::last_write_time(f.appDir / "tilelist.xml");
        prompts.onDialog = [](QDialog&) { return int(QDialog::Rejected); };
        tbtest::ui<QAction>(form, "Options1")->trigger();
        QCOMPARE(fs::last_write_time(f.appDir / "tilelist.xml"), written);
        QCOMPARE(tbtest::ui<QComboBox>(form, "SelectDrawingModeComboBox")->currentIndex(), 4);
    }

    void brushEditorOkRelistsAndTheBrushStamps() {
        PaintFixture f;
        writeText(f.appDir / "brushes" / "old.brs", "0,0,$0002\r\n");
        ScriptedPrompts prompts;
        f.windowPrompts = &prompts;
        tbapp::MapEditorWindow& form = f.open();
        tbtest::ui<QComboBox>(form, "cbCustomBrushes")->setCurrentText("old");
        QStringList offered;
        prompts.onDialog = [&](QDialog& dialog) {
            auto* editor = qobject_cast<tbapp::BrushEditorDialog*>(&dialog);
            if (!editor)
                return int(QDialog::Rejected);
            for (int i = 0; i < tbtest::ui<QComboBox>(*editor, "cbCustomBrushes")->count(); ++i)
                offered << tbtest::ui<QComboBox>(*editor, "cbCustomBrushes")->itemText(i);
            tbtest::ui<QLineEdit>(*editor, "edBrushName")->setText("drawn");
            // "NODRAW", then the list: row 3 is $0003
            tbtest::ui<tbapp::DrawGrid>(*editor, "smallDrawGrid")->selectCell(0, 3);
            tbtest::ui<tbapp::DrawGrid>(*editor, "BrushGrid")->selectCell(2, 1);
            tbtest::ui<QPushButton>(*editor, "BitBtn1")->click();
            return editor->result();
        };
        tbtest::ui<QToolButton>(form, "SpeedButton6")->click();
        QCOMPARE(offered, QStringList{"old"});
        QCOMPARE(tbtest::ui<QComboBox>(form, "cbCustomBrushes")->count(), 2);
        QCOMPARE(tbtest::ui<QComboBox>(form, "cbCustomBrushes")->itemText(0), QString("drawn"));
        // The listing keeps the box's text and does not reload the brush.
        QCOMPARE(tbtest::ui<QComboBox>(form, "cbCustomBrushes")->currentText(), QString("old"));
        QCOMPARE(form.editorState().brush.size(), std::size_t(1));

        tbtest::ui<QComboBox>(form, "cbCustomBrushes")->setCurrentIndex(0);
        tbtest::ui<QToolButton>(form, "btnCustomBrush")->setChecked(true);
        tbtest::ui<tbapp::RadioGroup>(form, "AltitudeRadioGroup")->setItemIndex(3);
        const tb::MapCell origin = f.cell(200, 200);
        f.click(200, 200);
        QCOMPARE(f.cell(202, 201).tileId, std::uint16_t(3));
        QCOMPARE(f.cell(200, 200), origin);
        QVERIFY(form.document().undoList().empty());
        QVERIFY(f.messages.isEmpty());
    }
};

QTEST_MAIN(PaletteTest)
#include "test_palette.moc"
