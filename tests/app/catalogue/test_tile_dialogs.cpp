// The group dialog and the tile picker: their grids of tileids.lst, adding ids by sight,
// "Go", and the keys that close them.
#include "CatalogueFixtures.h"
#include "testsupport/FindControl.h"

#include "app/catalogue/TileGroupDialog.h"
#include "app/catalogue/TilePickerDialog.h"
#include "app/shell/DrawGrid.h"
#include "core/ArtFiles.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

namespace {

void putLe32(std::vector<unsigned char>& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<unsigned char>(value >> (8 * i));
}

// An index whose entry `id` points at `length` bytes from offset 0; every other entry is
// missing.
std::vector<unsigned char> indexWith(std::initializer_list<int> ids, std::uint32_t length) {
    std::vector<unsigned char> index(12 * 4097, 0xFF);
    for (int id : ids) {
        putLe32(index, std::size_t(id) * 12, 0);
        putLe32(index, std::size_t(id) * 12 + 4, length);
        putLe32(index, std::size_t(id) * 12 + 8, 0);
    }
    return index;
}

std::vector<unsigned char> pixels(std::size_t count, std::uint16_t colour) {
    std::vector<unsigned char> data(count * 2);
    for (std::size_t i = 0; i < count; ++i) {
        data[2 * i] = static_cast<unsigned char>(colour);
        data[2 * i + 1] = static_cast<unsigned char>(colour >> 8);
    }
    return data;
}

std::uint16_t rawPixel(const QImage& image, int x, int y) {
    return reinterpret_cast<const std::uint16_t*>(image.constScanLine(y))[x];
}

} // namespace

class TestTileDialogs : public QObject {
    Q_OBJECT

private slots:
    void groupDialogShowsTheTileListAndAppendsIds() {
        AppFolder app;
        RecordingPrompts prompts;
        tbapp::TileGroupDialog dialog(app.context(prompts));
        QCOMPARE(dialog.windowTitle(), QString("Edit"));
        QCOMPARE(tbtest::control<tbapp::DrawGrid>(dialog, "smallDrawGrid")->rowCount(), 4);
        QCOMPARE(tbtest::control<tbapp::DrawGrid>(dialog, "smallDrawGrid")->colCount(), 1);
        QVERIFY(tbtest::control<QCheckBox>(dialog, "cbShowID")->isChecked());
        // The rows are the tiles of tileids.lst in their order.
        for (int row = 0; row < 4; ++row) {
            tbtest::control<tbapp::DrawGrid>(dialog, "smallDrawGrid")->selectCell(0, row);
            QTest::mouseClick(tbtest::control<QToolButton>(dialog, "btnAddID"), Qt::LeftButton);
        }
        QCOMPARE(tbtest::control<QPlainTextEdit>(dialog, "edTileList")->toPlainText(),
                 QString("$0003,$0004,$01D3,$0005,"));
        // The button appends "$" + id + "," and never puts a comma before it.
        tbtest::control<QPlainTextEdit>(dialog, "edTileList")->setPlainText("$0003,$0004");
        tbtest::control<tbapp::DrawGrid>(dialog, "smallDrawGrid")->selectCell(0, 2);
        QTest::mouseClick(tbtest::control<QToolButton>(dialog, "btnAddID"), Qt::LeftButton);
        QCOMPARE(tbtest::control<QPlainTextEdit>(dialog, "edTileList")->toPlainText(),
                 QString("$0003,$0004$01D3,"));
    }

    void doubleClickActsAsTheButton() {
        AppFolder app;
        RecordingPrompts prompts;
        tbapp::TileGroupDialog dialog(app.context(prompts));
        dialog.show();
        const QRect cell =
            tbtest::control<tbapp::DrawGrid>(dialog, "smallDrawGrid")->cellRect(0, 1);
        QTest::mouseDClick(tbtest::control<tbapp::DrawGrid>(dialog, "smallDrawGrid")->viewport(),
                           Qt::LeftButton, {}, cell.center());
        QCOMPARE(tbtest::control<tbapp::DrawGrid>(dialog, "smallDrawGrid")->row(), 1);
        QCOMPARE(tbtest::control<QPlainTextEdit>(dialog, "edTileList")->toPlainText(),
                 QString("$0004,"));
    }

    void goScrollsAndFramesWithoutMovingTheSelection() {
        AppFolder app;
        RecordingPrompts prompts;
        tbapp::TileGroupDialog dialog(app.context(prompts));
        dialog.show();
        tbtest::control<QLineEdit>(dialog, "edFindID")->setText("5");
        QTest::mouseClick(tbtest::control<QPushButton>(dialog, "btnFind"), Qt::LeftButton);
        QCOMPARE(tbtest::control<tbapp::DrawGrid>(dialog, "smallDrawGrid")->row(), 0);
        QImage target(tbtest::control<tbapp::DrawGrid>(dialog, "smallDrawGrid")->viewport()->size(),
                      QImage::Format_RGB32);
        tbtest::control<tbapp::DrawGrid>(dialog, "smallDrawGrid")
            ->renderCells(target, target.rect());
        const QRect found =
            tbtest::control<tbapp::DrawGrid>(dialog, "smallDrawGrid")->cellRect(0, 3);
        QCOMPARE(target.pixelColor(found.bottomRight()), QColor(Qt::red));
        // $0005 has no art: its cell is white.
        QCOMPARE(target.pixelColor(found.center()), QColor(Qt::white));
        // The button still adds the selected row.
        QTest::mouseClick(tbtest::control<QToolButton>(dialog, "btnAddID"), Qt::LeftButton);
        QCOMPARE(tbtest::control<QPlainTextEdit>(dialog, "edTileList")->toPlainText(),
                 QString("$0003,"));
        // An id the list lacks leaves the frame where it was.
        tbtest::control<QLineEdit>(dialog, "edFindID")->setText("777");
        QTest::mouseClick(tbtest::control<QPushButton>(dialog, "btnFind"), Qt::LeftButton);
        target.fill(Qt::black);
        tbtest::control<tbapp::DrawGrid>(dialog, "smallDrawGrid")
            ->renderCells(target, target.rect());
        QCOMPARE(target.pixelColor(found.bottomRight()), QColor(Qt::red));
        tbtest::control<QLineEdit>(dialog, "edFindID")->setText("g");
        QTest::mouseClick(tbtest::control<QPushButton>(dialog, "btnFind"), Qt::LeftButton);
        QCOMPARE(prompts.errors, QStringList{"'$g' is not a valid integer value"});
    }

    void idLabelsFollowShowId() {
        AppFolder app;
        RecordingPrompts prompts;
        tbapp::TileGroupDialog dialog(app.context(prompts));
        dialog.show();
        const QRect cell =
            tbtest::control<tbapp::DrawGrid>(dialog, "smallDrawGrid")->cellRect(0, 1);
        QImage target(tbtest::control<tbapp::DrawGrid>(dialog, "smallDrawGrid")->viewport()->size(),
                      QImage::Format_RGB32);
        tbtest::control<tbapp::DrawGrid>(dialog, "smallDrawGrid")
            ->renderCells(target, target.rect());
        QCOMPARE(target.pixelColor(cell.topLeft() + QPoint(2, 2)), QColor(Qt::white));
        QTest::mouseClick(tbtest::control<QCheckBox>(dialog, "cbShowID"), Qt::LeftButton);
        QVERIFY(!tbtest::control<QCheckBox>(dialog, "cbShowID")->isChecked());
        tbtest::control<tbapp::DrawGrid>(dialog, "smallDrawGrid")
            ->renderCells(target, target.rect());
        QCOMPARE(target.pixelColor(cell.topLeft() + QPoint(2, 2)), tileColour(4));
    }

    void enterInTheIdTextAndEscapeBothPressOk() {
        AppFolder app;
        RecordingPrompts prompts;
        {
            tbapp::TileGroupDialog dialog(app.context(prompts));
            dialog.show();
            tbtest::control<QPlainTextEdit>(dialog, "edTileList")->setFocus();
            tbtest::control<QPlainTextEdit>(dialog, "edTileList")->setPlainText("$0003");
            QTest::keyClick(tbtest::control<QPlainTextEdit>(dialog, "edTileList"), Qt::Key_Return);
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
            QCOMPARE(tbtest::control<QPlainTextEdit>(dialog, "edTileList")->toPlainText(),
                     QString("$0003"));
        }
        tbapp::TileGroupDialog dialog(app.context(prompts));
        dialog.show();
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }

    void aMissingTileListLeavesTheGridEmpty() {
        AppFolder app;
        QFile::remove(app.path("textures/tileids.lst"));
        RecordingPrompts prompts;
        tbapp::TileGroupDialog dialog(app.context(prompts));
        QCOMPARE(tbtest::control<tbapp::DrawGrid>(dialog, "smallDrawGrid")->rowCount(), 0);
        QCOMPARE(prompts.errors.size(), 1);
        QTest::mouseClick(tbtest::control<QToolButton>(dialog, "btnAddID"), Qt::LeftButton);
        QCOMPARE(tbtest::control<QPlainTextEdit>(dialog, "edTileList")->toPlainText(), QString());
        tbapp::TilePickerDialog picker(app.context(prompts));
        QCOMPARE(tbtest::control<tbapp::DrawGrid>(picker, "smallDrawGrid")->colCount(), 0);
        QCOMPARE(prompts.errors.size(), 2);
    }

    void dialogImagesKeepTheDialogsLimits() {
        tb::ArtFiles art;
        art.textureIndex = indexWith({3, 4096}, 8192);
        art.textureData = pixels(64 * 64, 0x7C00);
        art.artIndex = indexWith({3, 7, 9, 4096}, 2048);
        art.artData = pixels(1024, 0x001F);
        const tbapp::TileImageProvider images = tbapp::dialogTileImages(&art);
        // The texture comes first, unchanged in its 15-bit form.
        const QImage texture = images(3);
        QCOMPARE(texture.size(), QSize(64, 64));
        QCOMPARE(rawPixel(texture, 10, 10), std::uint16_t(0x7C00));
        // Textures from 4096 are refused, so the land art shows.
        const QImage land = images(4096);
        QCOMPARE(land.size(), QSize(45, 45));
        QCOMPARE(rawPixel(land, 1, 1), std::uint16_t(0x001F));
        QCOMPARE(images(9).size(), QSize(45, 45));
        QVERIFY(images(7).isNull());                           // land tiles 7 and 8 are refused
        QVERIFY(images(5).isNull());                           // no art at all
        QVERIFY(tbapp::dialogTileImages(nullptr)(3).isNull()); // no map loaded
    }

    void pickerReplacesItsTextWithTheSelectedTile() {
        AppFolder app;
        RecordingPrompts prompts;
        tbapp::TilePickerDialog picker(app.context(prompts));
        QCOMPARE(picker.windowTitle(), QString());
        QCOMPARE(tbtest::control<tbapp::DrawGrid>(picker, "smallDrawGrid")->rowCount(), 1);
        QCOMPARE(tbtest::control<tbapp::DrawGrid>(picker, "smallDrawGrid")->colCount(), 4);
        picker.setLabelText("Insert a new Item");
        QCOMPARE(tbtest::control<QLabel>(picker, "edAddTileLabel")->text(),
                 QString("Insert a new Item"));
        tbtest::control<QLineEdit>(picker, "edAddTile")->setText("$");
        tbtest::control<tbapp::DrawGrid>(picker, "smallDrawGrid")->selectCell(2, 0);
        QTest::mouseClick(tbtest::control<QToolButton>(picker, "btnAddID"), Qt::LeftButton);
        QCOMPARE(tbtest::control<QLineEdit>(picker, "edAddTile")->text(), QString("$01D3"));
        picker.show();
        const QRect cell =
            tbtest::control<tbapp::DrawGrid>(picker, "smallDrawGrid")->cellRect(1, 0);
        QTest::mouseDClick(tbtest::control<tbapp::DrawGrid>(picker, "smallDrawGrid")->viewport(),
                           Qt::LeftButton, {}, cell.center());
        QCOMPARE(tbtest::control<QLineEdit>(picker, "edAddTile")->text(), QString("$0004"));
        QTest::keyClick(&picker, Qt::Key_Escape);
        QCOMPARE(picker.result(), int(QDialog::Accepted));
    }
};

QTEST_MAIN(TestTileDialogs)
#include "test_tile_dialogs.moc"
