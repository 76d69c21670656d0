// The tool bar's glyphs come from the SVG files compiled into the program: each file is
// there, draws a picture, and is what its button shows; the stamps show their cells. Every
// button has a name a screen reader can say and a tool tip, and P, F, B and T pick their
// tools.

#include "MainWindowFixture.h"

#include "app/editor/ToolIcons.h"

#include <QAccessible>
#include <QComboBox>
#include <QFile>
#include <QSet>
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

    // Before a map and its art are loaded the stamp buttons show schematics of their cells
    // in the 3 x 3 frame, each its own, as pictures without text.
    void stampButtonsShowTheirCellsBeforeTheArtIsLoaded() {
        MainWindowFixture f;
        f.open();
        auto picture = [&](int number) {
            return ui<QToolButton>(*f.form, QString("btnHoehle%1").arg(number))
                ->icon()
                .pixmap(24, 24)
                .toImage();
        };
        for (int a = 1; a <= 14; ++a)
            for (int b = a + 1; b <= 14; ++b)
                QVERIFY2(picture(a) != picture(b), qPrintable(QString("%1 %2").arg(a).arg(b)));
        QVERIFY(ui<QToolButton>(*f.form, "btnHoehle1")->text().isEmpty());
    }

    // Through the accessibility interface, as a screen reader sees them: each tool bar
    // button has a name of its own and a tool tip; a stamp's tip names the cells it sets.
    void everyToolButtonHasAnAccessibleName() {
        MainWindowFixture f;
        f.open();
        const QList<QToolButton*> buttons =
            ui<QWidget>(*f.form, "TopPanel")->findChildren<QToolButton*>();
        // Exit, Paint, Fill, 14 stamps, Brush, Terrain, Place item, Select items, Overview,
        // Edit, Isometric view
        QCOMPARE(buttons.size(), 24);
        QSet<QString> names;
        for (QToolButton* button : buttons) {
            QAccessibleInterface* access = QAccessible::queryAccessibleInterface(button);
            QVERIFY(access);
            const QString name = access->text(QAccessible::Name);
            QVERIFY2(!name.trimmed().isEmpty(), qPrintable(button->objectName()));
            QVERIFY2(!button->toolTip().isEmpty() || !button->text().isEmpty(),
                     qPrintable(button->objectName()));
            names << name;
        }
        QCOMPARE(names.size(), buttons.size());
        QCOMPARE(ui<QToolButton>(*f.form, "btnHoehle1")->toolTip(),
                 QString("Stamp: top two rows of the 3 x 3 frame (467 468 469 / 474 475 470)"));
        QCOMPARE(ui<QToolButton>(*f.form, "btnHoehle14")->toolTip(),
                 QString("Stamp: bottom right corner of the 3 x 3 frame (471)"));
        QCOMPARE(ui<QToolButton>(*f.form, "btnCustomBrush")->toolTip(), QString("Brush"));
        QCOMPARE(QAccessible::queryAccessibleInterface(ui<QToolButton>(*f.form, "btnRectFill"))
                     ->text(QAccessible::Description),
                 QString("Fill (key F)"));
    }

    // P, F, B and T on the map view pick Paint, Fill, Brush and Terrain; typed into a text
    // box they stay text.
    void oneKeyShortcutsPickTools() {
        MainWindowFixture f;
        f.openLoaded();
        f.form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.form.get()));
        f.grid().setFocus();
        f.key(Qt::Key_B);
        QTRY_VERIFY(ui<QToolButton>(*f.form, "btnCustomBrush")->isChecked());
        f.key(Qt::Key_F);
        QTRY_VERIFY(ui<QToolButton>(*f.form, "btnRectFill")->isChecked());
        f.key(Qt::Key_T);
        QTRY_VERIFY(ui<QToolButton>(*f.form, "btnTerrain")->isChecked());
        f.key(Qt::Key_P);
        QTRY_VERIFY(ui<QToolButton>(*f.form, "btnDefault")->isChecked());

        auto* brushBox = ui<QComboBox>(*f.form, "cbCustomBrushes");
        brushBox->setFocus();
        brushBox->clearEditText();
        QTest::keyClicks(brushBox, "fb");
        QCOMPARE(brushBox->currentText(), QString("fb"));
        QTest::qWait(150);
        QVERIFY(ui<QToolButton>(*f.form, "btnDefault")->isChecked());
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
