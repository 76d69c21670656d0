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

#include <algorithm>
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

    auto* configurationPanel = named(new QFrame(this), "ConfigurationPanel");
    configurationPanel->setGeometry(0, 0, 455, 49);
    auto* partsGroup =
        named(new QGroupBox(" Generate diff for ", configurationPanel), "GenerateSelectGroupBox");
    partsGroup->setGeometry(4, 0, 200, 48);
    m_staticsCheck =
        named(new QCheckBox("StaIdx0.mul + Statics0.mul", partsGroup), "StaticsCheckBox");
    m_staticsCheck->setGeometry(8, 14, 186, 16);
    m_staticsCheck->setChecked(true);
    m_mapCheck = named(new QCheckBox("Map0.mul", partsGroup), "MapCheckBox");
    m_mapCheck->setGeometry(8, 30, 186, 16);
    m_mapCheck->setChecked(true);
    auto* actionGroup =
        named(new QGroupBox(" Select an action ", configurationPanel), "ButtonGroupBox");
    actionGroup->setGeometry(210, 0, 190, 48);
    m_generateButton = named(new QPushButton("Generate Diff", actionGroup), "GenerateButton");
    m_generateButton->setGeometry(8, 16, 174, 25);
    m_generateButton->setEnabled(false);
    auto* closeButton = named(new QToolButton(configurationPanel), "CloseBtn");
    closeButton->setGeometry(416, 4, 35, 24);
    closeButton->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    closeButton->setToolTip("Close");

    auto* pathPanel = named(new QFrame(this), "FileNamePanel");
    pathPanel->setGeometry(0, 52, 455, 77);
    const char* const columnNames[3] = {"StaIdxLabel", "StaticsLabel", "MapLabel"};
    const char* const columnTexts[3] = {"Staidx0.mul", "Statics0.mul", "Map0.mul"};
    const char* const editNames[6] = {"OStaIdxEdit", "OStaticsEdit", "OMapEdit",
                                      "MStaIdxEdit", "MStaticsEdit", "MMapEdit"};
    const int columns[3] = {78, 202, 326};
    for (int i = 0; i < 6; ++i)
        m_pathEdits[std::size_t(i)] = named(new QLineEdit(pathPanel), editNames[i]);
    for (int c = 0; c < 3; ++c) {
        named(new QLabel(columnTexts[c], pathPanel), columnNames[c])
            ->setGeometry(columns[c], 4, 121, 14);
        m_pathEdits[std::size_t(c)]->setGeometry(columns[c], 20, 121, 21);
        m_pathEdits[std::size_t(c) + 3]->setGeometry(columns[c], 48, 121, 21);
    }
    named(new QLabel("Original files", pathPanel), "OriginalLabel")->setGeometry(6, 23, 70, 14);
    named(new QLabel("Modified files", pathPanel), "ModifiedLabel")->setGeometry(6, 51, 70, 14);

    setTabOrder(m_staticsCheck, m_mapCheck);
    setTabOrder(m_mapCheck, m_generateButton);
    setTabOrder(m_generateButton, m_pathEdits[0]);
    for (std::size_t i = 0; i + 1 < m_pathEdits.size(); ++i)
        setTabOrder(m_pathEdits[i], m_pathEdits[i + 1]);
    setTabOrder(m_pathEdits[5], closeButton);

    for (int i = 0; i < 6; ++i)
        connect(m_pathEdits[std::size_t(i)], &QLineEdit::textChanged, this,
                [this, i] { checkPathEdit(i); });
    connect(m_staticsCheck, &QCheckBox::clicked, this,
            [this] { keepOnePartChosen(m_staticsCheck, m_mapCheck); });
    connect(m_mapCheck, &QCheckBox::clicked, this,
            [this] { keepOnePartChosen(m_mapCheck, m_staticsCheck); });
    connect(m_generateButton, &QPushButton::clicked, this, &DiffPatchDialog::generateChosenParts);
    connect(closeButton, &QToolButton::clicked, this, &QWidget::close);

    // Empty edits start red.
    for (QLineEdit* edit : m_pathEdits)
        tbapp::setPathBoxValid(edit, false);
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
    loadPaths();
    QDialog::showEvent(event);
}

void DiffPatchDialog::loadPaths() {
    for (std::size_t i = 0; i < m_pathEdits.size(); ++i)
        m_pathEdits[i]->setText(tbapp::readSettingText(m_settings, kSettingNames[i]));
}

void DiffPatchDialog::savePaths() {
    for (std::size_t i = 0; i < m_pathEdits.size(); ++i)
        tbapp::writeSettingText(m_settings, kSettingNames[i], m_pathEdits[i]->text());
    m_settings.sync();
}

void DiffPatchDialog::checkAllPaths() {
    const bool allValid = std::all_of(m_pathEdits.begin(), m_pathEdits.end(),
                                      [](const QLineEdit* edit) { return isPathBoxValid(edit); });
    if (allValid) {
        savePaths();
        m_staticsCheck->setEnabled(true);
        m_mapCheck->setEnabled(true);
    }
    m_generateButton->setEnabled(allValid);
}

// Valid: a file exists at the path and its name, lower-cased, is the column's file name
// (for the map also map0LegacyMUL.uop). The modified files therefore carry the same names
// as the original ones.
void DiffPatchDialog::checkPathEdit(int index) {
    static const char* const kExpectedNames[3] = {"staidx0.mul", "statics0.mul", "map0.mul"};
    QLineEdit* edit = m_pathEdits[std::size_t(index)];
    const QString text = edit->text();
    const QFileInfo info(text);
    const bool valid =
        !text.isEmpty() && info.isFile() &&
        tb::isDiffInputName(info.fileName().toStdString(), kExpectedNames[index % 3]);
    tbapp::setPathBoxValid(edit, valid);
    checkAllPaths();
}

void DiffPatchDialog::keepOnePartChosen(QCheckBox* unticked, QCheckBox* other) {
    if (!unticked->isChecked() && !other->isChecked())
        other->setChecked(true);
}

void DiffPatchDialog::generateChosenParts() {
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
    checkAllPaths();
    if (error)
        m_prompts.showError(this, *error);
}

void DiffPatchDialog::generate(const QString& patchFile) {
    const auto path = [this](std::size_t index) { return toPath(m_pathEdits[index]->text()); };
    const tb::DiffFileSet original{path(0), path(1), path(2)};
    const tb::DiffFileSet modified{path(3), path(4), path(5)};
    StageWindowProgress progress(m_prForm);
    tb::generateDiff(original, modified, toPath(patchFile), m_staticsCheck->isChecked(),
                     m_mapCheck->isChecked(), progress);
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

} // namespace tbapp
