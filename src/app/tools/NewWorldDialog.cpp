#include "app/tools/NewWorldDialog.h"

#include "app/shell/UiPath.h"
#include "app/tools/LoadedMapWrite.h"
#include "catalogue/TerrainFile.h"
#include "render/WorldFromPictures.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <limits>
#include <memory>

namespace tbapp {
namespace {

const QString kPictureFilter = "Pictures (*.png *.bmp *.gif *.tif *.tiff);;All files (*)";

QString fromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// What the user is told after a run whose cells did not all find a tile.
QString missingText(const tb::GenerateReport& report, const QString& terrainFile) {
    QStringList cells;
    for (const tb::CellPoint& c : report.missing)
        cells << QString("%1,%2").arg(c.x).arg(c.y);
    return QString("%1 cells need corners that no tile of %2 has; each got the fill tile of its "
                   "top-left terrain. The first: %3.")
        .arg(report.missingCount)
        .arg(terrainFile, cells.join(' '));
}

} // namespace

NewWorldDialog::NewWorldDialog(const QString& applicationDir, Prompts& prompts,
                               MapEditorLink* editor, QWidget* owner)
    : QDialog(owner), m_applicationDir(applicationDir), m_prompts(prompts), m_editor(editor) {
    setObjectName("NewWorldDialog");
    setWindowTitle("New world from pictures");

    auto* grid = new QGridLayout;
    m_terrainEdit = addPathRow(grid, 0, "&Terrain picture:", "TerrainPictureEdit",
                               "TerrainPictureButton", &NewWorldDialog::chooseTerrainPicture);
    m_altitudeEdit = addPathRow(grid, 1, "&Altitude picture:", "AltitudePictureEdit",
                                "AltitudePictureButton", &NewWorldDialog::chooseAltitudePicture);

    auto* terrainFileLabel = new QLabel("Terrain &file:", this);
    m_terrainFileBox = new QComboBox(this);
    m_terrainFileBox->setObjectName("TerrainFileBox");
    m_terrainFileBox->setAccessibleName("Terrain file");
    m_terrainFileBox->setToolTip("The terrain files of the terrains folder beside the program");
    terrainFileLabel->setBuddy(m_terrainFileBox);
    for (const std::string& name : tb::listTerrainFiles(uiPath(m_applicationDir)))
        m_terrainFileBox->addItem(fromUtf8(name));
    if (const int demo = m_terrainFileBox->findText("demo"); demo >= 0)
        m_terrainFileBox->setCurrentIndex(demo);
    grid->addWidget(terrainFileLabel, 2, 0);
    grid->addWidget(m_terrainFileBox, 2, 1, 1, 2);

    m_destinationEdit = addPathRow(grid, 3, "&New map file:", "NewMapEdit", "NewMapButton",
                                   &NewWorldDialog::chooseDestination);
    m_destinationEdit->setPlaceholderText("map4.mul, map0LegacyMUL.uop ...");

    auto* seedLabel = new QLabel("&Seed:", this);
    m_seedSpin = new QSpinBox(this);
    m_seedSpin->setObjectName("SeedSpin");
    m_seedSpin->setAccessibleName("Seed");
    m_seedSpin->setRange(0, std::numeric_limits<int>::max());
    m_seedSpin->setValue(1);
    m_seedSpin->setToolTip("The same pictures, terrain file and seed give the same world");
    seedLabel->setBuddy(m_seedSpin);
    grid->addWidget(seedLabel, 4, 0);
    grid->addWidget(m_seedSpin, 4, 1, 1, 2);
    m_staticsCheck =
        new QCheckBox("With &statics (items by the terrain file's scatter rules)", this);
    m_staticsCheck->setObjectName("WithStaticsCheck");
    m_staticsCheck->setAccessibleName("With statics");
    m_staticsCheck->setChecked(true);
    grid->addWidget(m_staticsCheck, 5, 1, 1, 2);
    grid->setColumnStretch(1, 1);

    m_progressLabel = new QLabel(this);
    m_progressLabel->setObjectName("ProgressInfo");
    m_progressLabel->setAccessibleName("Progress");
    m_progressBar = new QProgressBar(this);
    m_progressBar->setObjectName("ProgressBar");
    m_progressBar->setAccessibleName("Progress");
    m_progressBar->setTextVisible(false);
    m_progressBar->setRange(0, 100);
    m_progressBar->setValue(0);

    m_generateButton = new QPushButton("&Generate", this);
    m_generateButton->setObjectName("GenerateButton");
    m_generateButton->setAccessibleName("Generate");
    m_generateButton->setDefault(true);
    m_cancelButton = new QPushButton("Cancel", this);
    m_cancelButton->setObjectName("CancelButton");
    m_cancelButton->setAccessibleName("Cancel");

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_generateButton);
    buttons->addWidget(m_cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(m_progressLabel);
    layout->addWidget(m_progressBar);
    layout->addLayout(buttons);
    resize(QSize(520, 0).expandedTo(sizeHint()));

    connect(m_generateButton, &QPushButton::clicked, this, &NewWorldDialog::generate);
    // Cancel stops a run, which leaves no file; without one it closes the window.
    connect(m_cancelButton, &QPushButton::clicked, this, [this] {
        if (m_jobs.busy())
            m_jobs.stop();
        else
            reject();
    });
}

QLineEdit* NewWorldDialog::addPathRow(QGridLayout* grid, int row, const QString& label,
                                      const char* name, const char* buttonName,
                                      void (NewWorldDialog::*choose)()) {
    auto* text = new QLabel(label, this);
    auto* edit = new QLineEdit(this);
    edit->setObjectName(name);
    QString accessible = label;
    accessible.remove('&').chop(1); // "Terrain picture:" -> "Terrain picture"
    edit->setAccessibleName(accessible);
    text->setBuddy(edit);
    auto* button = new QPushButton("...", this);
    button->setObjectName(buttonName);
    button->setAccessibleName("Choose the " + accessible.toLower());
    button->setToolTip("Choose the " + accessible.toLower());
    button->setFixedWidth(28);
    connect(button, &QPushButton::clicked, this, choose);
    grid->addWidget(text, row, 0);
    grid->addWidget(edit, row, 1);
    grid->addWidget(button, row, 2);
    return edit;
}

QString NewWorldDialog::choosePicture(const QString& name, const QString& title) {
    FileDialogRequest request;
    request.name = name;
    request.title = title;
    request.filter = kPictureFilter;
    request.directory = m_pictureDir;
    const QString chosen = m_prompts.openFileName(this, request);
    if (!chosen.isEmpty())
        m_pictureDir = QFileInfo(chosen).absolutePath();
    return chosen;
}

void NewWorldDialog::chooseTerrainPicture() {
    const QString chosen = choosePicture("TerrainPicture", "Terrain picture");
    if (!chosen.isEmpty())
        m_terrainEdit->setText(chosen);
}

void NewWorldDialog::chooseAltitudePicture() {
    const QString chosen = choosePicture("AltitudePicture", "Altitude picture");
    if (!chosen.isEmpty())
        m_altitudeEdit->setText(chosen);
}

void NewWorldDialog::chooseDestination() {
    FileDialogRequest request;
    request.name = "NewWorldMap";
    request.title = "New map file";
    request.filter = "Ultima Online MAP (map*.mul map*.uop)";
    request.directory = m_destinationEdit->text().isEmpty()
                            ? m_pictureDir
                            : QFileInfo(m_destinationEdit->text()).absolutePath();
    request.defaultName = "map4.mul";
    request.confirmOverwrite = true;
    const QString chosen = m_prompts.saveFileName(this, request);
    if (!chosen.isEmpty())
        m_destinationEdit->setText(chosen);
}

void NewWorldDialog::generate() {
    if (m_jobs.busy())
        return;
    const struct {
        QLineEdit* box;
        const char* what;
    } required[] = {{m_terrainEdit, "the terrain picture"},
                    {m_altitudeEdit, "the altitude picture"},
                    {m_destinationEdit, "the new map file"}};
    for (const auto& r : required)
        if (r.box->text().trimmed().isEmpty()) {
            m_prompts.showMessage(this, QString("Name %1 first.").arg(r.what));
            r.box->setFocus();
            return;
        }
    if (m_terrainFileBox->count() == 0) {
        m_prompts.showMessage(
            this, QString("There is no terrain file in %1: a new world takes its terrains, "
                          "tiles and items from one.")
                      .arg(uiText(uiPath(m_applicationDir) / std::string(tb::kTerrainsFolder))));
        return;
    }
    const QString destination = m_destinationEdit->text().trimmed();
    // The window may be gone by the time a Save of the loaded map has ended.
    QPointer<NewWorldDialog> self(this);
    writeAfterLoadedMapSaved(m_editor, m_prompts, this, uiPath(destination), "the new world",
                             [self, destination] {
                                 if (self)
                                     self->start(destination);
                             });
}

void NewWorldDialog::start(const QString& destination) {
    if (m_jobs.busy())
        return;
    tbrender::WorldRequest request;
    const QString terrainFile = m_terrainFileBox->currentText();
    try {
        request.sources = {
            uiPath(m_terrainEdit->text().trimmed()), uiPath(m_altitudeEdit->text().trimmed()),
            tb::terrainFilePath(uiPath(m_applicationDir), terrainFile.toStdString())};
    } catch (const std::exception& error) {
        m_prompts.showFailure(this, error);
        return;
    }
    request.destination = uiPath(destination);
    request.options.seed = std::uint32_t(m_seedSpin->value());
    request.options.statics = m_staticsCheck->isChecked();

    m_generateButton->setEnabled(false);
    m_progressBar->setValue(0);
    m_progressLabel->setText("Reading the terrain file");
    auto report = std::make_shared<tb::GenerateReport>();
    Job job;
    job.caption = "Generating " + QFileInfo(destination).fileName();
    job.work = [request, report](tb::Progress& progress) {
        *report = tbrender::generateWorldFromPictures(request, progress);
    };
    job.shown = [this](const JobReport& step) {
        m_progressBar->setMaximum(int(std::max<qint64>(step.total, 1)));
        m_progressBar->setValue(int(step.done));
        m_progressLabel->setText(step.caption);
    };
    job.succeeded = [this, report, destination, terrainFile] {
        runEnded();
        m_progressLabel->setText("Done.");
        if (!report->staticsNote.empty())
            m_prompts.showMessage(this, fromUtf8(report->staticsNote));
        if (report->missingCount > 0)
            m_prompts.showMessage(this, missingText(*report, terrainFile + ".xml"));
        m_generatedMap = destination;
        accept();
    };
    // A failed or stopped run leaves no progress behind, so the window does not look busy. A
    // refusal is the user's pictures or names, said as they are.
    job.reportStopOrRefusal(
        m_prompts, this,
        [this] {
            m_progressBar->setValue(0);
            m_progressLabel->setText(QString());
            runEnded();
        },
        [](const std::exception& error) {
            return dynamic_cast<const tb::GenerateRefusal*>(&error) != nullptr;
        });
    m_jobs.start(std::move(job));
}

void NewWorldDialog::runEnded() {
    m_generateButton->setEnabled(true);
}

// Closing waits for the run: Cancel stops it.
void NewWorldDialog::reject() {
    if (!m_jobs.busy())
        QDialog::reject();
}

void NewWorldDialog::closeEvent(QCloseEvent* event) {
    if (m_jobs.busy())
        event->ignore();
    else
        QDialog::closeEvent(event);
}

} // namespace tbapp
