// The map copy window: path colours and labels, the coordinate colour rules in their
// order, the refusals of Copy, and a copy run.
#include "tools/MapCopyDialog.h"

#include "TestPaths.h"
#include "ToolWindowsTestSupport.h"
#include "core/MapVariant.h"
#include "shell/PathBox.h"

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
    QLineEdit* edits[] = {form.EditSX1, form.EditSY1, form.EditSX2,
                          form.EditSY2, form.EditDX,  form.EditDY};
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
        for (QLabel* l :
             {form.TextSMapInfo, form.TextSMapSize, form.TextDMapInfo, form.TextDMapSize})
            QCOMPARE(l->text(), QString("Unknown"));
        for (QLineEdit* e :
             {form.EditSX1, form.EditSY1, form.EditSX2, form.EditSY2, form.EditDX, form.EditDY}) {
            QCOMPARE(e->text(), QString("0"));
            QCOMPARE(e->width(), 38);
            QVERIFY(!wrong(e));
        }
        QVERIFY(!form.btnCopy->isEnabled());
        QCOMPARE(form.btnCopy->text(), QString("Copy"));
        QCOMPARE(form.sourceLastX(), 0);
        QCOMPARE(form.destinationLastY(), 0);
        form.btnSourceFileClick(); // cancelled
        form.btnDestinationFileClick();
        QCOMPARE(prompts.openNames(), (QStringList{"dlgOpenSource", "dlgOpenDestination"}));
        for (const tbapp::FileDialogRequest& request : prompts.openRequests)
            QCOMPARE(request.filter, QString("Ultima Online MAP (*.mul *.uop)"));
        for (const char* name :
             {"SourceMap", "EditSourceMap", "btnSourceFile", "grp1", "DestinationMap",
              "EditDestinationMap", "btnDestinationFile", "grp2", "ProgressBar"})
            QVERIFY2(form.findChild<QWidget*>(name), name);
        QCOMPARE(form.EditSY2->nextInFocusChain(), form.EditDestinationMap);
        QCOMPARE(form.EditDY->nextInFocusChain(), form.btnCopy);
    }

    void pathsTurnGreenWhenIdentifiedAndEnableCopyTogether() {
        RecordingPrompts prompts;
        tbapp::MapCopyDialog form(prompts);
        prompts.openAnswers = {m_ilshenar};
        form.btnSourceFileClick();
        QCOMPARE(prompts.openNames(), QStringList{"dlgOpenSource"});
        QVERIFY(tbapp::isPathBoxValid(form.EditSourceMap));
        QCOMPARE(form.EditSourceMap->palette().color(QPalette::Base), QColor(0, 128, 0));
        QCOMPARE(form.TextSMapInfo->text(), QString("Ilshenar"));
        QCOMPARE(form.TextSMapSize->text(), QString("2304x1600"));
        QCOMPARE(form.sourceLastX(), 2303);
        QCOMPARE(form.sourceLastY(), 1599);
        QVERIFY(!form.btnCopy->isEnabled());

        prompts.openAnswers = {m_mondain1};
        form.btnDestinationFileClick();
        QCOMPARE(form.TextDMapInfo->text(), QString("Mondains Legacy"));
        QCOMPARE(form.TextDMapSize->text(), QString("7168x4096"));
        QVERIFY(form.btnCopy->isEnabled());

        // A path with no file turns red and keeps the labels; Copy is off.
        form.EditDestinationMap->setText(pathOf(m_dir / "none" / "map0.mul"));
        QCOMPARE(form.EditDestinationMap->palette().color(QPalette::Base), QColor(255, 0, 0));
        QCOMPARE(form.TextDMapInfo->text(), QString("Mondains Legacy"));
        QVERIFY(!form.btnCopy->isEnabled());

        // A file of no known variant: Unknown, red, bounds 0.
        form.EditDestinationMap->setText(m_odd);
        QCOMPARE(form.TextDMapInfo->text(), QString("Unknown"));
        QCOMPARE(form.TextDMapSize->text(), QString("Unknown"));
        QVERIFY(!tbapp::isPathBoxValid(form.EditDestinationMap));
        QCOMPARE(form.destinationLastX(), 0);
        QVERIFY(!form.btnCopy->isEnabled());

        // A cancelled dialog still re-checks the path.
        prompts.openAnswers = {QString()};
        form.btnDestinationFileClick();
        QCOMPARE(form.EditDestinationMap->text(), m_odd);
    }

    void coordinateColoursFollowTheirRules() {
        RecordingPrompts prompts;
        tbapp::MapCopyDialog form(prompts);
        form.EditSourceMap->setText(m_ilshenar);
        form.EditDestinationMap->setText(m_felucca);

        form.EditSX2->setText("2304");
        QVERIFY(wrong(form.EditSX2));
        form.EditSX2->setText("2303");
        QVERIFY(!wrong(form.EditSX2));
        form.EditSY1->setText("-1");
        QVERIFY(wrong(form.EditSY1));
        form.EditSY1->setText("1599");
        QVERIFY(!wrong(form.EditSY1));

        // The target runs past the destination's last column: 6000 + 200 - 0 > 6143.
        setCoords(form, {"0", "0", "200", "10", "6000", "0"});
        QVERIFY(wrong(form.EditDX));
        form.EditDX->setText("5943");
        QVERIFY(!wrong(form.EditDX));
        // Widening the rectangle re-checks the target.
        form.EditSX2->setText("201");
        QVERIFY(wrong(form.EditDX));
        // Negative is wrong even when the far edge would fit.
        setCoords(form, {"10", "0", "20", "0", "-5", "0"});
        QVERIFY(wrong(form.EditDX));
        // An empty edit keeps its colour, and so does a text that is no number (reported).
        form.EditDX->setText("");
        QVERIFY(wrong(form.EditDX));
        QVERIFY(prompts.shown.isEmpty());
        form.EditSX1->setText("77");
        form.EditSX1->setText("abc");
        QCOMPARE(prompts.shown, QStringList{"'abc' is not a valid integer value"});
        QCOMPARE(prompts.errors, prompts.shown);
        QVERIFY(!wrong(form.EditSX1));

        // A smaller destination re-checks all six against its bounds.
        setCoords(form, {"0", "0", "100", "100", "1400", "1400"});
        QVERIFY(!wrong(form.EditDX));
        form.EditDestinationMap->setText(m_tokuno);
        QVERIFY(wrong(form.EditDX));
        QVERIFY(wrong(form.EditDY));
        // A source that is not identified has bounds 0.
        form.EditSourceMap->setText(m_odd);
        QVERIFY(wrong(form.EditSX2));
        QVERIFY(!wrong(form.EditSX1));
        QCOMPARE(form.TextSMapInfo->text(), QString("Unknown"));
    }

    void copyRefusesInItsOrder() {
        RecordingPrompts prompts;
        tbapp::MapCopyDialog form(prompts);
        form.EditSourceMap->setText(m_ilshenar);
        form.EditDestinationMap->setText(m_felucca);

        setCoords(form, {"0", "0", "2304", "0", "0", "0"});
        form.btnCopyClick();
        QCOMPARE(prompts.shown.last(), QString("You entered wrong coordinates!"));

        setCoords(form, {"0", "0", "0", "0", "0", "0"});
        form.btnCopyClick();
        QCOMPARE(prompts.shown.last(), QString("Coordinates X1,Y1,X2,Y2 cannot be 0!"));

        form.EditSX1->setText("");
        form.btnCopyClick();
        QCOMPARE(prompts.errors.size(), 1);
        QCOMPARE(prompts.shown.last(), QString("'' is not a valid integer value"));

        form.EditSX1->setText("0");
        form.EditDestinationMap->setText(m_odd);
        form.btnCopyClick();
        QCOMPARE(prompts.shown.last(), QString("Unknown map!"));
        QCOMPARE(prompts.shown.size(), 4);
        QCOMPARE(form.ProgressBar->value(), 0);
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
        form.EditSourceMap->setText(source);
        form.EditDestinationMap->setText(target);
        setCoords(form, {"0", "0", "7", "7", "8", "8"});

        bool copyEnabledDuringRun = true;
        QTimer::singleShot(0, &form, [&] { copyEnabledDuringRun = form.btnCopy->isEnabled(); });
        form.btnCopyClick();
        QVERIFY(prompts.shown.isEmpty());
        QVERIFY(!copyEnabledDuringRun);
        QVERIFY(form.btnCopy->isEnabled());
        QCOMPARE(form.ProgressBar->value(), 100);
        QCOMPARE(readBytesAt(dir / "t" / "map0.mul", tb::cellOffset(15, 15, 512), 3),
                 (std::vector<unsigned char>{0x01, 0x02, 0x03}));
        QCOMPARE(readBytesAt(dir / "t" / "map0.mul", 513 * 196, 4),
                 (std::vector<unsigned char>{0x42, 0x42, 0x42, 0x42}));

        // X2 = 0: one column, the bar full, no division by zero.
        setCoords(form, {"0", "3", "0", "5", "100", "100"});
        form.ProgressBar->setValue(0);
        form.btnCopyClick();
        QVERIFY(prompts.shown.isEmpty());
        QCOMPARE(form.ProgressBar->value(), 100);

        // A destination that vanished after it was identified: reported, and Copy is back.
        fs::remove(dir / "t" / "map0.mul");
        form.btnCopyClick();
        QCOMPARE(prompts.shown.size(), 1);
        QVERIFY(form.btnCopy->isEnabled());
    }
};

QTEST_MAIN(MapCopyDialogTest)
#include "test_map_copy_dialog.moc"
