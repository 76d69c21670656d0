// Pictures written and read by the heightmap and view exports: a stop asked for while a
// large picture is encoded or decoded ends the work there, and the file stays as it was.
#include "render/PictureFiles.h"

#include "TestPaths.h"
#include "shell/Progress.h"

#include <QRandomGenerator>
#include <QtTest>

#include <atomic>

namespace {

// Asks to stop once the work has looked three times: in the middle of the coding.
class StopSoon : public tb::Progress {
public:
    void report(std::string_view, std::int64_t, std::int64_t) override {}
    bool stopRequested() const override { return ++looked > 3; }
    mutable std::atomic<int> looked{0};
};

} // namespace

class PictureFilesTest : public QObject {
    Q_OBJECT
private slots:
    void aStopWhileCodingEndsThereAndLeavesTheFile() {
        tbtest::TempDir dir;
        const std::filesystem::path file = dir / "heights.png";
        tbtest::writeBytes(file, {'o', 'l', 'd'});
        // Noise does not compress: its PNG goes out in many pieces.
        QImage noise(1024, 1024, QImage::Format_Grayscale8);
        for (int y = 0; y < noise.height(); ++y)
            QRandomGenerator(y).fillRange(reinterpret_cast<quint32*>(noise.scanLine(y)), 256);

        StopSoon encoding;
        QVERIFY_THROWS_EXCEPTION(tb::OperationStopped,
                                 tbrender::writePngFile(noise, file, encoding, "stopped"));
        QVERIFY(encoding.looked < 10); // it ended at the stop, not at the end
        QCOMPARE(tbtest::readBytes(file), (std::vector<unsigned char>{'o', 'l', 'd'}));
        QCOMPARE(tbtest::entriesIn(dir.path()), std::size_t(1));

        tbrender::writePngFile(noise, file);
        StopSoon decoding;
        QVERIFY_THROWS_EXCEPTION(tb::OperationStopped,
                                 tbrender::readPictureFile(file, {}, decoding, "stopped"));
        QVERIFY(decoding.looked < 10);
        QCOMPARE(tbrender::readPictureFile(file), noise);
    }
};

QTEST_MAIN(PictureFilesTest)
#include "test_picture_files.moc"
