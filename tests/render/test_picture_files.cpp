// Pictures written and read by the heightmap and view exports: a stop asked for while a
// large picture is encoded or decoded ends the work there, and the file stays as it was.
#include "render/PictureFiles.h"

#include "TestPaths.h"
#include "shell/Progress.h"

#include <QRandomGenerator>
#include <QtTest>

#include <atomic>

namespace {

// Asks to stop once the work has looked `looks` times: in the middle of the coding.
class StopAfter : public tb::Progress {
public:
    explicit StopAfter(int looks) : m_looks(looks) {}
    void report(std::string_view, std::int64_t, std::int64_t) override {}
    bool stopRequested() const override { return ++m_looked > m_looks; }
    int looked() const { return m_looked; }

private:
    int m_looks;
    mutable std::atomic<int> m_looked{0};
};

// Noise does not compress: its PNG goes out in many pieces.
QImage noise(int side) {
    QImage image(side, side, QImage::Format_Grayscale8);
    for (int y = 0; y < side; ++y)
        QRandomGenerator(y).fillRange(reinterpret_cast<quint32*>(image.scanLine(y)), side / 4);
    return image;
}

} // namespace

class PictureFilesTest : public QObject {
    Q_OBJECT
private slots:
    void aStopWhileCodingEndsThereAndLeavesTheFile() {
        tbtest::TempDir dir;
        const std::filesystem::path file = dir / "heights.png";
        tbtest::writeBytes(file, {'o', 'l', 'd'});
        const QImage picture = noise(1024);

        StopAfter encoding(3);
        QVERIFY_THROWS_EXCEPTION(tb::OperationStopped,
                                 tbrender::writePngFile(picture, file, encoding, "stopped"));
        QCOMPARE(tbtest::readBytes(file), (std::vector<unsigned char>{'o', 'l', 'd'}));
        QCOMPARE(tbtest::entriesIn(dir.path()), std::size_t(1));
        QVERIFY(encoding.looked() < 10); // it ended at the stop, not at the end

        tbrender::writePngFile(picture, file);
        StopAfter decoding(3);
        QVERIFY_THROWS_EXCEPTION(tb::OperationStopped,
                                 tbrender::readPictureFile(file, {}, decoding, "stopped"));
        QVERIFY(decoding.looked() < 10);
        QCOMPARE(tbrender::readPictureFile(file), picture);
    }
};

QTEST_MAIN(PictureFilesTest)
#include "test_picture_files.moc"
