// Extra > "Export heightmap...", "Import heightmap..." and "Export view as PNG..." in the
// main window: the import is one undoable change of the document, a refused picture
// changes nothing, and the exported pictures hold what the map and the view hold.
#include "MainWindowFixture.h"

#include <QAction>
#include <QImage>

namespace {

struct HeightmapFixture : tbtest::MainWindowFixture {
    QString file(const std::string& name) { return tbtest::qpath(dir / name); }
    void trigger(const char* action) { tbtest::ui<QAction>(*form, action)->trigger(); }
    void importPicture(const QImage& picture, const std::string& name) {
        QVERIFY(picture.save(file(name), "PNG"));
        questions.openAnswers << file(name);
        trigger("ImportHeightmap1");
        tbtest::waitForJobs();
    }
    const tb::MapDocument& document() { return form->document(); }
};

QImage greyPicture(int width, int height, int grey) {
    QImage picture(width, height, QImage::Format_Grayscale8);
    picture.fill(QColor(grey, grey, grey));
    return picture;
}

} // namespace

class HeightmapMenuTest : public QObject {
    Q_OBJECT

private slots:
    void entriesNeedALoadedMap() {
        HeightmapFixture f;
        f.open();
        QVERIFY(!tbtest::ui<QAction>(*f.form, "ExportHeightmap1")->isEnabled());
        QVERIFY(!tbtest::ui<QAction>(*f.form, "ImportHeightmap1")->isEnabled());
        f.load();
        QVERIFY(tbtest::ui<QAction>(*f.form, "ExportHeightmap1")->isEnabled());
        QVERIFY(tbtest::ui<QAction>(*f.form, "ImportHeightmap1")->isEnabled());
    }

    // Export, shape the picture, import: altitudes follow the picture, tiles stay, the map
    // is modified and one "Undo stroke" brings every altitude back.
    void importIsOneUndoableStroke() {
        HeightmapFixture f;
        f.openLoaded();
        const std::vector<unsigned char> original = f.document().image().bytes();

        f.questions.saveAnswers << f.file("heights.png");
        f.trigger("ExportHeightmap1");
        tbtest::waitForJobs();
        QImage heights(f.file("heights.png"));
        QCOMPARE(heights.size(), QSize(2304, 1600));
        heights.convertTo(QImage::Format_Grayscale8);
        QCOMPARE(qGray(heights.pixel(1, 0)), 10 + 128);
        QCOMPARE(qGray(heights.pixel(0, 1)), -5 + 128);
        QCOMPARE(f.questions.progressRuns.size(), std::size_t(1));
        QCOMPARE(f.questions.progressRuns[0]->indices.last(), 100);

        // The picture's own bytes: setPixel on a grey picture takes colours.
        heights.scanLine(0)[1] = 128 + 40;  // (1, 0): land tile, altitude 10 -> 40
        heights.scanLine(1)[0] = 0;         // (0, 1): -5 -> -128
        heights.scanLine(1599)[2303] = 255; // the last cell -> 127
        f.importPicture(heights, "shaped.png");
        QVERIFY(f.messages.isEmpty());
        QCOMPARE(f.document().cell(1, 0), (tb::MapCell{tbtest::kLandTile, 40}));
        QCOMPARE(f.document().cell(0, 1), (tb::MapCell{tbtest::kLandTile, -128}));
        QCOMPARE(f.document().cell(2303, 1599).altitude, std::int8_t(127));
        QCOMPARE(f.document().cell(2, 0), (tb::MapCell{tbtest::kBothTile, 20}));
        QVERIFY(f.document().isModified());
        QVERIFY(f.form->isWindowModified());
        QCOMPARE(f.questions.progressRuns.size(), std::size_t(2));
        QVERIFY(!f.questions.progressRuns[1]->open);

        f.trigger("TlUndoStroke");
        QVERIFY(f.document().image().bytes() == original);
        QVERIFY(!f.document().undoList().newestStroke());
    }

    // A picture of another size is refused by name and size; the map stays as it was.
    void wrongSizeIsRefused() {
        HeightmapFixture f;
        f.openLoaded();
        const std::vector<unsigned char> original = f.document().image().bytes();
        f.importPicture(greyPicture(2304, 1599, 200), "short.png");
        QCOMPARE(f.messages.size(), 1);
        QVERIFY2(f.messages[0].contains("short.png") && f.messages[0].contains("2304 x 1599") &&
                     f.messages[0].contains("2304 x 1600"),
                 qPrintable(f.messages[0]));
        QVERIFY(f.document().image().bytes() == original);
        QVERIFY(!f.document().isModified());
        QVERIFY(f.document().undoList().empty());
        QVERIFY(f.questions.progressRuns.empty());
    }

    // Exported and imported again, a heightmap changes nothing: no change is recorded.
    void roundTripChangesNothing() {
        HeightmapFixture f;
        f.openLoaded();
        f.questions.saveAnswers << f.file("same.png");
        f.trigger("ExportHeightmap1");
        tbtest::waitForJobs();
        f.questions.openAnswers << f.file("same.png");
        f.trigger("ImportHeightmap1");
        tbtest::waitForJobs();
        QCOMPARE(f.messages,
                 QStringList{"The heightmap changes no altitude: the map stays as it is."});
        QVERIFY(!f.document().isModified());
        QVERIFY(f.document().undoList().empty());
    }

    void viewPictureIsWhatTheViewShows() {
        HeightmapFixture f;
        f.openLoaded();
        f.questions.saveAnswers << f.file("view.png");
        f.trigger("ExportViewPicture1");
        tbtest::waitForJobs();
        const QImage saved(f.file("view.png"));
        const QImage shown = tbtest::mapView(*f.form).viewPicture();
        QCOMPARE(saved.size(), f.grid().viewport()->size());
        QCOMPARE(saved.convertToFormat(QImage::Format_RGB32), shown);
        // The texture of tile 2 at (0, 0) is not black, so the picture holds the cells.
        QVERIFY((saved.pixel(f.grid().cellRect(0, 0).center()) & 0xFFFFFF) != 0);
    }
};

QTEST_MAIN(HeightmapMenuTest)
#include "test_heightmap_menu.moc"
