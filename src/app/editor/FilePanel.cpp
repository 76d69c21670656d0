#include "app/editor/FilePanel.h"

#include "app/shell/PathBox.h"
#include "app/shell/Prompts.h"
#include "app/shell/UiPath.h"

#include "core/ArtContainer.h"
#include "core/MapFile.h"

#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <filesystem>

namespace tbapp {
namespace {

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

} // namespace

FilePanel::FilePanel(Prompts& prompts, QWidget* parent) : QWidget(parent), m_prompts(prompts) {
    setObjectName("FileNamePanel");
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->setVerticalSpacing(2);

    m_mapPathEdit = new QLineEdit("Path to MAPx file", this);
    m_mapPathEdit->setObjectName("MapEdit");
    m_mapBrowseButton = new QPushButton("...", this);
    m_mapBrowseButton->setObjectName("TlLoadMap");
    m_loadButton = new QPushButton("Load", this);
    m_loadButton->setObjectName("btnLoad");
    m_gamePathEdit = new QLineEdit("Path to Ultima Online directory", this);
    m_gamePathEdit->setObjectName("UOPathEdit");
    m_gameBrowseButton = new QPushButton("...", this);
    m_gameBrowseButton->setObjectName("TlSelectDir");
    m_saveButton = new QPushButton("Save", this);
    m_saveButton->setObjectName("btnSave");
    m_saveButton->setEnabled(false);
    for (QPushButton* browse : {m_mapBrowseButton, m_gameBrowseButton})
        browse->setMaximumWidth(browse->fontMetrics().horizontalAdvance("...") + 20);
    // Save keeps the width of its longest caption, so "Saving ..." does not move the boxes.
    m_saveButton->setMinimumWidth(m_saveButton->sizeHint().width() +
                                  m_saveButton->fontMetrics().horizontalAdvance("ing ..."));

    layout->addWidget(new QLabel("MAPx.mul :", this), 0, 0);
    layout->addWidget(m_mapPathEdit, 0, 1);
    layout->addWidget(m_mapBrowseButton, 0, 2);
    layout->addWidget(m_loadButton, 0, 3);
    layout->addWidget(new QLabel("Ultima Online directory :", this), 1, 0);
    layout->addWidget(m_gamePathEdit, 1, 1);
    layout->addWidget(m_gameBrowseButton, 1, 2);
    layout->addWidget(m_saveButton, 1, 3);

    auto* info = new QGroupBox(" Map file information ", this);
    info->setObjectName("MapInfoGroup");
    auto* infoLayout = new QVBoxLayout(info);
    infoLayout->setContentsMargins(4, 0, 4, 0);
    infoLayout->setSpacing(0);
    m_versionLabel = new QLabel("Map version", info);
    m_versionLabel->setObjectName("MapInfo");
    m_sizeLabel = new QLabel("MapSize", info);
    m_sizeLabel->setObjectName("MapSize");
    infoLayout->addWidget(m_versionLabel);
    infoLayout->addWidget(m_sizeLabel);
    layout->addWidget(info, 0, 4, 2, 1);
    layout->setColumnStretch(1, 1);

    connect(m_mapPathEdit, &QLineEdit::textChanged, this, &FilePanel::mapPathEdited);
    connect(m_gamePathEdit, &QLineEdit::textChanged, this, &FilePanel::gamePathChanged);
    connect(m_mapBrowseButton, &QPushButton::clicked, this, &FilePanel::chooseMapFile);
    connect(m_gameBrowseButton, &QPushButton::clicked, this, &FilePanel::chooseGameDir);
    connect(m_loadButton, &QPushButton::clicked, this, &FilePanel::loadClicked);
    connect(m_saveButton, &QPushButton::clicked, this, &FilePanel::saveClicked);
}

QString FilePanel::mapPath() const {
    return m_mapPathEdit->text();
}

QString FilePanel::gamePath() const {
    return m_gamePathEdit->text();
}

bool FilePanel::mapPathValid() const {
    return isPathBoxValid(m_mapPathEdit);
}

bool FilePanel::gamePathValid() const {
    return isPathBoxValid(m_gamePathEdit);
}

void FilePanel::setMapPath(const QString& path) {
    if (m_mapPathEdit->text() == path)
        emit mapPathEdited();
    else
        m_mapPathEdit->setText(path);
}

void FilePanel::setGamePath(const QString& path) {
    if (m_gamePathEdit->text() == path)
        gamePathChanged();
    else
        m_gamePathEdit->setText(path);
}

void FilePanel::restoreMapPath(const QString& path) {
    const QSignalBlocker quiet(m_mapPathEdit);
    m_mapPathEdit->setText(path);
}

// Green only for an existing file under a map file name; the size is not tested here.
std::optional<tb::MapVariant> FilePanel::validateMapPath() {
    const QString path = m_mapPathEdit->text();
    const QFileInfo file(path);
    setPathBoxValid(m_mapPathEdit, !path.isEmpty() && file.isFile() &&
                                       tb::isAcceptedMapFileName(file.fileName().toStdString()));
    m_versionLabel->setText(fromUtf8(tb::kNoVariantCaption));
    m_sizeLabel->setText(fromUtf8(tb::kNoVariantCaption));
    m_variant.reset();
    if (!mapPathValid())
        return std::nullopt;
    m_variant = tb::identifyMapFile(uiPath(path));
    if (m_variant) {
        m_versionLabel->setText(fromUtf8(m_variant->caption));
        m_sizeLabel->setText(QString::fromStdString(tb::mapSizeText(m_variant->size())));
    }
    return m_variant;
}

// Green when the art files are there (artidx.mul/art.mul or artLegacyMUL.uop).
void FilePanel::gamePathChanged() {
    const QString dir = m_gamePathEdit->text();
    const bool valid = !dir.isEmpty() && tb::hasGameArt(uiPath(dir));
    setPathBoxValid(m_gamePathEdit, valid);
    emit gamePathEdited(valid);
}

void FilePanel::chooseMapFile() {
    FileDialogRequest request;
    request.name = "OpenMapFile";
    request.filter = "Ultima Online MAP (map*.mul map*.uop)";
    const QString file = m_prompts.openFileName(this, request);
    if (!file.isEmpty())
        m_mapPathEdit->setText(QDir::toNativeSeparators(file));
}

void FilePanel::chooseGameDir() {
    const QString dir =
        m_prompts.chooseFolder(this, "Select Ultima Online directory:", m_gamePathEdit->text());
    if (!dir.isEmpty())
        m_gamePathEdit->setText(QDir::toNativeSeparators(dir));
}

void FilePanel::setSaveAvailable(bool available) {
    m_saveAvailable = available;
    m_saveButton->setEnabled(available && !m_jobRunning);
    emit buttonsChanged();
}

void FilePanel::setJobRunning(bool running, bool saving) {
    m_jobRunning = running;
    m_saveButton->setText(saving ? "Saving ..." : "Save");
    m_saveButton->setEnabled(!running && m_saveAvailable);
    m_loadButton->setEnabled(!running);
    emit buttonsChanged();
}

// The buttons' own state: the window around them may be off for a moment while a job runs.
bool FilePanel::loadEnabled() const {
    return m_loadButton->isEnabledTo(this);
}

bool FilePanel::saveEnabled() const {
    return m_saveButton->isEnabledTo(this);
}

} // namespace tbapp
