#include "diff/DiffPatchDialog.h"

#include "diff/DiffGenerator.h"
#include "diff/DiffInputNames.h"
#include "shell/PathBox.h"
#include "shell/Settings.h"
#include "shell/StageProgressDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QStyle>
#include <QToolButton>

#include <filesystem>
#include <optional>
#include <string>

namespace tbapp {

const char* const DiffPatchDialog::kSettingNames[6] = {"Orig-staidx0.mul", "Orig-statics0.mul",
                                                       "Orig-map0.mul",    "Mod-staidx0.mul",
                                                       "Mod-statics0.mul", "Mod-map0.mul"};

namespace {

std::filesystem::path toPath(const QString& text) {
#ifdef Q_OS_WIN
    return std::filesystem::path(text.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(text).toStdString());
#endif
}

// Reports a run's stages on the stage progress window and lets pending window messages
// run after each step. The window is shown for the run and hidden on every way out.
class StageWindowProgress : public tb::DiffProgress {
public:
    explicit StageWindowProgress(StageProgressDialog& form) : m_form(form) {
        m_form.show();
        QApplication::processEvents();
    }
    ~StageWindowProgress() override { m_form.hide(); }
    StageWindowProgress(const StageWindowProgress&) = delete;
    StageWindowProgress& operator=(const StageWindowProgress&) = delete;

    void stage(const std::string& text) override {
        m_form.setStage(QString::fromStdString(text));
        QApplication::processEvents();
    }
    void percent(int value) override {
        m_form.setProgress(value);
        QApplication::processEvents();
    }

private:
    StageProgressDialog& m_form;
};

template <typename T> T* named(T* widget, const char* name) {
    widget->setObjectName(name);
    return widget;
}

} // namespace

DiffPatchDialog::DiffPatchDialog(QSettings& settings, StageProgressDialog& prForm,
                                 tbapp::Prompts& prompts, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      m_settings(settings), m_prForm(prForm), m_prompts(prompts) {
    setObjectName("TBHDiffForm");
    setWindowTitle("Tolvane Brimholt - Create Diff patch");
    setFont(QFont("MS Sans Serif", 8));
    setFixedSize(455, 129);

    ConfigurationPanel = named(new QFrame(this), "ConfigurationPanel");
    ConfigurationPanel->setGeometry(0, 0, 455, 49);
    GenerateSelectGroupBox =
        named(new QGroupBox(" Generate diff for ", ConfigurationPanel), "GenerateSelectGroupBox");
    GenerateSelectGroupBox->setGeometry(4, 0, 200, 48);
    StaticsCheckBox = named(new QCheckBox("StaIdx0.mul + Statics0.mul", GenerateSelectGroupBox),
                            "StaticsCheckBox");
    StaticsCheckBox->setGeometry(8, 14, 186, 16);
    StaticsCheckBox->setChecked(true);
    MapCheckBox = named(new QCheckBox("Map0.mul", GenerateSelectGroupBox), "MapCheckBox");
    MapCheckBox->setGeometry(8, 30, 186, 16);
    MapCheckBox->setChecked(true);
    ButtonGroupBox =
        named(new QGroupBox(" Select an action ", ConfigurationPanel), "ButtonGroupBox");
    ButtonGroupBox->setGeometry(210, 0, 190, 48);
    GenerateButton = named(new QPushButton("Generate Diff", ButtonGroupBox), "GenerateButton");
    GenerateButton->setGeometry(8, 16, 174, 25);
    GenerateButton->setEnabled(false);
    CloseBtn = named(new QToolButton(ConfigurationPanel), "CloseBtn");
    CloseBtn->setGeometry(416, 4, 35, 24);
    CloseBtn->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    CloseBtn->setToolTip("Close");

    FileNamePanel = named(new QFrame(this), "FileNamePanel");
    FileNamePanel->setGeometry(0, 52, 455, 77);
    StaIdxLabel = named(new QLabel("Staidx0.mul", FileNamePanel), "StaIdxLabel");
    StaticsLabel = named(new QLabel("Statics0.mul", FileNamePanel), "StaticsLabel");
    MapLabel = named(new QLabel("Map0.mul", FileNamePanel), "MapLabel");
    OriginalLabel = named(new QLabel("Original files", FileNamePanel), "OriginalLabel");
    ModifiedLabel = named(new QLabel("Modified files", FileNamePanel), "ModifiedLabel");
    OStaIdxEdit = named(new QLineEdit(FileNamePanel), "OStaIdxEdit");
    OStaticsEdit = named(new QLineEdit(FileNamePanel), "OStaticsEdit");
    OMapEdit = named(new QLineEdit(FileNamePanel), "OMapEdit");
    MStaIdxEdit = named(new QLineEdit(FileNamePanel), "MStaIdxEdit");
    MStaticsEdit = named(new QLineEdit(FileNamePanel), "MStaticsEdit");
    MMapEdit = named(new QLineEdit(FileNamePanel), "MMapEdit");
    const int columns[3] = {78, 202, 326};
    QLabel* headings[3] = {StaIdxLabel, StaticsLabel, MapLabel};
    for (int c = 0; c < 3; ++c) {
        headings[c]->setGeometry(columns[c], 4, 121, 14);
        pathEdit(c)->setGeometry(columns[c], 20, 121, 21);
        pathEdit(c + 3)->setGeometry(columns[c], 48, 121, 21);
    }
    OriginalLabel->setGeometry(6, 23, 70, 14);
    ModifiedLabel->setGeometry(6, 51, 70, 14);

    setTabOrder(StaticsCheckBox, MapCheckBox);
    setTabOrder(MapCheckBox, GenerateButton);
    setTabOrder(GenerateButton, OStaIdxEdit);
    for (int i = 0; i + 1 < 6; ++i)
        setTabOrder(pathEdit(i), pathEdit(i + 1));
    setTabOrder(MMapEdit, CloseBtn);

    connect(OStaIdxEdit, &QLineEdit::textChanged, this, &DiffPatchDialog::OStaIdxEditChange);
    connect(OStaticsEdit, &QLineEdit::textChanged, this, &DiffPatchDialog::OStaticsEditChange);
    connect(OMapEdit, &QLineEdit::textChanged, this, &DiffPatchDialog::OMapEditChange);
    connect(MStaIdxEdit, &QLineEdit::textChanged, this, &DiffPatchDialog::MStaIdxEditChange);
    connect(MStaticsEdit, &QLineEdit::textChanged, this, &DiffPatchDialog::MStaticsEditChange);
    connect(MMapEdit, &QLineEdit::textChanged, this, &DiffPatchDialog::MMapEditChange);
    connect(StaticsCheckBox, &QCheckBox::clicked, this, &DiffPatchDialog::StaticsCheckBoxClick);
    connect(MapCheckBox, &QCheckBox::clicked, this, &DiffPatchDialog::MapCheckBoxClick);
    connect(GenerateButton, &QPushButton::clicked, this, &DiffPatchDialog::GenerateButtonClick);
    connect(CloseBtn, &QToolButton::clicked, this, &DiffPatchDialog::CloseBtnClick);

    // Empty edits start red.
    for (int i = 0; i < 6; ++i)
        tbapp::setPathBoxValid(pathEdit(i), false);
}

QLineEdit* DiffPatchDialog::pathEdit(int index) const {
    QLineEdit* const edits[6] = {OStaIdxEdit, OStaticsEdit, OMapEdit,
                                 MStaIdxEdit, MStaticsEdit, MMapEdit};
    return edits[index];
}

void DiffPatchDialog::showEvent(QShowEvent* event) {
    if (!m_centred) {
        if (const QScreen* screen = this->screen()) {
            QRect frame = frameGeometry();
            frame.moveCenter(screen->availableGeometry().center());
            move(frame.topLeft());
        }
        m_centred = true;
    }
    FormShow();
    QDialog::showEvent(event);
}

void DiffPatchDialog::FormShow() {
    LoadDiffPaths();
}

void DiffPatchDialog::LoadDiffPaths() {
    for (int i = 0; i < 6; ++i)
        pathEdit(i)->setText(tbapp::readSettingText(m_settings, kSettingNames[i]));
}

void DiffPatchDialog::SaveDiffPaths() {
    for (int i = 0; i < 6; ++i)
        tbapp::writeSettingText(m_settings, kSettingNames[i], pathEdit(i)->text());
    m_settings.sync();
}

void DiffPatchDialog::CheckAllPaths() {
    bool allValid = true;
    for (int i = 0; i < 6; ++i)
        allValid = allValid && tbapp::isPathBoxValid(pathEdit(i));
    if (allValid) {
        SaveDiffPaths();
        StaticsCheckBox->setEnabled(true);
        MapCheckBox->setEnabled(true);
    }
    GenerateButton->setEnabled(allValid);
}

// Valid: a file exists at the path and its name, lower-cased, is the column's file name
// (for the map also map0LegacyMUL.uop). The modified files therefore carry the same names
// as the original ones.
void DiffPatchDialog::checkPathEdit(QLineEdit* edit, const char* expectedName) {
    const QString text = edit->text();
    const QFileInfo info(text);
    const bool valid = !text.isEmpty() && info.isFile() &&
                       tb::isDiffInputName(info.fileName().toStdString(), expectedName);
    tbapp::setPathBoxValid(edit, valid);
    CheckAllPaths();
}

void DiffPatchDialog::OStaIdxEditChange() {
    checkPathEdit(OStaIdxEdit, "staidx0.mul");
}
void DiffPatchDialog::OStaticsEditChange() {
    checkPathEdit(OStaticsEdit, "statics0.mul");
}
void DiffPatchDialog::OMapEditChange() {
    checkPathEdit(OMapEdit, "map0.mul");
}
void DiffPatchDialog::MStaIdxEditChange() {
    checkPathEdit(MStaIdxEdit, "staidx0.mul");
}
void DiffPatchDialog::MStaticsEditChange() {
    checkPathEdit(MStaticsEdit, "statics0.mul");
}
void DiffPatchDialog::MMapEditChange() {
    checkPathEdit(MMapEdit, "map0.mul");
}

// At least one part stays chosen: un-ticking the last ticked box ticks the other one.
void DiffPatchDialog::StaticsCheckBoxClick() {
    if (!StaticsCheckBox->isChecked() && !MapCheckBox->isChecked())
        MapCheckBox->setChecked(true);
}

void DiffPatchDialog::MapCheckBoxClick() {
    if (!MapCheckBox->isChecked() && !StaticsCheckBox->isChecked())
        StaticsCheckBox->setChecked(true);
}

void DiffPatchDialog::GenerateButtonClick() {
    // Disabled for the whole run: the run lets window messages through, and this keeps a
    // second click from starting another one.
    setEnabled(false);
    std::optional<QString> error;
    try {
        QString fileName;
        if (askPatchFileName(fileName))
            generate(fileName);
    } catch (const std::exception& e) {
        error = QString::fromLocal8Bit(e.what());
    }
    setEnabled(true);
    CheckAllPaths();
    if (error)
        m_prompts.showError(this, *error);
}

void DiffPatchDialog::generate(const QString& patchFile) {
    const tb::DiffFileSet original{toPath(OStaIdxEdit->text()), toPath(OStaticsEdit->text()),
                                   toPath(OMapEdit->text())};
    const tb::DiffFileSet modified{toPath(MStaIdxEdit->text()), toPath(MStaticsEdit->text()),
                                   toPath(MMapEdit->text())};
    StageWindowProgress progress(m_prForm);
    tb::generateDiff(original, modified, toPath(patchFile), StaticsCheckBox->isChecked(),
                     MapCheckBox->isChecked(), progress);
    // No parent: this window is disabled until the run has ended.
    m_prompts.showTitledMessage(nullptr, "Patch file ...", "Done.");
}

QString DiffPatchDialog::patchFileRefusal(const QString& path) {
    const QFileInfo info(path);
    if (!info.absoluteDir().exists())
        return QString("%1\nThe folder does not exist.\nCheck the path and try again.").arg(path);
    if (info.isDir())
        return QString("%1\nThis is a folder.\nChoose a file name.").arg(path);
    // Read-only as its mode says, even for a user whose rights would overrule it.
    if (info.exists() && (!info.isWritable() || !(info.permissions() & QFile::WriteOwner)))
        return QString("%1\nThis file is set to read-only.\nTry again with a different file name.")
            .arg(path);
    return {};
}

bool DiffPatchDialog::askPatchFileName(QString& fileName) {
    tbapp::FileDialogRequest request;
    request.name = "BHDFileSaveDialog";
    request.filter = "Tolvane BH (Version 3) (*.qmz)";
    request.defaultSuffix = "qmz";
    // Asks before overwriting; folders and read-only files are checked when the name
    // comes back.
    request.confirmOverwrite = true;
    for (;;) {
        request.defaultName = m_patchFile;
        const QString chosen = m_prompts.saveFileName(this, request);
        if (chosen.isEmpty())
            return false;
        m_patchFile = chosen;
        const QString refusal = patchFileRefusal(chosen);
        if (refusal.isEmpty()) {
            fileName = chosen;
            return true;
        }
        m_prompts.showMessage(this, refusal);
    }
}

void DiffPatchDialog::CloseBtnClick() {
    close();
}

} // namespace tbapp
