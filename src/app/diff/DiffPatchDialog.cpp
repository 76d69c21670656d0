#include "app/diff/DiffPatchDialog.h"

#include "app/shell/ObjectNamed.h"
#include "app/shell/PathBox.h"
#include "app/shell/Settings.h"
#include "app/shell/StageProgressDialog.h"
#include "app/shell/UiPath.h"
#include "diff/DiffGenerator.h"
#include "diff/DiffInputNames.h"
#include "shell/Progress.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>

namespace tbapp {

const char* const DiffPatchDialog::kSettingNames[6] = {"Orig-staidx0.mul", "Orig-statics0.mul",
                                                       "Orig-map0.mul",    "Mod-staidx0.mul",
                                                       "Mod-statics0.mul", "Mod-map0.mul"};

DiffPatchDialog::DiffPatchDialog(QSettings& settings, StageProgressDialog& prForm,
                                 tbapp::Prompts& prompts, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      m_settings(settings), m_prForm(prForm), m_prompts(prompts) {
    setObjectName("TBHDiffForm");
    setWindowTitle("Tolvane Brimholt - Create Diff patch");
    setFont(QFont("MS Sans Serif", 8));

    // Laid out rather than placed, so that no caption is cut where the font is wider than
    // the one the window was drawn for; never smaller than its classic 455 x 129.
    auto* configurationPanel = named(new QFrame(this), "ConfigurationPanel");
    auto* partsGroup =
        named(new QGroupBox(" Generate diff for ", configurationPanel), "GenerateSelectGroupBox");
    m_staticsCheck =
        named(new QCheckBox("StaIdx0.mul + Statics0.mul", partsGroup), "StaticsCheckBox");
    m_staticsCheck->setChecked(true);
    m_mapCheck = named(new QCheckBox("Map0.mul", partsGroup), "MapCheckBox");
    m_mapCheck->setChecked(true);
    auto* partsLayout = new QVBoxLayout(partsGroup);
    partsLayout->setContentsMargins(8, 2, 8, 2);
    partsLayout->setSpacing(0);
    partsLayout->addWidget(m_staticsCheck);
    partsLayout->addWidget(m_mapCheck);

    auto* actionGroup =
        named(new QGroupBox(" Select an action ", configurationPanel), "ButtonGroupBox");
    m_generateButton = named(new QPushButton("Generate Diff", actionGroup), "GenerateButton");
    m_generateButton->setMinimumWidth(174);
    m_generateButton->setEnabled(false);
    auto* actionLayout = new QVBoxLayout(actionGroup);
    actionLayout->setContentsMargins(8, 2, 8, 4);
    actionLayout->addWidget(m_generateButton);

    auto* closeButton = named(new QToolButton(configurationPanel), "CloseBtn");
    closeButton->setMinimumSize(35, 24);
    closeButton->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    closeButton->setToolTip("Close");

    auto* configurationLayout = new QHBoxLayout(configurationPanel);
    configurationLayout->setContentsMargins(4, 0, 4, 0);
    configurationLayout->addWidget(partsGroup);
    configurationLayout->addWidget(actionGroup);
    configurationLayout->addStretch();
    configurationLayout->addWidget(closeButton, 0, Qt::AlignTop);

    auto* pathPanel = named(new QFrame(this), "FileNamePanel");
    const char* const columnNames[3] = {"StaIdxLabel", "StaticsLabel", "MapLabel"};
    const char* const columnTexts[3] = {"Staidx0.mul", "Statics0.mul", "Map0.mul"};
    const char* const editNames[6] = {"OStaIdxEdit", "OStaticsEdit", "OMapEdit",
                                      "MStaIdxEdit", "MStaticsEdit", "MMapEdit"};
    auto* pathLayout = new QGridLayout(pathPanel);
    pathLayout->setContentsMargins(6, 2, 6, 6);
    pathLayout->setVerticalSpacing(4);
    pathLayout->addWidget(named(new QLabel("Original files", pathPanel), "OriginalLabel"), 1, 0);
    pathLayout->addWidget(named(new QLabel("Modified files", pathPanel), "ModifiedLabel"), 2, 0);
    for (int i = 0; i < 6; ++i) {
        QLineEdit* edit = named(new QLineEdit(pathPanel), editNames[i]);
        edit->setMinimumWidth(121);
        m_pathEdits[std::size_t(i)] = edit;
        pathLayout->addWidget(edit, 1 + i / 3, 1 + i % 3);
    }
    for (int c = 0; c < 3; ++c) {
        pathLayout->addWidget(named(new QLabel(columnTexts[c], pathPanel), columnNames[c]), 0,
                              1 + c);
        pathLayout->setColumnStretch(1 + c, 1);
    }

    auto* dialogLayout = new QVBoxLayout(this);
    dialogLayout->setContentsMargins(0, 0, 0, 0);
    dialogLayout->setSpacing(3);
    dialogLayout->addWidget(configurationPanel);
    dialogLayout->addWidget(pathPanel);
    setFixedSize(sizeHint().expandedTo(QSize(455, 129)));

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
    connect(&m_prForm, &StageProgressDialog::cancelClicked, &m_jobs, &JobRunner::stop);

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
    if (m_jobs.busy())
        return;
    // Disabled for the whole run, which keeps a second click from starting another one.
    setEnabled(false);
    QString fileName;
    if (askPatchFileName(fileName))
        generate(fileName);
    else
        runEnded();
}

void DiffPatchDialog::generate(const QString& patchFile) {
    const auto path = [this](std::size_t index) { return uiPath(m_pathEdits[index]->text()); };
    const tb::DiffFileSet original{path(0), path(1), path(2)};
    const tb::DiffFileSet modified{path(3), path(4), path(5)};
    const std::filesystem::path patch = uiPath(patchFile);
    const bool withStatics = m_staticsCheck->isChecked();
    const bool withMap = m_mapCheck->isChecked();
    m_prForm.show();
    Job job;
    job.caption = "Generating the diff patch";
    job.work = [original, modified, patch, withStatics, withMap](tb::Progress& progress) {
        tb::generateDiff(original, modified, patch, withStatics, withMap, progress);
    };
    // A new caption is a new stage, whose bar starts again.
    job.shown = [this](const JobReport& step) {
        if (m_prForm.stage() != step.caption)
            m_prForm.setStage(step.caption);
        m_prForm.setProgress(int(step.done));
    };
    job.succeeded = [this] {
        // No parent: this window is disabled until the run has ended.
        m_prompts.showTitledMessage(nullptr, "Patch file ...", "Done.");
        runEnded();
    };
    job.stopped = [this](const QString& message) {
        runEnded();
        m_prompts.showMessage(this, message);
    };
    job.failed = [this](const std::exception& error) {
        runEnded();
        m_prompts.showFailure(this, error);
    };
    m_jobs.start(std::move(job));
}

void DiffPatchDialog::runEnded() {
    m_prForm.hide();
    setEnabled(true);
    checkAllPaths();
}

// The window stays while a run goes on: the stage window's Cancel stops it.
void DiffPatchDialog::reject() {
    if (!m_jobs.busy())
        QDialog::reject();
}

void DiffPatchDialog::closeEvent(QCloseEvent* event) {
    if (m_jobs.busy())
        event->ignore();
    else
        QDialog::closeEvent(event);
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
