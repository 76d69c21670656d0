// The options dialog: the group page, the texture page, OK's save sequence and Cancel.
#include "CatalogueFixtures.h"
#include "testsupport/FindControl.h"

#include "app/catalogue/OptionsDialog.h"
#include "app/catalogue/TileGroupDialog.h"
#include "app/catalogue/TilePickerDialog.h"
#include "app/shell/DrawGrid.h"
#include "catalogue/TextureList.h"
#include "catalogue/TileList.h"

#include "TestPaths.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

namespace {

const QByteArray kTileList = "<?xml version=\"1.0\" ?>\r\n<TileList>\r\n"
                             "<Tile><Name>Sand</Name><TileId>$0016</TileId></Tile>\r\n"
                             "<Tile><Name>Odd</Name><TileId>a b</TileId><TileId>$01</TileId>"
                             "<TileId>x,y</TileId></Tile>\r\n"
                             "<Tile><Name>Cave</Name><TileId>$0245</TileId>"
                             "<TileId>$0246</TileId></Tile>\r\n</TileList>\r\n";

QStringList rowTexts(const tbapp::OptionsDialog& options) {
    const auto* groups = tbtest::control<QTreeWidget>(options, "lvSelectModes");
    QStringList rows;
    for (int i = 0; i < groups->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = groups->topLevelItem(i);
        rows << item->text(0) + "=" + item->text(1);
    }
    return rows;
}

QStringList items(const tbapp::OptionsDialog& options) {
    const auto* list = tbtest::control<QListWidget>(options, "lbTexture");
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

// The enabled state of the named controls as "1101".
QString enabledFlags(const QObject& window, std::initializer_list<const char*> names) {
    QString s;
    for (const char* name : names)
        s += tbtest::control<QWidget>(window, name)->isEnabled() ? "1" : "0";
    return s;
}

// Edit, Delete, Up, Down of the group page.
QString groupButtons(const tbapp::OptionsDialog& o) {
    return enabledFlags(o, {"btnEdit", "btnDelete", "btnUp", "btnDown"});
}

QString textureButtons(const tbapp::OptionsDialog& o) {
    return enabledFlags(o,
                        {"btnEditTexture", "btnDeleteTexture", "btnTextureUp", "btnTextureDown"});
}

void selectGroup(tbapp::OptionsDialog& options, int row) {
    auto* groups = tbtest::control<QTreeWidget>(options, "lvSelectModes");
    groups->setCurrentItem(groups->topLevelItem(row));
}

// Selects the group dialog's grid row showing tile `id` and presses the arrow button.
void addTileWithButton(tbapp::TileGroupDialog& dialog, int id) {
    auto* grid = tbtest::control<tbapp::DrawGrid>(dialog, "smallDrawGrid");
    grid->selectCell(0, rowShowingTile(*grid, id));
    QTest::mouseClick(tbtest::control<QToolButton>(dialog, "btnAddID"), Qt::LeftButton);
}

struct SaveRecorder {
    QStringList calls;
    tb::OptionsSaveSteps steps() {
        return {[this] { calls << "LoadTileGroups"; },
                [this](const std::string& path) {
                    calls << "LoadTextureList " + QString::fromStdString(path);
                },
                [this](const std::string& path) {
                    calls << "BuildListMenu " + QString::fromStdString(path);
                }};
    }
};

} // namespace

class TestOptionsDialog : public QObject {
    Q_OBJECT

private slots:
    void opensOnTheGroupsWithTheirIdTexts() {
        AppFolder app;
        app.write("tilelist.xml", kTileList);
        app.write("textures/coast.lst", "textureid=$0010\r\n");
        RecordingPrompts prompts;
        tbapp::OptionsDialog options(app.context(prompts));
        QCOMPARE(options.windowTitle(), QString("Options"));
        QCOMPARE(tbtest::control<QTabWidget>(options, "PageControl1")->currentWidget(),
                 tbtest::control<QWidget>(options, "TabSheet1"));
        QCOMPARE(tbtest::control<QTabWidget>(options, "PageControl1")->tabText(0),
                 QString("&Select Modes"));
        QCOMPARE(tbtest::control<QTabWidget>(options, "PageControl1")->tabText(1),
                 QString("Te&xture Lists"));
        QCOMPARE(tbtest::control<QTreeWidget>(options, "lvSelectModes")->headerItem()->text(0),
                 QString("Caption"));
        QCOMPARE(tbtest::control<QTreeWidget>(options, "lvSelectModes")->headerItem()->text(1),
                 QString("Items"));
        QCOMPARE(rowTexts(options),
                 QStringList({"Sand=$0016", "Odd=\"a b\",$01,\"x,y\"", "Cave=$0245,$0246"}));
        QCOMPARE(items(options), QStringList({"$0003", "$0004", "$01D3", "$0005"}));
        QCOMPARE(tbtest::control<QComboBox>(options, "cbTextureLists")->currentText(),
                 QString("tileids.lst"));
        QCOMPARE(tbtest::control<QComboBox>(options, "cbTextureLists")->count(), 2);
        QCOMPARE(groupButtons(options), QString("0000"));
        QCOMPARE(textureButtons(options), QString("0000"));
        QVERIFY(prompts.errors.isEmpty());
    }

    void groupAddedWithTheButtonKeepsItsTrailingCommaAndSurvivesOk() {
        AppFolder app;
        RecordingPrompts prompts;
        QString title, hint;
        prompts.onDialog = [&](QDialog& d) {
            auto& dialog = dynamic_cast<tbapp::TileGroupDialog&>(d);
            title = dialog.windowTitle();
            hint = tbtest::control<QLabel>(dialog, "lblHelpText")->text();
            tbtest::control<QLineEdit>(dialog, "edCaption")->setText("Grass");
            addTileWithButton(dialog, 3);
            addTileWithButton(dialog, 4);
            return int(QDialog::Accepted);
        };
        {
            tbapp::OptionsDialog options(app.context(prompts));
            QTest::mouseClick(tbtest::control<QPushButton>(options, "btnAdd"), Qt::LeftButton);
            QCOMPARE(title, QString("Add new Tiles"));
            QCOMPARE(
                hint,
                QString("Seperate Tile IDs with Comma! Insert Tile ID as Hex (Sample: $011a)"));
            QCOMPARE(rowTexts(options), QStringList{"Grass=$0003,$0004,"});
            QCOMPARE(groupButtons(options), QString("0000"));
            QTest::mouseClick(tbtest::control<QPushButton>(options, "BitBtn2"), Qt::LeftButton);
            QCOMPARE(options.QDialog::result(), int(QDialog::Accepted));
            SaveRecorder recorder;
            QVERIFY(tbapp::runOptionsSave(app.context(prompts), &options, options.optionsResult(),
                                          recorder.steps()));
            QCOMPARE(recorder.calls,
                     QStringList({"LoadTileGroups", "LoadTextureList textures/tileids.lst",
                                  "BuildListMenu textures/tileids.lst"}));
        }
        QVERIFY(
            app.read("tilelist.xml")
                .contains(
                    "    <TileId id=\"0\">$0003</TileId>\r\n    <TileId id=\"1\">$0004</TileId>\r\n"
                    "    <TileId id=\"2\"></TileId>\r\n"));

        // Reopened, the empty id is gone; the button appends without a leading comma.
        QString shownCaption, shownIds;
        prompts.onDialog = [&](QDialog& d) {
            auto& dialog = dynamic_cast<tbapp::TileGroupDialog&>(d);
            title = dialog.windowTitle();
            hint = tbtest::control<QLabel>(dialog, "lblHelpText")->text();
            shownCaption = tbtest::control<QLineEdit>(dialog, "edCaption")->text();
            shownIds = tbtest::control<QPlainTextEdit>(dialog, "edTileList")->toPlainText();
            addTileWithButton(dialog, 0x1D3);
            return int(QDialog::Accepted);
        };
        tbapp::OptionsDialog options(app.context(prompts));
        QCOMPARE(rowTexts(options), QStringList{"Grass=$0003,$0004"});
        selectGroup(options, 0);
        QTest::mouseClick(tbtest::control<QPushButton>(options, "btnEdit"), Qt::LeftButton);
        QCOMPARE(title, QString("Edit Group Grass"));
        QCOMPARE(hint, QString());
        QCOMPARE(shownCaption, QString("Grass"));
        QCOMPARE(shownIds, QString("$0003,$0004"));
        QCOMPARE(rowTexts(options), QStringList{"Grass=$0003,$0004$01D3,"});
        // Cancel in the group dialog changes nothing.
        prompts.onDialog = [](QDialog& d) {
            dynamic_cast<tbapp::TileGroupDialog&>(d).setCaption("Changed");
            return int(QDialog::Rejected);
        };
        QTest::mouseClick(tbtest::control<QPushButton>(options, "btnEdit"), Qt::LeftButton);
        QCOMPARE(rowTexts(options), QStringList{"Grass=$0003,$0004$01D3,"});
    }

    void upAndDownFollowTheSelection() {
        AppFolder app;
        app.write("tilelist.xml", kTileList);
        RecordingPrompts prompts;
        tbapp::OptionsDialog options(app.context(prompts));
        selectGroup(options, 0);
        QCOMPARE(groupButtons(options), QString("1101"));
        selectGroup(options, 1);
        QCOMPARE(groupButtons(options), QString("1111"));
        selectGroup(options, 2);
        QCOMPARE(groupButtons(options), QString("1110"));
        QTest::mouseClick(tbtest::control<QToolButton>(options, "btnUp"), Qt::LeftButton);
        QTest::mouseClick(tbtest::control<QToolButton>(options, "btnUp"), Qt::LeftButton);
        QCOMPARE(rowTexts(options).first(), QString("Cave=$0245,$0246"));
        QCOMPARE(tbtest::control<QTreeWidget>(options, "lvSelectModes")
                     ->indexOfTopLevelItem(
                         tbtest::control<QTreeWidget>(options, "lvSelectModes")->currentItem()),
                 0);
        QVERIFY(
            tbtest::control<QTreeWidget>(options, "lvSelectModes")->currentItem()->isSelected());
        QCOMPARE(groupButtons(options), QString("1101"));
        QTest::mouseClick(tbtest::control<QToolButton>(options, "btnUp"),
                          Qt::LeftButton); // disabled: nothing moves
        QCOMPARE(rowTexts(options).first(), QString("Cave=$0245,$0246"));
        QTest::mouseClick(tbtest::control<QToolButton>(options, "btnDown"), Qt::LeftButton);
        QCOMPARE(rowTexts(options),
                 QStringList({"Sand=$0016", "Cave=$0245,$0246", "Odd=\"a b\",$01,\"x,y\""}));
        QCOMPARE(groupButtons(options), QString("1111"));
        tbtest::control<QTreeWidget>(options, "lvSelectModes")->clearSelection();
        QCOMPARE(groupButtons(options), QString("0000"));
    }

    void deleteAsksAndCancelLeavesTheFileAlone() {
        AppFolder app;
        app.write("tilelist.xml", kTileList);
        RecordingPrompts prompts;
        prompts.confirmAnswers = {false, true, true, true};
        tbapp::OptionsDialog options(app.context(prompts));
        selectGroup(options, 1);
        QTest::mouseClick(tbtest::control<QPushButton>(options, "btnDelete"), Qt::LeftButton);
        QCOMPARE(tbtest::control<QTreeWidget>(options, "lvSelectModes")->topLevelItemCount(), 3);
        QTest::mouseClick(tbtest::control<QPushButton>(options, "btnDelete"), Qt::LeftButton);
        QCOMPARE(rowTexts(options), QStringList({"Sand=$0016", "Cave=$0245,$0246"}));
        QCOMPARE(groupButtons(options), QString("0000"));
        for (int row : {1, 0}) {
            selectGroup(options, row);
            QTest::mouseClick(tbtest::control<QPushButton>(options, "btnDelete"), Qt::LeftButton);
        }
        QCOMPARE(tbtest::control<QTreeWidget>(options, "lvSelectModes")->topLevelItemCount(), 0);
        QCOMPARE(prompts.confirmations, QStringList(4, "Delete selected selection group?"));
        QTest::mouseClick(tbtest::control<QPushButton>(options, "BitBtn3"), Qt::LeftButton);
        QCOMPARE(options.QDialog::result(), int(QDialog::Rejected));
        QCOMPARE(app.read("tilelist.xml"), kTileList);
        QCOMPARE(app.read("textures/tileids.lst"),
                 QByteArray("textureid=$0003\r\ntextureid=$0004\r\ntextureid=$01D3\r\n"
                            "textureid=$0005\r\n"));
    }

    void textureItemsAreInsertedEditedMovedAndDeleted() {
        AppFolder app;
        RecordingPrompts prompts;
        QString title, label, preset;
        QString answer;
        prompts.onDialog = [&](QDialog& d) {
            auto& picker = dynamic_cast<tbapp::TilePickerDialog&>(d);
            title = picker.windowTitle();
            label = tbtest::control<QLabel>(picker, "edAddTileLabel")->text();
            preset = tbtest::control<QLineEdit>(picker, "edAddTile")->text();
            tbtest::control<QLineEdit>(picker, "edAddTile")->setText(answer);
            return int(QDialog::Accepted);
        };
        tbapp::OptionsDialog options(app.context(prompts));
        tbtest::control<QTabWidget>(options, "PageControl1")
            ->setCurrentWidget(tbtest::control<QWidget>(options, "TabSheet3"));
        answer = "$0100";
        QTest::mouseClick(tbtest::control<QPushButton>(options, "btnAddTexture"),
                          Qt::LeftButton); // none selected: appended
        QCOMPARE(title, QString("Insert"));
        QCOMPARE(label, QString("Insert a new Item"));
        QCOMPARE(preset, QString("$"));
        QCOMPARE(items(options), QStringList({"$0003", "$0004", "$01D3", "$0005", "$0100"}));
        tbtest::control<QListWidget>(options, "lbTexture")->setCurrentRow(1);
        QCOMPARE(textureButtons(options), QString("1111"));
        answer = "$0200";
        QTest::mouseClick(tbtest::control<QPushButton>(options, "btnAddTexture"),
                          Qt::LeftButton); // inserted before row 1
        QCOMPARE(items(options),
                 QStringList({"$0003", "$0200", "$0004", "$01D3", "$0005", "$0100"}));
        tbtest::control<QListWidget>(options, "lbTexture")->setCurrentRow(2);
        answer = "$0300";
        QTest::mouseClick(tbtest::control<QPushButton>(options, "btnEditTexture"), Qt::LeftButton);
        QCOMPARE(title, QString("Edit"));
        QCOMPARE(label, QString("Edit Item $0004"));
        QCOMPARE(preset, QString("$"));
        QCOMPARE(tbtest::control<QListWidget>(options, "lbTexture")->item(2)->text(),
                 QString("$0300"));

        tbtest::control<QListWidget>(options, "lbTexture")->setCurrentRow(0);
        QCOMPARE(textureButtons(options), QString("1101"));
        QTest::mouseClick(tbtest::control<QToolButton>(options, "btnTextureDown"), Qt::LeftButton);
        QCOMPARE(tbtest::control<QListWidget>(options, "lbTexture")->currentRow(), 1);
        QCOMPARE(items(options).mid(0, 2), QStringList({"$0200", "$0003"}));
        tbtest::control<QListWidget>(options, "lbTexture")->setCurrentRow(5);
        QCOMPARE(textureButtons(options), QString("1110"));
        QTest::mouseClick(tbtest::control<QToolButton>(options, "btnTextureDown"), Qt::LeftButton);
        QCOMPARE(tbtest::control<QListWidget>(options, "lbTexture")->currentRow(), 5);

        prompts.confirmAnswers = {false, true};
        QTest::mouseClick(tbtest::control<QPushButton>(options, "btnDeleteTexture"),
                          Qt::LeftButton);
        QCOMPARE(tbtest::control<QListWidget>(options, "lbTexture")->count(), 6);
        QTest::mouseClick(tbtest::control<QPushButton>(options, "btnDeleteTexture"),
                          Qt::LeftButton);
        QCOMPARE(tbtest::control<QListWidget>(options, "lbTexture")->count(), 5);
        QCOMPARE(prompts.confirmations, QStringList(2, "Delete selected Item?"));
        QCOMPARE(textureButtons(options), QString("0000"));
    }

    void clickingAnItemShowsItsTileOrTheConversionError() {
        AppFolder app;
        RecordingPrompts prompts;
        prompts.onDialog = [](QDialog&) { return int(QDialog::Accepted); }; // "$" unchanged
        tbapp::OptionsDialog options(app.context(prompts));
        options.show();
        tbtest::control<QTabWidget>(options, "PageControl1")
            ->setCurrentWidget(tbtest::control<QWidget>(options, "TabSheet3"));
        const QRect second =
            tbtest::control<QListWidget>(options, "lbTexture")
                ->visualItemRect(tbtest::control<QListWidget>(options, "lbTexture")->item(1));
        QTest::mouseClick(tbtest::control<QListWidget>(options, "lbTexture")->viewport(),
                          Qt::LeftButton, {}, second.center());
        QCOMPARE(tbtest::control<QListWidget>(options, "lbTexture")->currentRow(), 1);
        QVERIFY(!tbtest::control<QLabel>(options, "Image1")->pixmap().isNull());
        QCOMPARE(tbtest::control<QLabel>(options, "Image1")->pixmap().toImage().pixelColor(1, 1),
                 tileColour(4));
        tbtest::control<QListWidget>(options, "lbTexture")->setCurrentRow(-1);
        QTest::mouseClick(tbtest::control<QPushButton>(options, "btnAddTexture"), Qt::LeftButton);
        QCOMPARE(items(options).last(), QString("$"));
        const QRect last =
            tbtest::control<QListWidget>(options, "lbTexture")
                ->visualItemRect(tbtest::control<QListWidget>(options, "lbTexture")->item(4));
        QTest::mouseClick(tbtest::control<QListWidget>(options, "lbTexture")->viewport(),
                          Qt::LeftButton, {}, last.center());
        QCOMPARE(prompts.errors, QStringList{"'$' is not a valid integer value"});
        QVERIFY(tbtest::control<QLabel>(options, "Image1")->pixmap().isNull());
    }

    void aNewListIsWrittenAfterOkAndShownCheckedInTheListMenu() {
        AppFolder app;
        RecordingPrompts prompts;
        prompts.inputAnswers = {QString("grass.lst")};
        QString answer;
        prompts.onDialog = [&](QDialog& d) {
            dynamic_cast<tbapp::TilePickerDialog&>(d).setTileText(answer);
            return int(QDialog::Accepted);
        };
        tbapp::OptionsDialog options(app.context(prompts));
        QTest::mouseClick(tbtest::control<QToolButton>(options, "btnAddList"), Qt::LeftButton);
        QCOMPARE(prompts.inputs, QStringList{"Add List|Add new Item list|.lst"});
        QCOMPARE(tbtest::control<QListWidget>(options, "lbTexture")->count(), 0);
        QCOMPARE(tbtest::control<QComboBox>(options, "cbTextureLists")->currentText(),
                 QString("grass.lst"));
        QVERIFY(prompts.errors.isEmpty()); // the new name is not loaded
        QVERIFY(!app.exists("textures/grass.lst"));
        for (const QString id : {"$0003", "$0004"}) {
            answer = id;
            QTest::mouseClick(tbtest::control<QPushButton>(options, "btnAddTexture"),
                              Qt::LeftButton);
        }
        QTest::mouseClick(tbtest::control<QPushButton>(options, "BitBtn2"), Qt::LeftButton);
        QCOMPARE(options.QDialog::result(), int(QDialog::Accepted));
        SaveRecorder recorder;
        QVERIFY(tbapp::runOptionsSave(app.context(prompts), &options, options.optionsResult(),
                                      recorder.steps()));
        QCOMPARE(app.read("textures/grass.lst"),
                 QByteArray("textureid=$0003\r\ntextureid=$0004\r\n"));
        QCOMPARE(recorder.calls,
                 QStringList({"LoadTileGroups", "LoadTextureList textures/grass.lst",
                              "BuildListMenu textures/grass.lst"}));
        const auto menu = tb::buildListMenu(app.dir.path().toStdString(), "textures/grass.lst");
        QCOMPARE(menu.size(), std::size_t(2));
        QCOMPARE(menu[0].caption, std::string("grass.lst"));
        QVERIFY(menu[0].checked);
        QVERIFY(!menu[1].checked);
        QCOMPARE(app.read("tilelist.xml"),
                 QByteArray("<?xml version=\"1.0\" ?>\r\n<TileList>\r\n</TileList>\r\n"));
    }

    void choosingAnotherListLoadsIt() {
        AppFolder app;
        app.write("textures/coast.lst", "textureid=$0010\r\ntextureid=x\r\ntextureid=$0011\r\n");
        RecordingPrompts prompts;
        tbapp::OptionsDialog options(app.context(prompts));
        tbtest::control<QComboBox>(options, "cbTextureLists")
            ->setCurrentIndex(
                tbtest::control<QComboBox>(options, "cbTextureLists")->findText("coast.lst"));
        // Loading stops at the line that is no integer.
        QCOMPARE(items(options), QStringList{"$0010"});
        QCOMPARE(prompts.errors, QStringList{"'x' is not a valid integer value"});
        tbtest::control<QComboBox>(options, "cbTextureLists")->setEditText("nothing.lst");
        QCOMPARE(tbtest::control<QListWidget>(options, "lbTexture")->count(), 0);
        QCOMPARE(prompts.errors.size(), 2);
    }

    void unsafeListNamesAreRefused() {
        AppFolder app;
        app.write("tilelist.xml", kTileList);
        RecordingPrompts prompts;
        prompts.inputAnswers = {QString("../evil.lst"), QString("")};
        tbapp::OptionsDialog options(app.context(prompts));
        QTest::mouseClick(tbtest::control<QToolButton>(options, "btnAddList"), Qt::LeftButton);
        QTest::mouseClick(tbtest::control<QToolButton>(options, "btnAddList"), Qt::LeftButton);
        QCOMPARE(prompts.messages.size(), 2);
        QVERIFY(prompts.messages[0].contains("path separator"));
        QCOMPARE(prompts.messages[1], QString("The texture list name is empty."));
        QCOMPARE(tbtest::control<QComboBox>(options, "cbTextureLists")->currentText(),
                 QString("tileids.lst"));
        QCOMPARE(tbtest::control<QListWidget>(options, "lbTexture")->count(), 4);

        // Typed into the box, it is refused on loading and at OK, which keeps the dialog.
        options.show();
        tbtest::control<QComboBox>(options, "cbTextureLists")->setEditText("../tilelist.xml");
        QCOMPARE(prompts.messages.size(), 3);
        QTest::mouseClick(tbtest::control<QPushButton>(options, "BitBtn2"), Qt::LeftButton);
        QCOMPARE(prompts.messages.size(), 4);
        QVERIFY(options.isVisible());
        // Even when the sequence is handed such a name, nothing is written.
        SaveRecorder recorder;
        QVERIFY(!tbapp::runOptionsSave(app.context(prompts), &options, options.optionsResult(),
                                       recorder.steps()));
        QVERIFY(recorder.calls.isEmpty());
        QCOMPARE(app.read("tilelist.xml"), kTileList);
    }

    void aFailedWriteIsShownAndEndsTheSequence() {
        AppFolder app;
        app.write("tilelist.xml", kTileList);
        RecordingPrompts prompts;
        tbapp::OptionsDialog options(app.context(prompts));
        QDir(app.path("textures")).removeRecursively();
        SaveRecorder recorder;
        QVERIFY(!tbapp::runOptionsSave(app.context(prompts), &options, options.optionsResult(),
                                       recorder.steps()));
        QCOMPARE(recorder.calls, QStringList{"LoadTileGroups"});
        QCOMPARE(prompts.errors.size(), 1);
        QVERIFY(prompts.errors[0].contains("tileids.lst"));
    }

    void okWithoutChangesWritesTheShippedCataloguesBackUnchanged() {
        const std::filesystem::path data = tbtest::sourceDir() / "data";
        AppFolder app;
        for (const char* name : {"tilelist.xml", "textures/tileids.lst", "textures/coast.lst"}) {
            QFile source(QString::fromStdString((data / name).string()));
            QVERIFY2(source.open(QIODevice::ReadOnly), name);
            app.write(name, source.readAll());
        }
        const QByteArray tileList = app.read("tilelist.xml");
        const QByteArray tileIds = app.read("textures/tileids.lst");
        RecordingPrompts prompts;
        tbapp::OptionsDialog options(app.context(prompts));
        QVERIFY(tbtest::control<QTreeWidget>(options, "lvSelectModes")->topLevelItemCount() > 0);
        QTest::mouseClick(tbtest::control<QPushButton>(options, "BitBtn2"), Qt::LeftButton);
        SaveRecorder recorder;
        QVERIFY(tbapp::runOptionsSave(app.context(prompts), &options, options.optionsResult(),
                                      recorder.steps()));
        QVERIFY(prompts.errors.isEmpty());
        QCOMPARE(app.read("tilelist.xml"), tileList);
        QCOMPARE(app.read("textures/tileids.lst"), tileIds);
    }

    void theOptionsCommandSavesOnlyAfterOk() {
        AppFolder app;
        app.write("tilelist.xml", kTileList);
        RecordingPrompts prompts;
        SaveRecorder recorder;
        prompts.confirmAnswers = {true};
        prompts.onDialog = [](QDialog& d) {
            auto& options = dynamic_cast<tbapp::OptionsDialog&>(d);
            selectGroup(options, 0);
            QTest::mouseClick(tbtest::control<QPushButton>(options, "btnDelete"), Qt::LeftButton);
            return int(QDialog::Rejected);
        };
        QVERIFY(!tbapp::runOptionsCommand(app.context(prompts), nullptr, recorder.steps()));
        QVERIFY(recorder.calls.isEmpty());
        QCOMPARE(app.read("tilelist.xml"), kTileList);
        prompts.confirmAnswers = {true};
        prompts.onDialog = [](QDialog& d) {
            auto& options = dynamic_cast<tbapp::OptionsDialog&>(d);
            selectGroup(options, 0);
            QTest::mouseClick(tbtest::control<QPushButton>(options, "btnDelete"), Qt::LeftButton);
            QTest::mouseClick(tbtest::control<QPushButton>(options, "BitBtn2"), Qt::LeftButton);
            return options.result();
        };
        QVERIFY(tbapp::runOptionsCommand(app.context(prompts), nullptr, recorder.steps()));
        QCOMPARE(recorder.calls.size(), 3);
        const auto groups = tb::readTileList(app.path("tilelist.xml").toStdString());
        QCOMPARE(groups.size(), std::size_t(2));
        QCOMPARE(groups[0].tileName, std::string("Odd"));
    }

    void escapePressesOk() {
        AppFolder app;
        RecordingPrompts prompts;
        tbapp::OptionsDialog options(app.context(prompts));
        options.show();
        QTest::keyClick(&options, Qt::Key_Escape);
        QCOMPARE(options.QDialog::result(), int(QDialog::Accepted));
    }

    void aMissingTileListFileIsReported() {
        AppFolder app;
        QFile::remove(app.path("textures/tileids.lst"));
        RecordingPrompts prompts;
        tbapp::OptionsDialog options(app.context(prompts));
        QCOMPARE(tbtest::control<QListWidget>(options, "lbTexture")->count(), 0);
        QCOMPARE(prompts.errors.size(), 1);
        QCOMPARE(tbtest::control<QTreeWidget>(options, "lvSelectModes")->topLevelItemCount(), 0);
    }
};

QTEST_MAIN(TestOptionsDialog)
#include "test_options_dialog.moc"
