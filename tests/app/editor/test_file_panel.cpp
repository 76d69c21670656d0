// The file panel's game folder "..." asks for the folder through the prompts it was given.
#include "app/editor/FilePanel.h"
#include "app/shell/PathBox.h"
#include "testsupport/FindControl.h"
#include "testsupport/RecordingPrompts.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

class FilePanelTest : public QObject {
    Q_OBJECT
private slots:
    void theGameFolderButtonFillsTheBoxAndCancelLeavesIt() {
        QTemporaryDir game;
        for (const char* name : {"artidx.mul", "art.mul", "texidx.mul", "texmaps.mul"}) {
            QFile file(game.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        tbtest::RecordingPrompts prompts;
        tbapp::FilePanel panel(prompts, nullptr);
        auto* box = tbtest::control<QLineEdit>(panel, "UOPathEdit");
        auto* choose = tbtest::control<QPushButton>(panel, "TlSelectDir");
        QSignalSpy edited(&panel, &tbapp::FilePanel::gamePathEdited);

        prompts.folderAnswers = {game.path()};
        choose->click();
        QCOMPARE(prompts.folderTitles, QStringList{"Select Ultima Online directory:"});
        QCOMPARE(box->text(), QDir::toNativeSeparators(game.path()));
        QVERIFY(tbapp::isPathBoxValid(box));
        QCOMPARE(edited.size(), 1);
        QCOMPARE(edited.back().front().toBool(), true);

        choose->click(); // cancelled
        QCOMPARE(prompts.folderTitles.size(), 2);
        QCOMPARE(box->text(), QDir::toNativeSeparators(game.path()));
        QCOMPARE(edited.size(), 1);
    }
};

QTEST_MAIN(FilePanelTest)
#include "test_file_panel.moc"
