// The map copy window: path colours and labels, the coordinate colour rules in their
// order, the refusals of Copy, and a copy run.
#include "app/tools/MapCopyDialog.h"
#include "testsupport/FindControl.h"
#include "testsupport/WaitForJobs.h"

#include "TestPaths.h"
#include "ToolWindowsTestSupport.h"
#include "app/shell/PathBox.h"
#include "core/MapVariant.h"

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

namespace fs = std::filesystem;

namespace {

QString pathOf(const fs::path& p) {
    return QString::fromStdString(p.string());
}

bool wrong(const QLineEdit* edit) {
    return tbapp::MapCopyDialog::isCoordinateWrong(edit);
}

void setCoords(tbapp::MapCopyDialog& form, QStringList values) {
    QLineEdit* edits[] = {
        tbtest::control<QLineEdit>(form, "EditSX1"), tbtest::control<QLineEdit>(form, "EditSY1"),
        tbtest::control<QLineEdit>(form, "EditSX2"), tbtest::control<QLineEdit>(form, "EditSY2"),
        tbtest::control<QLineEdit>(form, "EditDX"),  tbtest::control<QLineEdit>(form, "EditDY")};
    for (QLineEdit* edit : edits)
        edit->setText(values.takeFirst());
}

} // namespace

class MapCopyDialogTest : public QObject {
    Q_OBJECT

    tbtest::TempDir m_dir;
    QString m_ilshenar, m_felucca, m_tokuno, m_mondain1, m_odd;

private slots:
    void initTestCase() {
        m_ilshenar = sparseFile(m_dir / "a" / "map2.mul", 11'289'600);
        m_felucca = sparseFile(m_dir / "b" / "map0.mul", 77'070'336);
        m_tokuno = sparseFile(m_dir / "c" / "map4.mul", 6'421'156);
        m_mondain1 = sparseFile(m_dir / "d" / "map1.mul", 89'915'392);
        m_odd = sparseFile(m_dir / "e" / "map0.mul", 16'056'320);
    }

    void startsNotReadyWithItsControls() {
        RecordingPrompts prompts;
        tbapp::MapCopyDialog form(prompts);
        QCOMPARE(form.windowTitle(), QString("Tolvane Brimholt - Map Copy"));
        for (QLabel* l : {tbtest::control<QLabel>(form, "TextSMapInfo"),
                          tbtest::control<QLabel>(form, "TextSMapSize"),
                          tbtest::control<QLabel>(form, "TextDMapInfo"),
                          tbtest::control<QLabel>(form, "TextDMapSize")})
            QCOMPARE(l->text(), QString("Unknown"));
        for (QLineEdit* e : {tbtest::control<QLineEdit>(form, "EditSX1"),
                             tbtest::control<QLineEdit>(form, "EditSY1"),
                             tbtest::control<QLineEdit>(form, "EditSX2"),
                             tbtest::control<QLineEdit>(form, "EditSY2"),
                             tbtest::control<QLineEdit>(form, "EditDX"),
                             tbtest::control<QLineEdit>(form, "EditDY")}) {
            QCOMPARE(e->text(), QString("0"));
            QCOMPARE(e->width(), 38);
            QVERIFY(!wrong(e));
        }
        QVERIFY(!tbtest::control<QPushButton>(form, "btnCopy")->isEnabled());
        QCOMPARE(tbtest::control<QPushButton>(form, "btnCopy")->text(), QString("Copy"));
        // With no map on either side every bound is 0: 1 is out of range.
        tbtest::control<QLineEdit>(form, "EditSX2")->setText("1");
        QVERIFY(wrong(tbtest::control<QLineEdit>(form, "EditSX2")));
        tbtest::control<QLineEdit>(form, "EditSX2")->setText("0");
        tbtest::control<QLineEdit>(form, "EditDY")->setText("1");
        QVERIFY(wrong(tbtest::control<QLineEdit>(form, "EditDY")));
        tbtest::control<QLineEdit>(form, "EditDY")->setText("0");
        tbtest::control<QPushButton>(form, "btnSourceFile")->click(); // cancelled
        tbtest::control<QPushButton>(form, "btnDestinationFile")->click();
        QCOMPARE(prompts.openNames(), (QStringList{"dlgOpenSource", "dlgOpenDestination"}));
        for (const tbapp::FileDialogRequest& request : prompts.openRequests)
            QCOMPARE(request.filter, QString("Ultima Online MAP (*.mul *.uop)"));
        for (const char* name :
             {"SourceMap", "EditSourceMap", "btnSourceFile", "grp1", "DestinationMap",
              "EditDestinationMap", "btnDestinationFile", "grp2", "ProgressBar"})
            QVERIFY2(form.findChild<QWidget*>(name), name);
        QCOMPARE(tbtest::control<QLineEdit>(form, "EditSY2")->nextInFocusChain(),
                 tbtest::control<QLineEdit>(form, "EditDestinationMap"));
        QCOMPARE(tbtest::control<QLineEdit>(form, "EditDY")->nextInFocusChain(),
                 tbtest::control<QPushButton>(form, "btnCopy"));
    }

    void pathsTurnGreenWhenIdentifiedAndEnableCopyTogether() {
        RecordingPrompts prompts;
        tbapp::MapCopyDialog form(prompts);
        prompts.openAnswers = {m_ilshenar};
        tbtest::control<QPushButton>(form, "btnSourceFile")->click();
        QCOMPARE(prompts.openNames(), QStringList{"dlgOpenSource"});
        QVERIFY(tbapp::isPathBoxValid(tbtest::control<QLineEdit>(form, "EditSourceMap")));
        QCOMPARE(tbtest::control<QLineEdit>(form, "EditSourceMap")->palette().color(QPalette::Base),
                 QColor(0, 128, 0));
        QCOMPARE(tbtest::control<QLabel>(form, "TextSMapInfo")->text(), QString("Ilshenar"));
        QCOMPARE(tbtest::control<QLabel>(form, "TextSMapSize")->text(), QString("2304x1600"));
        // The source's bounds are its last cell, 2303 x 1599.
        tbtest::control<QLineEdit>(form, "EditSX2")->setText("2303");
        QVERIFY(!wrong(tbtest::control<QLineEdit>(form, "EditSX2")));
        tbtest::control<QLineEdit>(form, "EditSX2")->setText("2304");
        QVERIFY(wrong(tbtest::control<QLineEdit>(form, "EditSX2")));
        tbtest::control<QLineEdit>(form, "EditSY2")->setText("1599");
        QVERIFY(!wrong(tbtest::control<QLineEdit>(form, "EditSY2")));
        tbtest::control<QLineEdit>(form, "EditSY2")->setText("1600");
        QVERIFY(wrong(tbtest::control<QLineEdit>(form, "EditSY2")));
        QVERIFY(!tbtest::control<QPushButton>(form, "btnCopy")->isEnabled());

        prompts.openAnswers = {m_mondain1};
        tbtest::control<QPushButton>(form, "btnDestinationFile")->click();
        QCOMPARE(tbtest::control<QLabel>(form, "TextDMapInfo")->text(), QString("Mondains Legacy"));
        QCOMPARE(tbtest::control<QLabel>(form, "TextDMapSize")->text(), QString("7168x4096"));
        QVERIFY(tbtest::control<QPushButton>(form, "btnCopy")->isEnabled());

        // A path with no file turns red and keeps the labels; Copy is off.
        tbtest::control<QLineEdit>(form, "EditDestinationMap")
            ->setText(pathOf(m_dir / "none" / "map0.mul"));
        QCOMPARE(
            tbtest::control<QLineEdit>(form, "EditDestinationMap")->palette().color(QPalette::Base),
            QColor(255, 0, 0));
        QCOMPARE(tbtest::control<QLabel>(form, "TextDMapInfo")->text(), QString("Mondains Legacy"));
        QVERIFY(!tbtest::control<QPushButton>(form, "btnCopy")->isEnabled());

        // A file of no known variant: Unknown, red, bounds 0.
        tbtest::control<QLineEdit>(form, "EditDestinationMap")->setText(m_odd);
        QCOMPARE(tbtest::control<QLabel>(form, "TextDMapInfo")->text(), QString("Unknown"));
        QCOMPARE(tbtest::control<QLabel>(form, "TextDMapSize")->text(), QString("Unknown"));
        QVERIFY(!tbapp::isPathBoxValid(tbtest::control<QLineEdit>(form, "EditDestinationMap")));
        tbtest::control<QLineEdit>(form, "EditSX2")->setText("0");
        tbtest::control<QLineEdit>(form, "EditDX")->setText("1");
        QVERIFY(wrong(tbtest::control<QLineEdit>(form, "EditDX")));
        tbtest::control<QLineEdit>(form, "EditDX")->setText("0");
        QVERIFY(!wrong(tbtest::control<QLineEdit>(form, "EditDX")));
        QVERIFY(!tbtest::control<QPushButton>(form, "btnCopy")->isEnabled());

        // A cancelled dialog still re-checks the path.
        prompts.openAnswers = {QString()};
        tbtest::control<QPushButton>(form, "btnDestinationFile")->click();
        QCOMPARE(tbtest::control<QLineEdit>(form, "EditDestinationMap")->text(), m_odd);
    }

    void coordinateColoursFollowTheirRules() {
        RecordingPrompts prompts;
        tbapp::MapCopyDialog form(prompts);
        tbtest::control<QLineEdit>(form, "EditSourceMap")->setText(m_ilshenar);
        tbtest::control<QLineEdit>(form, "EditDestinationMap")->setText(m_felucca);

        tbtest::control<QLineEdit>(form, "EditSX2")->setText("2304");
        QVERIFY(wrong(tbtest::control<QLineEdit>(form, "EditSX2")));
        tbtest::control<QLineEdit>(form, "EditSX2")->setText("2303");
        QVERIFY(!wrong(tbtest::control<QLineEdit>(form, "EditSX2")));
        tbtest::control<QLineEdit>(form, "EditSY1")->setText("-1");
        QVERIFY(wrong(tbtest::control<QLineEdit>(form, "EditSY1")));
        tbtest::control<QLineEdit>(form, "EditSY1")->setText("1599");
        QVERIFY(!wrong(tbtest::control<QLineEdit>(form, "EditSY1")));

        // The target runs past the destination's last column: 6000 + 200 - 0 > 6143.
        setCoords(form, {"0", "0", "200", "10", "6000", "0"});
        QVERIFY(wrong(tbtest::control<QLineEdit>(form, "EditDX")));
        tbtest::control<QLineEdit>(form, "EditDX")->setText("5943");
        QVERIFY(!wrong(tbtest::control<QLineEdit>(form, "EditDX")));
        // Widening the rectangle re-checks the target.
        tbtest::control<QLineEdit>(form, "EditSX2")->setText("201");
        QVERIFY(wrong(tbtest::control<QLineEdit>(form, "EditDX")));
        // Negative is wrong even when the far edge would fit.
        setCoords(form, {"10", "0", "20", "0", "-5", "0"});
        QVERIFY(wrong(tbtest::control<QLineEdit>(form, "EditDX")));
        // An empty edit keeps its colour, and so does a text that is no number (reported).
        tbtest::control<QLineEdit>(form, "EditDX")->setText("");
        QVERIFY(wrong(tbtest::control<QLineEdit>(form, "EditDX")));
        QVERIFY(prompts.shown.isEmpty());
        tbtest::control<QLineEdit>(form, "EditSX1")->setText("77");
        tbtest::control<QLineEdit>(form, "EditSX1")->setText("abc");
        QCOMPARE(prompts.shown, QStringList{"'abc' is not a valid integer value"});
        QCOMPARE(prompts.errors, prompts.shown);
        QVERIFY(!wrong(tbtest::control<QLineEdit>(form, "EditSX1")));

        // A smaller destination re-checks all six against its bounds.
        setCoords(form, {"0", "0", "100", "100", "1400", "1400"});
        QVERIFY(!wrong(tbtest::control<QLineEdit>(form, "EditDX")));
        tbtest::control<QLineEdit>(form, "EditDestinationMap")->setText(m_tokuno);
        QVERIFY(wrong(tbtest::control<QLineEdit>(form, "EditDX")));
        QVERIFY(wrong(tbtest::control<QLineEdit>(form, "EditDY")));
        // A source that is not identified has bounds 0.
        tbtest::control<QLineEdit>(form, "EditSourceMap")->setText(m_odd);
        QVERIFY(wrong(tbtest::control<QLineEdit>(form, "EditSX2")));
        QVERIFY(!wrong(tbtest::control<QLineEdit>(form, "EditSX1")));
        QCOMPARE(tbtest::control<QLabel>(form, "TextSMapInfo")->text(), QString("Unknown"));
    }

    void copyRefusesInItsOrder() {
        RecordingPrompts prompts;
        tbapp::MapCopyDialog form(prompts);
        tbtest::control<QLineEdit>(form, "EditSourceMap")->setText(m_ilshenar);
        tbtest::control<QLineEdit>(form, "EditDestinationMap")->setText(m_felucca);

        setCoords(form, {"0", "0", "2304", "0", "0", "0"});
        tbtest::control<QPushButton>(form, "btnCopy")->click();
        QCOMPARE(prompts.shown.last(), QString("You entered wrong coordinates!"));

        setCoords(form, {"0", "0", "0", "0", "0", "0"});
        tbtest::control<QPushButton>(form, "btnCopy")->click();
        QCOMPARE(prompts.shown.last(), QString("Coordinates X1,Y1,X2,Y2 cannot be 0!"));

        tbtest::control<QLineEdit>(form, "EditSX1")->setText("");
        tbtest::control<QPushButton>(form, "btnCopy")->click();
        QCOMPARE(prompts.errors.size(), 1);
        QCOMPARE(prompts.shown.last(), QString("'' is not a valid integer value"));

        // An unknown map turns its path red, which disables Copy.
        tbtest::control<QLineEdit>(form, "EditSX1")->setText("0");
        tbtest::control<QLineEdit>(form, "EditDestinationMap")->setText(m_odd);
        QVERIFY(!tbtest::control<QPushButton>(form, "btnCopy")->isEnabled());
        QCOMPARE(prompts.shown.size(), 3);
        QCOMPARE(tbtest::control<QProgressBar>(form, "ProgressBar")->value(), 0);
    }

    void copyWritesTheBlockAndComesBackReady() {
        tbtest::TempDir dir;
        const QString source = sparseFile(dir / "s" / "map2.mul", 11'289'600);
        const QString target = sparseFile(dir / "t" / "map0.mul", 77'070'336);
        writeCellBytes(dir / "s" / "map2.mul", tb::cellOffset(7, 7, 200), {0x01, 0x02, 0x03});
        writeCellBytes(dir / "t" / "map0.mul", 513 * 196, {0x42, 0x42, 0x42, 0x42});
        RecordingPrompts prompts;
        tbapp::MapCopyDialog form(prompts);
        form.show();
        tbtest::control<QLineEdit>(form, "EditSourceMap")->setText(source);
        tbtest::control<QLineEdit>(form, "EditDestinationMap")->setText(target);
        setCoords(form, {"0", "0", "7", "7", "8", "8"});

        // What the window shows while the copy goes on beside it.
        tbtest::control<QPushButton>(form, "btnCopy")->click();
        const bool copyEnabledDuringRun =
            tbtest::control<QPushButton>(form, "btnCopy")->isEnabled();
        TB_WAIT_FOR_JOBS();
        QVERIFY(prompts.shown.isEmpty());
        QVERIFY(!copyEnabledDuringRun);
        QVERIFY(tbtest::control<QPushButton>(form, "btnCopy")->isEnabled());
        QCOMPARE(tbtest::control<QProgressBar>(form, "ProgressBar")->value(), 100);
        QCOMPARE(readBytesAt(dir / "t" / "map0.mul", tb::cellOffset(15, 15, 512), 3),
                 (std::vector<unsigned char>{0x01, 0x02, 0x03}));
        QCOMPARE(readBytesAt(dir / "t" / "map0.mul", 513 * 196, 4),
                 (std::vector<unsigned char>{0x42, 0x42, 0x42, 0x42}));

        // X2 = 0: one column, the bar full, no division by zero.
        setCoords(form, {"0", "3", "0", "5", "100", "100"});
        tbtest::control<QProgressBar>(form, "ProgressBar")->setValue(0);
        tbtest::control<QPushButton>(form, "btnCopy")->click();
        TB_WAIT_FOR_JOBS();
        QVERIFY(prompts.shown.isEmpty());
        QCOMPARE(tbtest::control<QProgressBar>(form, "ProgressBar")->value(), 100);

        // A destination that vanished after it was identified: reported, and Copy is back.
        fs::remove(dir / "t" / "map0.mul");
        tbtest::control<QPushButton>(form, "btnCopy")->click();
        TB_WAIT_FOR_JOBS();
        QCOMPARE(prompts.shown.size(), 1);
        QVERIFY(tbtest::control<QPushButton>(form, "btnCopy")->isEnabled());
    }
};

QTEST_MAIN(MapCopyDialogTest)
#include "test_map_copy_dialog.moc"
