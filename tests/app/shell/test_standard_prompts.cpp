// The prompts of the running program: the dialogs they open carry what the windows asked
// for (the file dialog's name, filter, suggested file and overwrite question; the texts and
// buttons of the boxes), and the user's answer comes back.
#include "app/shell/StandardPrompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>

namespace {

// Runs `answer` on the next modal dialog as soon as it is on screen.
void whenModal(std::function<void(QWidget*)> answer) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, answer] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            answer(modal);
        }
    });
    timer->start(10);
}

} // namespace

class StandardPromptsTest : public QObject {
    Q_OBJECT
private slots:
    void aSaveDialogIsBuiltFromTheRequestAndReturnsTheChosenFile() {
        QTemporaryDir dir;
        tbapp::StandardPrompts prompts;
        tbapp::FileDialogRequest request;
        request.name = "BHDFileSaveDialog";
        request.filter = "Tolvane BH (Version 3) (*.qmz)";
        request.directory = dir.path();
        request.defaultName = "qvpatch";
        request.defaultSuffix = "qmz";
        request.confirmOverwrite = true;

        QString seenName, seenSuffix;
        QStringList seenFilters;
        bool save = false, asksBeforeOverwrite = false, typedNameOffered = false;
        whenModal([&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            QVERIFY(dialog);
            seenName = dialog->objectName();
            seenFilters = dialog->nameFilters();
            seenSuffix = dialog->defaultSuffix();
            save = dialog->acceptMode() == QFileDialog::AcceptSave;
            asksBeforeOverwrite = !dialog->testOption(QFileDialog::DontConfirmOverwrite);
            auto* nameEdit = dialog->findChild<QLineEdit*>("fileNameEdit");
            typedNameOffered = nameEdit && nameEdit->text() == "qvpatch";
            dialog->selectFile(dir.filePath("changes"));
            static_cast<QDialog*>(dialog)->accept();
        });
        const QString chosen = prompts.saveFileName(nullptr, request);

        QCOMPARE(seenName, QString("BHDFileSaveDialog"));
        QCOMPARE(seenFilters, QStringList{"Tolvane BH (Version 3) (*.qmz)"});
        QCOMPARE(seenSuffix, QString("qmz"));
        QVERIFY(save);
        QVERIFY(asksBeforeOverwrite);
        QVERIFY(typedNameOffered);
        QCOMPARE(chosen, dir.filePath("changes.qmz"));
    }

    void aCancelledOpenDialogGivesAnEmptyName() {
        tbapp::StandardPrompts prompts;
        tbapp::FileDialogRequest request;
        request.name = "MapLoad";
        bool existingFileOnly = false;
        whenModal([&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            QVERIFY(dialog);
            existingFileOnly = dialog->acceptMode() == QFileDialog::AcceptOpen &&
                               dialog->fileMode() == QFileDialog::ExistingFile;
            dialog->reject();
        });
        QVERIFY(prompts.openFileName(nullptr, request).isEmpty());
        QVERIFY(existingFileOnly);
    }

    void theSaveChangesQuestionOffersThreeAnswers() {
        tbapp::StandardPrompts prompts;
        QString text;
        QList<QMessageBox::StandardButton> buttons;
        whenModal([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            QVERIFY(box);
            text = box->text();
            for (QAbstractButton* button : box->buttons())
                buttons << box->standardButton(button);
            box->button(QMessageBox::Discard)->click();
        });
        QCOMPARE(prompts.askSaveChanges(nullptr, "map2.mul"), tbapp::SaveChangesAnswer::Discard);
        QCOMPARE(text, QString("Save changes to map2.mul?"));
        std::sort(buttons.begin(), buttons.end());
        QCOMPARE(buttons, (QList<QMessageBox::StandardButton>{
                              QMessageBox::Save, QMessageBox::Cancel, QMessageBox::Discard}));

        whenModal([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Escape); });
        QCOMPARE(prompts.askSaveChanges(nullptr, "map2.mul"), tbapp::SaveChangesAnswer::Cancel);
    }

    void theDiskChangeQuestionOffersOverwriteReloadAndCancel() {
        tbapp::StandardPrompts prompts;
        QString text;
        QStringList buttons;
        whenModal([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            QVERIFY(box);
            text = box->text();
            for (QAbstractButton* button : box->buttons())
                buttons << button->text().remove('&');
            for (QAbstractButton* button : box->buttons())
                if (button->text().remove('&') == "Reload")
                    button->click();
        });
        QCOMPARE(prompts.askChangedOnDisk(nullptr, "map0.mul"), tbapp::DiskChangeAnswer::Reload);
        QCOMPARE(text, QString("map0.mul has changed on disk since it was loaded."));
        buttons.sort();
        QCOMPARE(buttons, (QStringList{"Cancel", "Overwrite", "Reload"}));

        // Enter and Escape both take the answer that writes nothing.
        whenModal([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Return); });
        QCOMPARE(prompts.askChangedOnDisk(nullptr, "map0.mul"), tbapp::DiskChangeAnswer::Cancel);
        whenModal([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Escape); });
        QCOMPARE(prompts.askChangedOnDisk(nullptr, "map0.mul"), tbapp::DiskChangeAnswer::Cancel);
    }

    void aConfirmationIsTitledConfirmAndAnInputBoxCanBeCancelled() {
        tbapp::StandardPrompts prompts;
        QString title;
        whenModal([&](QWidget* modal) {
            title = modal->windowTitle();
            qobject_cast<QMessageBox*>(modal)->button(QMessageBox::Yes)->click();
        });
        QVERIFY(prompts.confirm(nullptr, "Delete selected Item?"));
        QCOMPARE(title, QString("Confirm"));

        whenModal([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
        QCOMPARE(prompts.inputText(nullptr, "Add List", "Add new Item list", ".lst"),
                 std::optional<QString>());
        whenModal([](QWidget* modal) {
            modal->findChild<QLineEdit*>()->setText("roads.lst");
            qobject_cast<QDialog*>(modal)->accept();
        });
        QCOMPARE(prompts.inputText(nullptr, "Add List", "Add new Item list", ".lst"),
                 std::optional<QString>("roads.lst"));
    }
};

QTEST_MAIN(StandardPromptsTest)
#include "test_standard_prompts.moc"
