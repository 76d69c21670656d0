#include "app/tools/MapCopyDialog.h"

#include "app/shell/MapEditorLink.h"
#include "app/shell/PathBox.h"
#include "app/shell/UiPath.h"
#include "app/tools/LoadedMapWrite.h"
#include "editor/MapDocument.h"
#include "shell/FileIdentity.h"
#include "shell/NumberText.h"
#include "shell/Progress.h"
#include "tools/MapCopy.h"
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

constexpr const char* kUnknown = "Unknown";

std::int32_t readInt(const QLineEdit* edit) {
    return tb::strToInt(edit->text().toStdString());
}

QLineEdit* coordinateEdit(QWidget* parent, const char* name) {
    auto* edit = new QLineEdit("0", parent);
    edit->setObjectName(name);
    edit->setFixedWidth(38);
    return edit;
}

QLabel* label(QWidget* parent, const char* name, const QString& text) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}

} // namespace

const QColor MapCopyDialog::kWrongCoordinateColour(255, 0, 0);

bool MapCopyDialog::isCoordinateWrong(const QLineEdit* edit) {
    return edit->palette().color(QPalette::Base) == kWrongCoordinateColour;
}

MapCopyDialog::MapCopyDialog(tbapp::Prompts& prompts, MapEditorLink* editor, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      m_prompts(prompts), m_editor(editor) {
    setObjectName("TMapCopyForm");
    setWindowTitle("Tolvane Brimholt - Map Copy");
    setFont(QFont("Tahoma", 8));

    m_sourceLabel = label(this, "SourceMap", "Source map:");
    m_sourceEdit = new QLineEdit(this);
    m_sourceEdit->setObjectName("EditSourceMap");
    m_chooseSourceButton = new QPushButton("...", this);
    m_chooseSourceButton->setObjectName("btnSourceFile");
    m_chooseSourceButton->setFixedWidth(25);
    m_sourceX1Edit = coordinateEdit(this, "EditSX1");
    m_sourceY1Edit = coordinateEdit(this, "EditSY1");
    m_sourceX2Edit = coordinateEdit(this, "EditSX2");
    m_sourceY2Edit = coordinateEdit(this, "EditSY2");
    m_sourceInfoGroup = new QGroupBox("Source Map file information : ", this);
    m_sourceInfoGroup->setObjectName("grp1");
    m_sourceCaptionLabel = label(m_sourceInfoGroup, "TextSMapInfo", QString());
    m_sourceSizeLabel = label(m_sourceInfoGroup, "TextSMapSize", QString());

    m_destinationLabel = label(this, "DestinationMap", "Destination map:");
    m_destinationEdit = new QLineEdit(this);
    m_destinationEdit->setObjectName("EditDestinationMap");
    m_chooseDestinationButton = new QPushButton("...", this);
    m_chooseDestinationButton->setObjectName("btnDestinationFile");
    m_chooseDestinationButton->setFixedWidth(25);
    m_destinationXEdit = coordinateEdit(this, "EditDX");
    m_destinationYEdit = coordinateEdit(this, "EditDY");
    m_copyButton = new QPushButton("Copy", this);
    m_copyButton->setObjectName("btnCopy");
    m_copyButton->setEnabled(false);
    m_destinationInfoGroup = new QGroupBox("Destination Map file information : ", this);
    m_destinationInfoGroup->setObjectName("grp2");
    m_destinationCaptionLabel = label(m_destinationInfoGroup, "TextDMapInfo", QString());
    m_destinationSizeLabel = label(m_destinationInfoGroup, "TextDMapSize", QString());

    m_progressBar = new QProgressBar(this);
    m_progressBar->setObjectName("ProgressBar");
    m_progressBar->setTextVisible(false);
    m_progressBar->setRange(0, 100);
    m_progressBar->setValue(0);
    m_cancelButton = new QPushButton("Cancel", this);
    m_cancelButton->setObjectName("btnCancel");
    m_cancelButton->setEnabled(false);

    // Source side on the left, destination side on the right, the bar along the bottom.
    auto* left = new QGridLayout;
    left->addWidget(m_sourceLabel, 0, 0, 1, 4);
    left->addWidget(m_sourceEdit, 1, 0, 1, 4);
    left->addWidget(m_chooseSourceButton, 1, 4);
    left->addWidget(label(this, "LabelSX1", "X1:"), 2, 0);
    left->addWidget(m_sourceX1Edit, 2, 1);
    left->addWidget(label(this, "LabelSY1", "Y1:"), 2, 2);
    left->addWidget(m_sourceY1Edit, 2, 3);
    left->addWidget(label(this, "LabelSX2", "X2:"), 3, 0);
    left->addWidget(m_sourceX2Edit, 3, 1);
    left->addWidget(label(this, "LabelSY2", "Y2:"), 3, 2);
    left->addWidget(m_sourceY2Edit, 3, 3);
    left->addWidget(m_sourceInfoGroup, 4, 0, 1, 6);
    left->setColumnStretch(5, 1);
    auto* sourceInfo = new QVBoxLayout(m_sourceInfoGroup);
    sourceInfo->addWidget(m_sourceCaptionLabel);
    sourceInfo->addWidget(m_sourceSizeLabel);

    auto* right = new QGridLayout;
    right->addWidget(m_destinationLabel, 0, 0, 1, 4);
    right->addWidget(m_destinationEdit, 1, 0, 1, 4);
    right->addWidget(m_chooseDestinationButton, 1, 4);
    right->addWidget(label(this, "LabelDX", "X:"), 2, 0);
    right->addWidget(m_destinationXEdit, 2, 1);
    right->addWidget(label(this, "LabelDY", "Y:"), 2, 2);
    right->addWidget(m_destinationYEdit, 2, 3);
    right->addWidget(m_copyButton, 3, 0, 1, 4);
    right->addWidget(m_destinationInfoGroup, 4, 0, 1, 6);
    right->setColumnStretch(5, 1);
    auto* destinationInfo = new QVBoxLayout(m_destinationInfoGroup);
    destinationInfo->addWidget(m_destinationCaptionLabel);
    destinationInfo->addWidget(m_destinationSizeLabel);

    auto* sides = new QHBoxLayout;
    sides->addLayout(left, 1);
    sides->addSpacing(12);
    sides->addLayout(right, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 4);
    layout->addLayout(sides);
    layout->addStretch(1);
    auto* barRow = new QHBoxLayout;
    barRow->addWidget(m_progressBar, 1);
    barRow->addWidget(m_cancelButton);
    layout->addLayout(barRow);
    setFixedSize(QSize(530, 182).expandedTo(sizeHint()));

    setTabOrder(m_sourceEdit, m_sourceX1Edit);
    setTabOrder(m_sourceX1Edit, m_sourceY1Edit);
    setTabOrder(m_sourceY1Edit, m_sourceX2Edit);
    setTabOrder(m_sourceX2Edit, m_sourceY2Edit);
    setTabOrder(m_sourceY2Edit, m_destinationEdit);
    setTabOrder(m_destinationEdit, m_destinationXEdit);
    setTabOrder(m_destinationXEdit, m_destinationYEdit);
    setTabOrder(m_destinationYEdit, m_copyButton);
    setTabOrder(m_copyButton, m_chooseSourceButton);
    setTabOrder(m_chooseSourceButton, m_chooseDestinationButton);

    // Opening state.
    m_normalBase = m_sourceX1Edit->palette().color(QPalette::Base);
    for (QLabel* info : {m_sourceCaptionLabel, m_sourceSizeLabel, m_destinationCaptionLabel,
                         m_destinationSizeLabel})
        info->setText(kUnknown);

    auto reported = [this](void (MapCopyDialog::*handler)()) {
        return
            [this, handler] { tbapp::runReported(m_prompts, this, [&] { (this->*handler)(); }); };
    };
    connect(m_chooseSourceButton, &QPushButton::clicked, this, &MapCopyDialog::chooseSource);
    connect(m_chooseDestinationButton, &QPushButton::clicked, this,
            &MapCopyDialog::chooseDestination);
    connect(m_copyButton, &QPushButton::clicked, this, &MapCopyDialog::copyCells);
    connect(m_cancelButton, &QPushButton::clicked, &m_jobs, &JobRunner::stop);
    connect(m_sourceEdit, &QLineEdit::textChanged, this, reported(&MapCopyDialog::checkSourcePath));
    connect(m_destinationEdit, &QLineEdit::textChanged, this,
            reported(&MapCopyDialog::checkDestinationPath));
    connect(m_sourceX1Edit, &QLineEdit::textChanged, this, reported(&MapCopyDialog::checkSourceX1));
    connect(m_sourceX2Edit, &QLineEdit::textChanged, this, reported(&MapCopyDialog::checkSourceX2));
    connect(m_sourceY1Edit, &QLineEdit::textChanged, this, reported(&MapCopyDialog::checkSourceY1));
    connect(m_sourceY2Edit, &QLineEdit::textChanged, this, reported(&MapCopyDialog::checkSourceY2));
    connect(m_destinationXEdit, &QLineEdit::textChanged, this,
            reported(&MapCopyDialog::checkDestinationX));
    connect(m_destinationYEdit, &QLineEdit::textChanged, this,
            reported(&MapCopyDialog::checkDestinationY));
}

QString MapCopyDialog::askMapFile(const QString& name, QString& dir) {
    tbapp::FileDialogRequest request;
    request.name = name;
    request.filter = "Ultima Online MAP (*.mul *.uop)";
    request.directory = dir;
    const QString chosen = m_prompts.openFileName(this, request);
    if (!chosen.isEmpty())
        dir = QFileInfo(chosen).absolutePath();
    return chosen;
}

void MapCopyDialog::chooseSource() {
    const QString name = askMapFile("dlgOpenSource", m_sourceDir);
    tbapp::runReported(m_prompts, this, [&] {
        if (!name.isEmpty())
            m_sourceEdit->setText(name);
        checkSourcePath();
    });
}

void MapCopyDialog::chooseDestination() {
    const QString name = askMapFile("dlgOpenDestination", m_destinationDir);
    tbapp::runReported(m_prompts, this, [&] {
        if (!name.isEmpty())
            m_destinationEdit->setText(name);
        checkDestinationPath();
    });
}

void MapCopyDialog::checkSourcePath() {
    pathCheck(Side::Source);
}

void MapCopyDialog::checkDestinationPath() {
    pathCheck(Side::Destination);
}

void MapCopyDialog::pathCheck(Side side) {
    QLineEdit* edit = side == Side::Source ? m_sourceEdit : m_destinationEdit;
    std::error_code ec;
    if (!edit->text().isEmpty() && std::filesystem::is_regular_file(uiPath(edit->text()), ec))
        identifyMap(side);
    else
        tbapp::setPathBoxValid(edit, false);
    m_copyButton->setEnabled(!m_jobs.busy() && tbapp::isPathBoxValid(m_sourceEdit) &&
                             tbapp::isPathBoxValid(m_destinationEdit));
    checkAllCoordinates();
}

void MapCopyDialog::identifyMap(Side side) {
    const bool source = side == Side::Source;
    QLineEdit* edit = source ? m_sourceEdit : m_destinationEdit;
    QLabel* info = source ? m_sourceCaptionLabel : m_destinationCaptionLabel;
    QLabel* size = source ? m_sourceSizeLabel : m_destinationSizeLabel;
    int& lastX = source ? m_sourceLastX : m_destLastX;
    int& lastY = source ? m_sourceLastY : m_destLastY;
    info->setText(kUnknown);
    size->setText(kUnknown);
    lastX = 0;
    lastY = 0;
    tbapp::setPathBoxValid(edit, false);
    if (const auto variant = tb::identifyMapFile(uiPath(edit->text()))) {
        info->setText(QString::fromStdString(tb::copyMapCaption(*variant)));
        size->setText(QString::fromStdString(tb::mapSizeText(variant->size())));
        lastX = variant->width - 1;
        lastY = variant->height - 1;
        tbapp::setPathBoxValid(edit, true);
    }
}

void MapCopyDialog::setWrong(QLineEdit* edit, bool wrong) {
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Base, wrong ? kWrongCoordinateColour : m_normalBase);
    edit->setPalette(palette);
}

void MapCopyDialog::checkSourceCoordinate(QLineEdit* edit, int last,
                                          void (MapCopyDialog::*then)()) {
    if (edit->text().isEmpty())
        return;
    setWrong(edit, tb::sourceCoordinateOutOfRange(readInt(edit), last));
    (this->*then)();
}

void MapCopyDialog::checkTargetCoordinate(QLineEdit* target, QLineEdit* first, QLineEdit* second,
                                          int last) {
    if (target->text().isEmpty() || first->text().isEmpty() || second->text().isEmpty())
        return;
    const std::int32_t d = readInt(target);
    const std::int32_t c1 = readInt(first);
    const std::int32_t c2 = readInt(second);
    setWrong(target, tb::targetCoordinateOutOfRange(d, c1, c2, last));
}

void MapCopyDialog::checkSourceX1() {
    checkSourceCoordinate(m_sourceX1Edit, m_sourceLastX, &MapCopyDialog::checkDestinationX);
}

void MapCopyDialog::checkSourceX2() {
    checkSourceCoordinate(m_sourceX2Edit, m_sourceLastX, &MapCopyDialog::checkDestinationX);
}

void MapCopyDialog::checkSourceY1() {
    checkSourceCoordinate(m_sourceY1Edit, m_sourceLastY, &MapCopyDialog::checkDestinationY);
}

void MapCopyDialog::checkSourceY2() {
    checkSourceCoordinate(m_sourceY2Edit, m_sourceLastY, &MapCopyDialog::checkDestinationY);
}

void MapCopyDialog::checkDestinationX() {
    checkTargetCoordinate(m_destinationXEdit, m_sourceX1Edit, m_sourceX2Edit, m_destLastX);
}

void MapCopyDialog::checkDestinationY() {
    checkTargetCoordinate(m_destinationYEdit, m_sourceY1Edit, m_sourceY2Edit, m_destLastY);
}

void MapCopyDialog::checkAllCoordinates() {
    checkSourceX1();
    checkSourceX2();
    checkSourceY1();
    checkSourceY2();
    checkDestinationX();
    checkDestinationY();
}

void MapCopyDialog::copyCells() {
    if (m_jobs.busy())
        return;
    for (const QLineEdit* edit : {m_sourceX1Edit, m_sourceY1Edit, m_sourceX2Edit, m_sourceY2Edit,
                                  m_destinationXEdit, m_destinationYEdit})
        if (isCoordinateWrong(edit)) {
            m_prompts.showMessage(this, tb::kWrongCoordinatesMessage);
            return;
        }
    if (m_sourceSizeLabel->text() == kUnknown || m_destinationSizeLabel->text() == kUnknown) {
        m_prompts.showMessage(this, tb::kUnknownMapMessage);
        return;
    }
    tbapp::runReported(m_prompts, this, [&] { runCopy(); });
}

void MapCopyDialog::runCopy() {
    tb::CopyRect rect;
    rect.x1 = readInt(m_sourceX1Edit);
    rect.y1 = readInt(m_sourceY1Edit);
    rect.x2 = readInt(m_sourceX2Edit);
    rect.y2 = readInt(m_sourceY2Edit);
    rect.dx = readInt(m_destinationXEdit);
    rect.dy = readInt(m_destinationYEdit);
    if (rect.x1 == 0 && rect.y1 == 0 && rect.x2 == 0 && rect.y2 == 0) {
        m_prompts.showMessage(this, tb::kZeroCoordinatesMessage);
        return;
    }
    const std::filesystem::path source = uiPath(m_sourceEdit->text());
    const std::filesystem::path destination = uiPath(m_destinationEdit->text());
    // The window may be gone by the time a Save of the loaded map has ended.
    QPointer<MapCopyDialog> self(this);
    writeAfterLoadedMapSaved(m_editor, m_prompts, this, destination, "the map copy",
                             [self, source, rect, destination] {
                                 if (self)
                                     self->startCopy(source, rect, destination);
                             });
}

void MapCopyDialog::startCopy(const std::filesystem::path& source, const tb::CopyRect& rect,
                              const std::filesystem::path& destination) {
    if (m_jobs.busy())
        return;
    m_copyButton->setEnabled(false);
    m_cancelButton->setEnabled(true);
    m_progressBar->setRange(0, 100);
    m_progressBar->setValue(0);
    Job job;
    job.caption = "Copying map cells";
    job.work = [source, rect, destination](tb::Progress& progress) {
        tb::copyMapCells(source, rect, destination, progress);
    };
    job.shown = [this](const JobReport& step) { m_progressBar->setValue(int(step.done)); };
    job.succeeded = [this, destination] {
        copyEnded();
        if (!m_editor)
            return;
        const tb::MapDocument* document = m_editor->mapDocument();
        if (document && tb::sameFile(document->fileName(), destination))
            m_wroteLoadedMap = true;
        m_editor->mapFileWritten(destination);
    };
    job.reportStopOrRefusal(
        m_prompts, this, [this] { copyEnded(); }, tb::isToolRefusal);
    m_jobs.start(std::move(job));
}

void MapCopyDialog::copyEnded() {
    m_cancelButton->setEnabled(false);
    m_copyButton->setEnabled(tbapp::isPathBoxValid(m_sourceEdit) &&
                             tbapp::isPathBoxValid(m_destinationEdit));
}

// Closing waits for the copy: Cancel stops it.
void MapCopyDialog::reject() {
    if (!m_jobs.busy())
        QDialog::reject();
}

void MapCopyDialog::closeEvent(QCloseEvent* event) {
    if (m_jobs.busy())
        event->ignore();
    else
        QDialog::closeEvent(event);
}

} // namespace tbapp
