#include "app/tools/MapEnlargeDialog.h"

#include "app/shell/MapEditorLink.h"
#include "app/shell/UiPath.h"
#include "app/tools/LoadedMapWrite.h"
#include "shell/Progress.h"
#include "tools/MapEnlarge.h"
#include "tools/ToolFiles.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <filesystem>

namespace tbapp {

namespace {

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

} // namespace

MapEnlargeDialog::MapEnlargeDialog(tbapp::Prompts& prompts, MapEditorLink* editor, QWidget* owner)
    : QDialog(owner), m_prompts(prompts), m_editor(editor) {
    setObjectName("TMapExtendForm");
    setWindowTitle("Tolvane Brimholt - Map Enlagement");
    setFont(QFont("Tahoma", 8));

    m_sourceLabel = new QLabel("Path to map file (source) :", this);
    m_sourceLabel->setObjectName("Label1");
    m_sourceEdit = new QLineEdit(this);
    m_sourceEdit->setObjectName("SourceMap");
    m_sourceEdit->setEnabled(false); // filled by the button beside it only
    m_chooseSourceButton = new QPushButton("...", this);
    m_chooseSourceButton->setObjectName("TLMapLoad");
    m_chooseSourceButton->setFixedWidth(25);

    m_infoGroup = new QGroupBox(" Map file information ", this);
    m_infoGroup->setObjectName("MapInfoPanel");
    m_captionLabel = new QLabel(m_infoGroup);
    m_captionLabel->setObjectName("MapInfo");
    m_sizeLabel = new QLabel(m_infoGroup);
    m_sizeLabel->setObjectName("MapSize");

    m_progressLabel = new QLabel(this);
    m_progressLabel->setObjectName("ProgressInfo");
    m_progressLabel->setAlignment(Qt::AlignCenter);
    m_progressBar = new QProgressBar(this);
    m_progressBar->setObjectName("ProgressBar");
    m_progressBar->setTextVisible(false);
    m_progressBar->setRange(0, 100);
    m_progressBar->setValue(0);

    m_enlargeButton = new QPushButton("Enlarge to Mondain's Legacy", this);
    m_enlargeButton->setObjectName("TLMapSave");
    m_cancelButton = new QPushButton("Cancel", this);
    m_cancelButton->setObjectName("btnCancel");
    m_cancelButton->setEnabled(false);

    auto* sourceRow = new QHBoxLayout;
    sourceRow->addWidget(m_sourceEdit);
    sourceRow->addWidget(m_chooseSourceButton);
    auto* infoLayout = new QVBoxLayout(m_infoGroup);
    infoLayout->addWidget(m_captionLabel);
    infoLayout->addWidget(m_sizeLabel);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 8);
    layout->setSpacing(4);
    layout->addWidget(m_sourceLabel);
    layout->addLayout(sourceRow);
    layout->addWidget(m_infoGroup);
    layout->addWidget(m_progressLabel);
    layout->addWidget(m_progressBar);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addWidget(m_enlargeButton, 1);
    buttonRow->addWidget(m_cancelButton);
    layout->addLayout(buttonRow);
    resize(QSize(331, 168).expandedTo(sizeHint()));

    // FormCreate
    m_progressLabel->setText(QString());
    m_captionLabel->setText("None");
    m_sizeLabel->setText("None");

    connect(m_chooseSourceButton, &QPushButton::clicked, this, &MapEnlargeDialog::chooseSource);
    connect(m_sourceEdit, &QLineEdit::textChanged, this, &MapEnlargeDialog::identifySource);
    connect(m_enlargeButton, &QPushButton::clicked, this,
            &MapEnlargeDialog::chooseDestinationAndEnlarge);
    connect(m_cancelButton, &QPushButton::clicked, &m_jobs, &JobRunner::stop);
}

void MapEnlargeDialog::chooseSource() {
    tbapp::FileDialogRequest request;
    request.name = "MapLoad";
    request.filter = "Ultima Online MAP (map*.mul map*.uop)";
    request.directory = m_loadDir;
    const QString name = m_prompts.openFileName(this, request);
    if (name.isEmpty())
        return;
    m_loadDir = QFileInfo(name).absolutePath();
    m_sourceEdit->setText(name);
}

void MapEnlargeDialog::identifySource() {
    m_captionLabel->setText("None");
    m_sizeLabel->setText("None");
    if (m_sourceEdit->text().isEmpty())
        return;
    if (const auto variant = tb::identifyMapFile(uiPath(m_sourceEdit->text()))) {
        m_captionLabel->setText(fromUtf8(variant->caption));
        m_sizeLabel->setText(QString::fromStdString(tb::mapSizeText(variant->size())));
    }
}

void MapEnlargeDialog::chooseDestinationAndEnlarge() {
    if (m_jobs.busy())
        return;
    if (m_captionLabel->text() == "None") {
        m_prompts.showMessage(this, tb::kWrongSourceMapMessage);
        return;
    }
    tbapp::FileDialogRequest request;
    request.name = "MapSave";
    request.filter = "Ultima Online MAP (*.mul *.uop)";
    request.directory = m_saveDir;
    // The new map is offered in the form of its source; the name's extension decides. An
    // existing file is replaced without asking.
    request.defaultName =
        QString::fromUtf8(tb::enlargedMapDefaultName(uiPath(m_sourceEdit->text())));
    const QString destination = m_prompts.saveFileName(this, request);
    if (destination.isEmpty())
        return;
    m_saveDir = QFileInfo(destination).absolutePath();
    // The window may be gone by the time a Save of the loaded map has ended.
    QPointer<MapEnlargeDialog> self(this);
    writeAfterLoadedMapSaved(m_editor, m_prompts, this, uiPath(destination), "the map enlargement",
                             [self, destination] {
                                 if (self)
                                     self->enlargeTo(destination);
                             });
}

void MapEnlargeDialog::enlargeTo(const QString& destination) {
    if (m_jobs.busy())
        return;
    m_enlargeButton->setEnabled(false);
    m_cancelButton->setEnabled(true);
    m_progressBar->setValue(0);
    m_progressLabel->setText(tb::kBlankPassStartText);
    const std::filesystem::path source = uiPath(m_sourceEdit->text());
    const std::filesystem::path target = uiPath(destination);
    Job job;
    job.caption = "Enlarging " + QFileInfo(m_sourceEdit->text()).fileName();
    job.work = [source, target](tb::Progress& progress) {
        tb::enlargeMap(source, target, progress);
    };
    job.shown = [this](const JobReport& step) {
        m_progressBar->setMaximum(int(step.total));
        m_progressBar->setValue(int(step.done));
        m_progressLabel->setText(step.caption);
    };
    job.succeeded = [this, target] {
        runEnded();
        if (m_editor)
            m_editor->mapFileWritten(target);
    };
    // A failed or stopped run leaves no progress text behind, so the window does not look
    // busy.
    job.reportStopOrRefusal(
        m_prompts, this,
        [this] {
            m_progressBar->setValue(0);
            m_progressLabel->setText(QString());
            runEnded();
        },
        tb::isToolRefusal);
    m_jobs.start(std::move(job));
}

void MapEnlargeDialog::runEnded() {
    m_enlargeButton->setEnabled(true);
    m_cancelButton->setEnabled(false);
}

// Closing waits for the run: Cancel stops it.
void MapEnlargeDialog::reject() {
    if (!m_jobs.busy())
        QDialog::reject();
}

void MapEnlargeDialog::closeEvent(QCloseEvent* event) {
    if (m_jobs.busy())
        event->ignore();
    else
        QDialog::closeEvent(event);
}

} // namespace tbapp
