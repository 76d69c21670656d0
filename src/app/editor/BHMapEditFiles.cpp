// TBHMapEditForm, file name panel: the map path and game directory boxes with their
// validation, the "..." dialogs, the map information labels, Load and Save, and the
// question before unsaved changes would be lost.

#include "editor/BHMapEditForm.h"

#include "shell/DrawGrid.h"
#include "shell/PathBox.h"
#include "shell/Prompts.h"
#include "shell/Settings.h"

#include "core/ArtContainer.h"
#include "core/MapFile.h"
#include "core/MapVariant.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

#include <filesystem>

namespace {

std::filesystem::path toPath(const QString& text) {
    return std::filesystem::path(text.toStdU16String());
}

QString fromPath(const std::filesystem::path& path) {
    return QString::fromStdU16String(path.u16string());
}

// Shows the hourglass while a long step runs.
struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

} // namespace

QWidget* TBHMapEditForm::createFileNamePanel() {
    FileNamePanel = new QWidget(this);
    FileNamePanel->setObjectName("FileNamePanel");
    FileNamePanel->setFixedHeight(52);
    auto* layout = new QGridLayout(FileNamePanel);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->setVerticalSpacing(2);

    MapEdit = new QLineEdit("Path to MAPx file", FileNamePanel);
    MapEdit->setObjectName("MapEdit");
    TlLoadMap = new QPushButton("...", FileNamePanel);
    TlLoadMap->setObjectName("TlLoadMap");
    TlLoadMap->setFixedWidth(24);
    btnLoad = new QPushButton("Load", FileNamePanel);
    btnLoad->setObjectName("btnLoad");
    UOPathEdit = new QLineEdit("Path to Ultima Online directory", FileNamePanel);
    UOPathEdit->setObjectName("UOPathEdit");
    TlSelectDir = new QPushButton("...", FileNamePanel);
    TlSelectDir->setObjectName("TlSelectDir");
    TlSelectDir->setFixedWidth(24);
    btnSave = new QPushButton("Save", FileNamePanel);
    btnSave->setObjectName("btnSave");
    btnSave->setEnabled(false);

    layout->addWidget(new QLabel("MAPx.mul :", FileNamePanel), 0, 0);
    layout->addWidget(MapEdit, 0, 1);
    layout->addWidget(TlLoadMap, 0, 2);
    layout->addWidget(btnLoad, 0, 3);
    layout->addWidget(new QLabel("Ultima Online directory :", FileNamePanel), 1, 0);
    layout->addWidget(UOPathEdit, 1, 1);
    layout->addWidget(TlSelectDir, 1, 2);
    layout->addWidget(btnSave, 1, 3);

    MapInfoGroup = new QGroupBox(" Map file information ", FileNamePanel);
    MapInfoGroup->setObjectName("MapInfoGroup");
    auto* info = new QVBoxLayout(MapInfoGroup);
    info->setContentsMargins(4, 0, 4, 0);
    info->setSpacing(0);
    MapInfo = new QLabel("Map version", MapInfoGroup);
    MapInfo->setObjectName("MapInfo");
    MapSize = new QLabel("MapSize", MapInfoGroup);
    MapSize->setObjectName("MapSize");
    info->addWidget(MapInfo);
    info->addWidget(MapSize);
    MapInfoGroup->setMinimumWidth(190);
    layout->addWidget(MapInfoGroup, 0, 4, 2, 1);
    layout->setColumnStretch(1, 1);

    connect(MapEdit, &QLineEdit::textChanged, this, [this] { MapEditChange(); });
    connect(UOPathEdit, &QLineEdit::textChanged, this, [this] { UOPathEditChange(); });
    connect(TlLoadMap, &QPushButton::clicked, this, &TBHMapEditForm::TlLoadMapClick);
    connect(TlSelectDir, &QPushButton::clicked, this, &TBHMapEditForm::TlSelectDirClick);
    connect(btnLoad, &QPushButton::clicked, this, &TBHMapEditForm::btnLoadClick);
    connect(btnSave, &QPushButton::clicked, this, &TBHMapEditForm::btnSaveClick);
    return FileNamePanel;
}

// The map path changed: red until the file is found under a map file name; every change
// but the first (the path restored at first show) brings the view back to cell (0, 0).
// Nothing is loaded here.
void TBHMapEditForm::MapEditChange() {
    // Another path with unsaved changes asks first; Cancel puts the accepted path back and
    // leaves everything as it was.
    if (!m_firstMapPathChange && MapEdit->text() != m_acceptedMapPath &&
        !settleUnsavedChanges(AfterDiscard::KeepMap)) {
        const QSignalBlocker quiet(MapEdit);
        MapEdit->setText(m_acceptedMapPath);
        return;
    }
    m_acceptedMapPath = MapEdit->text();
    tbapp::setPathBoxValid(MapEdit, false);
    if (m_firstMapPathChange) {
        m_firstMapPathChange = false;
    } else {
        setJumpTexts("0", "0");
        CoordGoBtnClick();
    }
    const QFileInfo file(MapEdit->text());
    if (!MapEdit->text().isEmpty() && file.isFile() &&
        tb::isAcceptedMapFileName(file.fileName().toStdString()))
        tbapp::setPathBoxValid(MapEdit, true);
    identifyMap();
}

// Shows the version and size of the file in the map path box and gives the map view its
// dimensions. An unknown file shows "None" and leaves the dimensions as they are.
void TBHMapEditForm::identifyMap() {
    const QString none =
        QString::fromUtf8(tb::kNoVariantCaption.data(), qsizetype(tb::kNoVariantCaption.size()));
    MapInfo->setText(none);
    MapSize->setText(none);
    if (!tbapp::isPathBoxValid(MapEdit))
        return;
    const auto variant = tb::identifyMapFile(toPath(MapEdit->text()));
    if (!variant)
        return;
    MapInfo->setText(
        QString::fromUtf8(variant->caption.data(), qsizetype(variant->caption.size())));
    MapSize->setText(
        QString::fromUtf8(variant->sizeText.data(), qsizetype(variant->sizeText.size())));
    MainDrawGrid->setColCount(variant->width);
    MainDrawGrid->setRowCount(variant->height);
}

// The game directory changed: green when the art files are there (the land art as
// artidx.mul/art.mul or artLegacyMUL.uop), and then the radar colours are read from it.
void TBHMapEditForm::UOPathEditChange() {
    const QString dirText = UOPathEdit->text();
    const bool valid = !dirText.isEmpty() && tb::hasGameArt(toPath(dirText));
    tbapp::setPathBoxValid(UOPathEdit, valid);
    if (valid)
        tbapp::runReported(prompts(), this, [&] { readRadarColours(); });
}

void TBHMapEditForm::readRadarColours() {
    if (!tbapp::isPathBoxValid(UOPathEdit))
        return;
    m_radarColours.read(toPath(QDir(UOPathEdit->text()).filePath("radarcol.mul")));
}

void TBHMapEditForm::TlLoadMapClick() {
    QFileDialog OpenMapFile(this);
    OpenMapFile.setObjectName("OpenMapFile");
    OpenMapFile.setFileMode(QFileDialog::ExistingFile);
    OpenMapFile.setNameFilter("Ultima Online MAP (map*.mul map*.uop)");
    if (OpenMapFile.exec() == QDialog::Accepted && !OpenMapFile.selectedFiles().isEmpty())
        MapEdit->setText(QDir::toNativeSeparators(OpenMapFile.selectedFiles().first()));
}

void TBHMapEditForm::TlSelectDirClick() {
    const QString dir = QFileDialog::getExistingDirectory(this, "Select Ultima Online directory:");
    if (!dir.isEmpty())
        UOPathEdit->setText(QDir::toNativeSeparators(dir));
}

// Load: stores both paths, then (with both boxes green) reads the map and the four art
// files whole, in that order. A map file of a size the variant table does not know is
// refused and the loaded map stays. Loading replaces the map, so unsaved changes are
// settled first; Cancel leaves everything as it was.
void TBHMapEditForm::btnLoadClick() {
    const bool mapValid = tbapp::isPathBoxValid(MapEdit);
    const bool gameValid = tbapp::isPathBoxValid(UOPathEdit);
    if (!mapValid && !gameValid)
        return;
    const bool knownMap =
        mapValid && gameValid && tb::identifyMapFile(toPath(MapEdit->text())).has_value();
    if (knownMap && !settleUnsavedChanges())
        return;

    tbapp::writeSettingText(m_settings, "MAPx.mul", MapEdit->text());
    tbapp::writeSettingText(m_settings, "UOPath", UOPathEdit->text());
    // A store that cannot be written is reported; the map is loaded all the same.
    tbapp::runReported(prompts(), this, [&] { tbapp::syncSettingsStore(m_settings); });

    if (mapValid && gameValid && !knownMap) {
        prompts().showError(
            this, QString("%1 is not a known map file: %2. The map was not loaded.")
                      .arg(MapEdit->text(),
                           QString::fromStdString(tb::unknownMapReason(toPath(MapEdit->text())))));
    } else if (knownMap) {
        WaitCursor wait;
        tbapp::runReported(prompts(), this, [&] {
            // Read into a fresh image first, so a file that cannot be read leaves the
            // loaded map as it was.
            tb::MapImage loaded = tb::MapImage::load(toPath(MapEdit->text()));
            // The new map replaces the document; the rows of the old one go with it.
            m_document.replace(std::move(loaded), toPath(MapEdit->text()));
            try {
                m_art.load(toPath(UOPathEdit->text()));
            } catch (...) {
                m_cellPainter.setArt(&m_art);
                throw;
            }
            m_cellPainter.setArt(&m_art);
            m_mapLoaded = true;
            m_cellPainter.setMap(&m_document.image());
            btnSave->setEnabled(true);
        });
    }
    // Also after a failed load: the view, the palettes and the Overview button.
    MainDrawGrid->invalidateGrid();
    if (SortedTextureGrid)
        SortedTextureGrid->invalidateGrid();
    if (TextureDrawGrid)
        TextureDrawGrid->invalidateGrid();
    TlMap->setEnabled(true);
}

// Save: writes the whole map, replacing the file named in the map path box now.
void TBHMapEditForm::btnSaveClick() {
    if (!m_mapLoaded)
        return;
    saveMapAs(MapEdit->text());
}

// A failed write leaves the file as it was; the buttons come back either way.
bool TBHMapEditForm::saveMapAs(const QString& path) {
    btnSave->setEnabled(false);
    btnLoad->setEnabled(false);
    btnSave->setText("Saving ...");
    btnSave->repaint();
    bool saved = false;
    {
        // Closing waits while the caption shows; the map is written after.
        const QScopedValueRollback saving(m_saving, true);
        QCoreApplication::processEvents();
        WaitCursor wait;
        saved = tbapp::runReported(prompts(), this, [&] { m_document.save(toPath(path)); });
    }
    btnSave->setText("Save");
    btnSave->setEnabled(true);
    btnLoad->setEnabled(true);
    return saved;
}

tbapp::Prompts& TBHMapEditForm::prompts() const {
    return *m_prompts;
}

bool TBHMapEditForm::settleUnsavedChanges(AfterDiscard afterDiscard) {
    if (!m_mapLoaded || !m_document.isModified())
        return true;
    if (m_settling || m_saving)
        return false; // asked already, or saving: the caller waits
    const QScopedValueRollback settling(m_settling, true);
    const QString file = QFileInfo(fromPath(m_document.fileName())).fileName();
    switch (prompts().askSaveChanges(this, file)) {
    case tbapp::SaveChangesAnswer::Save:
        // Into the file the question named; only a save that succeeded lets the caller on.
        return saveMapAs(fromPath(m_document.fileName()));
    case tbapp::SaveChangesAnswer::Discard:
        if (afterDiscard == AfterDiscard::KeepMap) {
            // The map stays on screen, so the discarded changes must go from it too, or a
            // later Save would write them after all: the map is read again from its file.
            return tbapp::runReported(prompts(), this, [&] {
                m_document.replace(tb::MapImage::load(m_document.fileName()),
                                   m_document.fileName());
            });
        }
        m_document.markUnmodified();
        return true;
    case tbapp::SaveChangesAnswer::Cancel:
        break;
    }
    return false;
}
