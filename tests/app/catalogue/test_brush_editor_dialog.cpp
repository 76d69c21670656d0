// The brush editor: drawing from the palette, resizing, loading and saving brush files.
#include "CatalogueFixtures.h"
#include "testsupport/FindControl.h"

#include "app/catalogue/BrushEditorDialog.h"
#include "app/catalogue/TileCells.h"
#include "app/shell/DrawGrid.h"
#include "app/shell/PathBox.h"

#include "TestPaths.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

namespace {

// The palette row that shows tile `id`.
int paletteRow(const tbapp::BrushEditorDialog& editor, int id) {
    return rowShowingTile(*tbtest::control<tbapp::DrawGrid>(editor, "smallDrawGrid"), id);
}

// The colour brush cell (col, row) shows.
QColor brushCell(const tbapp::BrushEditorDialog& editor, int col, int row) {
    return shownColour(*tbtest::control<tbapp::DrawGrid>(editor, "BrushGrid"), col, row);
}

void paint(tbapp::BrushEditorDialog& editor, int paletteRowIndex, int col, int row) {
    tbtest::control<tbapp::DrawGrid>(editor, "smallDrawGrid")->selectCell(0, paletteRowIndex);
    tbtest::control<tbapp::DrawGrid>(editor, "BrushGrid")->selectCell(col, row);
}

} // namespace

class BrushEditorDialogTest : public QObject {
    Q_OBJECT

private slots:
    void opensEmptyWithTheTileListAsPalette() {
        AppFolder app;
        RecordingPrompts prompts;
        tbapp::BrushEditorDialog editor(app.context(prompts));
        QCOMPARE(editor.windowTitle(), QString("Custom Brushes"));
        for (const char* name : {"edBrushName", "edRows", "edCols", "edFindID"})
            QVERIFY2(editor.findChild<QLineEdit*>(name), name);
        for (const char* name : {"BrushGrid", "smallDrawGrid"})
            QVERIFY2(editor.findChild<tbapp::DrawGrid*>(name), name);
        QCOMPARE(tbtest::control<tbapp::DrawGrid>(editor, "BrushGrid")->colCount(), 5);
        QCOMPARE(tbtest::control<tbapp::DrawGrid>(editor, "BrushGrid")->rowCount(), 5);
        QVERIFY(!tbapp::isPathBoxValid(tbtest::control<QLineEdit>(editor, "edBrushName")));
        // The palette: "NODRAW", then the tiles of tileids.lst in their order ($0005 has no
        // art and shows white).
        auto* palette = tbtest::control<tbapp::DrawGrid>(editor, "smallDrawGrid");
        QCOMPARE(palette->rowCount(), 5);
        QCOMPARE(shownColour(*palette, 0, 0), noDrawColour());
        QCOMPARE(shownColour(*palette, 0, 1), tileColour(3));
        QCOMPARE(shownColour(*palette, 0, 2), tileColour(4));
        QCOMPARE(shownColour(*palette, 0, 3), tileColour(0x1D3));
        QCOMPARE(shownColour(*palette, 0, 4), QColor(Qt::white));
        tbtest::control<QLineEdit>(editor, "edBrushName")->setText("x");
        QVERIFY(tbapp::isPathBoxValid(tbtest::control<QLineEdit>(editor, "edBrushName")));
        QVERIFY(prompts.errors.isEmpty());

        // The pen starts at "NODRAW", so a click before choosing one draws nothing; each
        // palette row below it gives its own tile.
        tbtest::control<tbapp::DrawGrid>(editor, "BrushGrid")->selectCell(4, 4);
        for (int row = 1; row <= 4; ++row)
            paint(editor, row, row - 1, 0);
        QTest::mouseClick(tbtest::control<QPushButton>(editor, "BitBtn1"), Qt::LeftButton);
        QCOMPARE(app.read("brushes/x.brs"),
                 QByteArray("0,0,$0003\r\n1,0,$0004\r\n2,0,$01D3\r\n3,0,$0005\r\n"));
    }

    void singleCellBrushIsSavedAsOneLine() {
        AppFolder app;
        RecordingPrompts prompts;
        tbapp::BrushEditorDialog editor(app.context(prompts));
        paint(editor, paletteRow(editor, 0x1D3), 2, 1);
        tbtest::control<QLineEdit>(editor, "edBrushName")->setText("Pond");
        QTest::mouseClick(tbtest::control<QPushButton>(editor, "BitBtn1"), Qt::LeftButton);
        QCOMPARE(editor.result(), int(QDialog::Accepted));
        QCOMPARE(app.read("brushes/Pond.brs"), QByteArray("2,1,$01D3\r\n"));
        QVERIFY(prompts.inputs.isEmpty());
    }

    void loadingSizesTheGridAndTheUpDowns() {
        AppFolder app;
        app.write("brushes/Corner.brs", "0,0,$0003\r\n3,2,$0004\r\n");
        RecordingPrompts prompts;
        tbapp::BrushEditorDialog editor(app.context(prompts));
        editor.setBrushNames({"Corner", "Other"});
        QCOMPARE(tbtest::control<QComboBox>(editor, "cbCustomBrushes")->count(), 2);
        QCOMPARE(tbtest::control<QComboBox>(editor, "cbCustomBrushes")->currentText(),
                 QString()); // nothing loaded yet
        tbtest::control<QComboBox>(editor, "cbCustomBrushes")->setCurrentIndex(0);
        QCOMPARE(tbtest::control<tbapp::DrawGrid>(editor, "BrushGrid")->colCount(), 4);
        QCOMPARE(tbtest::control<tbapp::DrawGrid>(editor, "BrushGrid")->rowCount(), 3);
        QCOMPARE(tbtest::control<QSpinBox>(editor, "udCols")->value(), 4);
        QCOMPARE(tbtest::control<QSpinBox>(editor, "udRows")->value(), 3);
        QCOMPARE(tbtest::control<QLineEdit>(editor, "edCols")->text(), QString("4"));
        QCOMPARE(tbtest::control<QLineEdit>(editor, "edRows")->text(), QString("3"));
        QCOMPARE(tbtest::control<QLineEdit>(editor, "edBrushName")->text(), QString("Corner"));
        QCOMPARE(brushCell(editor, 3, 2), tileColour(4));
        QCOMPARE(brushCell(editor, 1, 1), noDrawColour());
        QVERIFY(prompts.errors.isEmpty());

        // A name without a file: the error is shown and the grid is left 1 x 1.
        tbtest::control<QComboBox>(editor, "cbCustomBrushes")->setEditText("Nothing");
        QCOMPARE(prompts.errors.size(), 1);
        QCOMPARE(tbtest::control<tbapp::DrawGrid>(editor, "BrushGrid")->colCount(), 1);
        QCOMPARE(tbtest::control<tbapp::DrawGrid>(editor, "BrushGrid")->rowCount(), 1);
        QCOMPARE(tbtest::control<QSpinBox>(editor, "udRows")->value(), 1);
        // Emptying the box resets the grid without a message.
        tbtest::control<QComboBox>(editor, "cbCustomBrushes")->setEditText("Corner");
        tbtest::control<QComboBox>(editor, "cbCustomBrushes")->setEditText("");
        QCOMPARE(prompts.errors.size(), 1);
        QVERIFY(prompts.messages.isEmpty());
        QCOMPARE(tbtest::control<tbapp::DrawGrid>(editor, "BrushGrid")->colCount(), 1);
    }

    void brushNamesListTheBrushFiles() {
        AppFolder app;
        app.write("brushes/pond.brs", "");
        app.write("brushes/Boulders.BRS", "");
        app.write("brushes/readme.txt", "");
        QCOMPARE(tbapp::brushNames(app.dir.path()), QStringList({"Boulders", "pond"}));
        QDir(app.path("brushes")).removeRecursively();
        QCOMPARE(tbapp::brushNames(app.dir.path()), QStringList());
    }

    void shippedBrushesSaveBackUnchanged() {
        const std::filesystem::path data = tbtest::sourceDir() / "data" / "brushes";
        AppFolder app;
        for (const QString name : {"Pond", "Boulders"}) {
            QFile source(QString::fromStdString((data / (name + ".brs").toStdString()).string()));
            QVERIFY(source.open(QIODevice::ReadOnly));
            const QByteArray bytes = source.readAll();
            app.write("brushes/" + name + ".brs", bytes);
            RecordingPrompts prompts;
            tbapp::BrushEditorDialog editor(app.context(prompts));
            tbtest::control<QComboBox>(editor, "cbCustomBrushes")->setEditText(name);
            QTest::mouseClick(tbtest::control<QPushButton>(editor, "BitBtn1"), Qt::LeftButton);
            QVERIFY(prompts.errors.isEmpty());
            QCOMPARE(app.read("brushes/" + name + ".brs"), bytes);
        }
    }

    void aBrushBeyondTenCellsLoadsWhole() {
        AppFolder app;
        app.write("brushes/Wide.brs", "12,0,$0003\r\n0,10,$0004\r\n");
        RecordingPrompts prompts;
        tbapp::BrushEditorDialog editor(app.context(prompts));
        tbtest::control<QComboBox>(editor, "cbCustomBrushes")->setEditText("Wide");
        QCOMPARE(tbtest::control<tbapp::DrawGrid>(editor, "BrushGrid")->colCount(), 13);
        QCOMPARE(tbtest::control<tbapp::DrawGrid>(editor, "BrushGrid")->rowCount(), 11);
        QCOMPARE(tbtest::control<QSpinBox>(editor, "udCols")->value(), 10);
        QCOMPARE(tbtest::control<QLineEdit>(editor, "edCols")->text(), QString("10"));
        // Saved back unchanged under its own name.
        QTest::mouseClick(tbtest::control<QPushButton>(editor, "BitBtn1"), Qt::LeftButton);
        QCOMPARE(app.read("brushes/Wide.brs"), QByteArray("0,10,$0004\r\n12,0,$0003\r\n"));
    }

    void shrinkingBeforeSavingLeavesOutTheCellsBeyond() {
        AppFolder app;
        RecordingPrompts prompts;
        tbapp::BrushEditorDialog editor(app.context(prompts));
        paint(editor, paletteRow(editor, 3), 0, 0);
        paint(editor, paletteRow(editor, 4), 4, 4);
        paint(editor, paletteRow(editor, 0x1D3), 1, 3);
        tbtest::control<QSpinBox>(editor, "udCols")->setValue(3);
        tbtest::control<QSpinBox>(editor, "udRows")->setValue(3);
        QCOMPARE(tbtest::control<QLineEdit>(editor, "edCols")->text(), QString("3"));
        QCOMPARE(tbtest::control<tbapp::DrawGrid>(editor, "BrushGrid")->colCount(), 3);
        QCOMPARE(tbtest::control<tbapp::DrawGrid>(editor, "BrushGrid")->rowCount(), 3);
        tbtest::control<QLineEdit>(editor, "edBrushName")->setText("Small");
        QTest::mouseClick(tbtest::control<QPushButton>(editor, "BitBtn1"), Qt::LeftButton);
        QCOMPARE(app.read("brushes/Small.brs"), QByteArray("0,0,$0003\r\n"));
    }

    void noDrawPenClearsACell() {
        AppFolder app;
        RecordingPrompts prompts;
        tbapp::BrushEditorDialog editor(app.context(prompts));
        paint(editor, paletteRow(editor, 3), 0, 0);
        paint(editor, paletteRow(editor, 4), 1, 0);
        paint(editor, 0, 0, 0);
        QCOMPARE(brushCell(editor, 0, 0), noDrawColour());
        tbtest::control<QLineEdit>(editor, "edBrushName")->setText("B");
        QTest::mouseClick(tbtest::control<QPushButton>(editor, "BitBtn1"), Qt::LeftButton);
        QCOMPARE(app.read("brushes/B.brs"), QByteArray("1,0,$0004\r\n"));
    }

    void emptyNameAsksAndAnEmptyAnswerSavesNothing() {
        AppFolder app;
        RecordingPrompts prompts;
        prompts.inputAnswers = {QString(""), QString()}; // empty, then Cancel
        for (int attempt = 0; attempt < 2; ++attempt) {
            tbapp::BrushEditorDialog editor(app.context(prompts));
            paint(editor, paletteRow(editor, 3), 0, 0);
            QTest::mouseClick(tbtest::control<QPushButton>(editor, "BitBtn1"), Qt::LeftButton);
            QCOMPARE(editor.result(), int(QDialog::Accepted));
            QVERIFY(QDir(app.path("brushes")).isEmpty());
        }
        QCOMPARE(prompts.inputs, QStringList({"Brush name|Select a brush name|",
                                              "Brush name|Select a brush name|"}));

        // An answer names the file.
        prompts.inputAnswers = {QString("Asked")};
        tbapp::BrushEditorDialog editor(app.context(prompts));
        paint(editor, paletteRow(editor, 4), 1, 1);
        QTest::mouseClick(tbtest::control<QPushButton>(editor, "BitBtn1"), Qt::LeftButton);
        QCOMPARE(app.read("brushes/Asked.brs"), QByteArray("1,1,$0004\r\n"));
    }

    void decimalIdsLoadAsHexAndSaveBackUnderTheirName() {
        AppFolder app;
        app.write("brushes/Dec.brs", "2,1,467\r\n");
        RecordingPrompts prompts;
        tbapp::BrushEditorDialog editor(app.context(prompts));
        editor.setBrushNames({"Dec"});
        tbtest::control<QComboBox>(editor, "cbCustomBrushes")->setCurrentIndex(0);
        QCOMPARE(brushCell(editor, 2, 1), tileColour(0x1D3));
        QTest::mouseClick(tbtest::control<QPushButton>(editor, "BitBtn1"), Qt::LeftButton);
        QCOMPARE(app.read("brushes/Dec.brs"), QByteArray("2,1,$01D3\r\n"));
        QCOMPARE(QDir(app.path("brushes")).entryList(QDir::Files), QStringList{"Dec.brs"});
    }

    void unsafeNamesAreRefusedAndTheEditorStaysOpen() {
        AppFolder app;
        RecordingPrompts prompts;
        tbapp::BrushEditorDialog editor(app.context(prompts));
        paint(editor, paletteRow(editor, 3), 0, 0);
        editor.show();
        for (const QString name : {"../evil", "sub/x", "..\\evil", ".."}) {
            tbtest::control<QLineEdit>(editor, "edBrushName")->setText(name);
            QTest::mouseClick(tbtest::control<QPushButton>(editor, "BitBtn1"), Qt::LeftButton);
            QVERIFY(editor.isVisible());
        }
        QCOMPARE(prompts.messages.size(), 4);
        QVERIFY(prompts.messages[0].contains("brush name"));
        QVERIFY(prompts.errors.isEmpty());
        QVERIFY(!app.exists("evil.brs"));
        QVERIFY(QDir(app.path("brushes")).isEmpty());
        tbtest::control<QLineEdit>(editor, "edBrushName")->setText("Fine");
        QTest::mouseClick(tbtest::control<QPushButton>(editor, "BitBtn1"), Qt::LeftButton);
        QVERIFY(!editor.isVisible());
        QCOMPARE(app.read("brushes/Fine.brs"), QByteArray("0,0,$0003\r\n"));
    }

    void aMissingBrushesFolderIsReportedAndTheEditorCloses() {
        AppFolder app;
        QDir(app.path("brushes")).removeRecursively();
        RecordingPrompts prompts;
        tbapp::BrushEditorDialog editor(app.context(prompts));
        tbtest::control<QLineEdit>(editor, "edBrushName")->setText("Pond");
        QTest::mouseClick(tbtest::control<QPushButton>(editor, "BitBtn1"), Qt::LeftButton);
        QCOMPARE(prompts.errors.size(), 1);
        QCOMPARE(editor.result(), int(QDialog::Accepted));
        // Nothing was written anywhere in the program folder.
        QCOMPARE(QDir(app.dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList{"textures"});
    }

    void goFramesTheRowAndTakesItAsPen() {
        AppFolder app;
        RecordingPrompts prompts;
        tbapp::BrushEditorDialog editor(app.context(prompts));
        editor.resize(473, 200); // a palette shorter than its rows
        editor.show();
        tbtest::control<QLineEdit>(editor, "edFindID")->setText("1d3");
        QTest::mouseClick(tbtest::control<QPushButton>(editor, "btnFind"), Qt::LeftButton);
        QCOMPARE(tbtest::control<tbapp::DrawGrid>(editor, "smallDrawGrid")->row(),
                 0); // the current row does not move
        tbtest::control<tbapp::DrawGrid>(editor, "BrushGrid")->selectCell(1, 1);
        QCOMPARE(brushCell(editor, 1, 1), tileColour(0x1D3));
        // An id the list lacks changes nothing; a text that is no hex number is reported.
        tbtest::control<QLineEdit>(editor, "edFindID")->setText("7777");
        QTest::mouseClick(tbtest::control<QPushButton>(editor, "btnFind"), Qt::LeftButton);
        tbtest::control<tbapp::DrawGrid>(editor, "BrushGrid")->selectCell(2, 2);
        QCOMPARE(brushCell(editor, 2, 2), tileColour(0x1D3));
        tbtest::control<QLineEdit>(editor, "edFindID")->setText("xyz");
        QTest::mouseClick(tbtest::control<QPushButton>(editor, "btnFind"), Qt::LeftButton);
        QCOMPARE(prompts.errors, QStringList{"'$xyz' is not a valid integer value"});
    }

    void cellsShowTheirTilesAndTheNoDrawPicture() {
        AppFolder app;
        RecordingPrompts prompts;
        tbapp::BrushEditorDialog editor(app.context(prompts));
        editor.show();
        paint(editor, paletteRow(editor, 4), 2, 1);
        QImage target(tbtest::control<tbapp::DrawGrid>(editor, "BrushGrid")->viewport()->size(),
                      QImage::Format_RGB32);
        tbtest::control<tbapp::DrawGrid>(editor, "BrushGrid")->renderCells(target, target.rect());
        const QRect tile = tbtest::control<tbapp::DrawGrid>(editor, "BrushGrid")->cellRect(2, 1);
        QCOMPARE(target.pixelColor(tile.center()), tileColour(4));
        const QRect empty = tbtest::control<tbapp::DrawGrid>(editor, "BrushGrid")->cellRect(0, 0);
        QCOMPARE(target.pixelColor(empty.topLeft() + QPoint(22, 22)),
                 tbapp::brushNoDrawPicture().pixelColor(22, 22));
        QCOMPARE(tbapp::brushNoDrawPicture().size(), QSize(44, 44));
        QVERIFY(tbapp::brushNoDrawPicture().colorCount() <= 16);
    }

    void theEditCommandGivesTheEditorTheBrushNames() {
        AppFolder app;
        RecordingPrompts prompts;
        QStringList shown;
        prompts.onDialog = [&](QDialog& d) {
            auto& editor = dynamic_cast<tbapp::BrushEditorDialog&>(d);
            for (int i = 0; i < tbtest::control<QComboBox>(editor, "cbCustomBrushes")->count(); ++i)
                shown << tbtest::control<QComboBox>(editor, "cbCustomBrushes")->itemText(i);
            return int(QDialog::Rejected);
        };
        QVERIFY(!tbapp::runBrushEditor(app.context(prompts), nullptr, {"A", "B"}));
        QCOMPARE(shown, QStringList({"A", "B"}));
        prompts.onDialog = [](QDialog& d) {
            auto& editor = dynamic_cast<tbapp::BrushEditorDialog&>(d);
            tbtest::control<QLineEdit>(editor, "edBrushName")->setText("New");
            QTest::mouseClick(tbtest::control<QPushButton>(editor, "BitBtn1"), Qt::LeftButton);
            return editor.result();
        };
        QVERIFY(tbapp::runBrushEditor(app.context(prompts), nullptr, {}));
        QCOMPARE(tbapp::brushNames(app.dir.path()), QStringList{"New"});
    }

    void escapePressesOkAndCancelWritesNothing() {
        AppFolder app;
        RecordingPrompts prompts;
        {
            tbapp::BrushEditorDialog editor(app.context(prompts));
            paint(editor, paletteRow(editor, 3), 0, 0);
            tbtest::control<QLineEdit>(editor, "edBrushName")->setText("Cancelled");
            QTest::mouseClick(tbtest::control<QPushButton>(editor, "BitBtn2"), Qt::LeftButton);
            QCOMPARE(editor.result(), int(QDialog::Rejected));
        }
        QVERIFY(!app.exists("brushes/Cancelled.brs"));
        tbapp::BrushEditorDialog editor(app.context(prompts));
        editor.show();
        paint(editor, paletteRow(editor, 3), 0, 0);
        tbtest::control<QLineEdit>(editor, "edBrushName")->setText("Escaped");
        QTest::keyClick(&editor, Qt::Key_Escape);
        QCOMPARE(editor.result(), int(QDialog::Accepted));
        QCOMPARE(app.read("brushes/Escaped.brs"), QByteArray("0,0,$0003\r\n"));
    }
};

QTEST_MAIN(BrushEditorDialogTest)
#include "test_brush_editor_dialog.moc"
