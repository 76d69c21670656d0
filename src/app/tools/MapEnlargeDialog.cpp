#include "tools/MapEnlargeDialog.h"

#include "tools/MapEnlarge.h"
#include "tools/ToolFiles.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <filesystem>

namespace tbapp {

namespace {

std::filesystem::path toPath(const QString& text) {
    return std::filesystem::path(text.toStdU16String());
}

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

} // namespace

MapEnlargeDialog::MapEnlargeDialog(tbapp::Prompts& prompts, QWidget* owner)
    : QDialog(owner), m_prompts(prompts) {
    setObjectName("TMapExtendForm");
    setWindowTitle("Tolvane Brimholt - Map Enlagement");
    setFont(QFont("Tahoma", 8));

    Label1 = new QLabel("Path to map file (source) :", this);
    Label1->setObjectName("Label1");
    SourceMap = new QLineEdit(this);
    SourceMap->setObjectName("SourceMap");
    SourceMap->setEnabled(false); // filled by the button beside it only
    TLMapLoad = new QPushButton("...", this);
    TLMapLoad->setObjectName("TLMapLoad");
    TLMapLoad->setFixedWidth(25);

    MapInfoPanel = new QGroupBox(" Map file information ", this);
    MapInfoPanel->setObjectName("MapInfoPanel");
    MapInfo = new QLabel(MapInfoPanel);
    MapInfo->setObjectName("MapInfo");
    MapSize = new QLabel(MapInfoPanel);
    MapSize->setObjectName("MapSize");

    ProgressInfo = new QLabel(this);
    ProgressInfo->setObjectName("ProgressInfo");
    ProgressInfo->setAlignment(Qt::AlignCenter);
    ProgressBar = new QProgressBar(this);
    ProgressBar->setObjectName("ProgressBar");
    ProgressBar->setTextVisible(false);
    ProgressBar->setRange(0, 100);
    ProgressBar->setValue(0);

    TLMapSave = new QPushButton("Enlarge to Mondain's Legacy", this);
    TLMapSave->setObjectName("TLMapSave");

    auto* sourceRow = new QHBoxLayout;
    sourceRow->addWidget(SourceMap);
    sourceRow->addWidget(TLMapLoad);
    auto* infoLayout = new QVBoxLayout(MapInfoPanel);
    infoLayout->addWidget(MapInfo);
    infoLayout->addWidget(MapSize);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 8);
    layout->setSpacing(4);
    layout->addWidget(Label1);
    layout->addLayout(sourceRow);
    layout->addWidget(MapInfoPanel);
    layout->addWidget(ProgressInfo);
    layout->addWidget(ProgressBar);
    layout->addWidget(TLMapSave);
    resize(QSize(331, 168).expandedTo(sizeHint()));

    // FormCreate
    ProgressInfo->setText(QString());
    MapInfo->setText("None");
    MapSize->setText("None");

    connect(TLMapLoad, &QPushButton::clicked, this, &MapEnlargeDialog::TLMapLoadClick);
    connect(SourceMap, &QLineEdit::textChanged, this, &MapEnlargeDialog::SourceMapChange);
    connect(TLMapSave, &QPushButton::clicked, this, &MapEnlargeDialog::TLMapSaveClick);
}

void MapEnlargeDialog::TLMapLoadClick() {
    tbapp::FileDialogRequest request;
    request.name = "MapLoad";
    request.filter = "Ultima Online MAP (map*.mul map*.uop)";
    request.directory = m_loadDir;
    const QString name = m_prompts.openFileName(this, request);
    if (name.isEmpty())
        return;
    m_loadDir = QFileInfo(name).absolutePath();
    SourceMap->setText(name);
}

void MapEnlargeDialog::SourceMapChange() {
    NazevMapy();
}

void MapEnlargeDialog::NazevMapy() {
    MapInfo->setText("None");
    MapSize->setText("None");
    if (SourceMap->text().isEmpty())
        return;
    if (const auto variant = tb::identifyMapFile(toPath(SourceMap->text()))) {
        MapInfo->setText(fromUtf8(variant->caption));
        MapSize->setText(fromUtf8(variant->sizeText));
    }
}

void MapEnlargeDialog::TLMapSaveClick() {
    if (m_running)
        return;
    if (MapInfo->text() == "None") {
        m_prompts.showMessage(this, tb::kWrongSourceMapMessage);
        return;
    }
    tbapp::FileDialogRequest request;
    request.name = "MapSave";
    request.filter = "Ultima Online MAP (*.mul *.uop)";
    request.directory = m_saveDir;
    // The new map is offered in the form of its source; the name's extension decides. An
    // existing file is replaced without asking.
    request.defaultName = QString::fromUtf8(tb::enlargedMapDefaultName(toPath(SourceMap->text())));
    const QString destination = m_prompts.saveFileName(this, request);
    if (destination.isEmpty())
        return;
    m_saveDir = QFileInfo(destination).absolutePath();
    enlargeTo(destination);
}

void MapEnlargeDialog::enlargeTo(const QString& destination) {
    m_running = true;
    TLMapSave->setEnabled(false);
    ProgressBar->setValue(0);
    ProgressInfo->setText(tb::kBlankPassStartText);
    QApplication::processEvents();
    try {
        tb::enlargeMap(toPath(SourceMap->text()), toPath(destination),
                       [this](const tb::EnlargeProgress& step) {
                           ProgressBar->setMaximum(step.maximum);
                           ProgressBar->setValue(step.position);
                           ProgressInfo->setText(QString::fromUtf8(step.text));
                           if (step.position % 10 == 0)
                               QApplication::processEvents();
                       });
    } catch (const tb::ToolRefusal& refusal) {
        ProgressBar->setValue(0);
        ProgressInfo->setText(QString());
        m_prompts.showMessage(this, refusal.what());
    } catch (const std::exception& error) {
        // A failed run leaves no progress text behind, so the window does not look busy.
        ProgressBar->setValue(0);
        ProgressInfo->setText(QString());
        m_prompts.showFailure(this, error);
    }
    m_running = false;
    TLMapSave->setEnabled(true);
}

void MapEnlargeDialog::reject() {
    if (!m_running)
        QDialog::reject();
}

void MapEnlargeDialog::closeEvent(QCloseEvent* event) {
    if (m_running)
        event->ignore();
    else
        QDialog::closeEvent(event);
}

} // namespace tbapp
