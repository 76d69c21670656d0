// The tool bar's glyphs come from the SVG files compiled into the program: each file is
// there, draws a picture, and is what its button shows.

#include "MainWindowFixture.h"

#include "app/editor/ToolIcons.h"

#include <QFile>
#include <QTemporaryFile>
#include <QToolButton>

using namespace tbtest;

namespace {

struct Glyph {
    const char* button; // object name of the tool bar button
    const char* resource;
};

constexpr Glyph kGlyphs[] = {
    {"btnDefault", ":/icons/paint.svg"},     {"btnRectFill", ":/icons/fill.svg"},
    {"btnCustomBrush", ":/icons/brush.svg"}, {"SpeedButton1", ":/icons/exit.svg"},
    {"TlMap", ":/icons/overview.svg"},
};

QImage pictureOf(const QIcon& icon, int size) {
    return icon.pixmap(size, size).toImage().convertToFormat(QImage::Format_ARGB32);
}

// Pixels that are more covered than see-through.
int coveredPixels(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += qAlpha(image.pixel(x, y)) >= 128;
    return count;
}

} // namespace

class ToolIconsTest : public QObject {
    Q_OBJECT

private slots:
    // Every glyph file is in the resources and draws a shape on a transparent ground at each
    // size, and each tool button shows its own file's picture, unlike the others.
    void buttonsShowTheirResourceGlyphs() {
        MainWindowFixture f;
        f.open();
        QList<QImage> shown;
        for (const Glyph& glyph : kGlyphs) {
            QVERIFY2(QFile::exists(glyph.resource), glyph.resource);
            const QIcon icon = tbapp::svgIcon(glyph.resource);
            QVERIFY2(!icon.isNull(), glyph.resource);
            for (int size : {16, 24, 48}) {
                const QImage picture = pictureOf(icon, size);
                QCOMPARE(picture.size(), QSize(size, size));
                // A glyph, not a filled square nor an empty one.
                const int covered = coveredPixels(picture);
                QVERIFY2(covered > size * size / 10, glyph.resource);
                QVERIFY2(covered < size * size * 9 / 10, glyph.resource);
            }
            const QIcon buttonIcon = ui<QToolButton>(*f.form, glyph.button)->icon();
            QVERIFY2(!buttonIcon.isNull(), glyph.button);
            QVERIFY2(pictureOf(buttonIcon, 24) == pictureOf(icon, 24), glyph.button);
            for (const QImage& other : shown)
                QVERIFY2(pictureOf(buttonIcon, 24) != other, glyph.button);
            shown << pictureOf(buttonIcon, 24);
        }
    }

    // A missing or broken file gives a null icon, not an empty picture.
    void unreadableFilesGiveNoIcon() {
        QVERIFY(tbapp::svgIcon(":/icons/no-such-glyph.svg").isNull());
        QTemporaryFile notSvg;
        QVERIFY(notSvg.open());
        notSvg.write("<svg this is not");
        notSvg.close();
        QVERIFY(tbapp::svgIcon(notSvg.fileName()).isNull());
    }
};

QTEST_MAIN(ToolIconsTest)
#include "test_tool_icons.moc"
