#pragma once
// NewWorldDialog: File > "New world from pictures...". Names a terrain picture (one colour per
// terrain), an altitude picture (grey = altitude + 128), a terrain file of the catalogue
// folder's terrains/, the new map file, a seed and whether items are scattered; Generate
// makes the world (render/WorldFromPictures.h) as a job beside the window, with its progress
// and Cancel, which leaves no file behind. Once the map is written the window closes
// accepted and names it (generatedMap()), for the editor to open.
//
// When the new map would replace the editor's loaded map with unsaved changes, they are saved
// first or nothing runs (LoadedMapWrite.h). Messages and the file dialogs ("TerrainPicture",
// "AltitudePicture", "NewWorldMap") go through the prompts it is given; the window cannot be
// closed while the generation runs.

#include "app/shell/JobRunner.h"
#include "app/shell/Prompts.h"

#include <QDialog>

class QCheckBox;
class QCloseEvent;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;

namespace tbapp {
class MapEditorLink;

class NewWorldDialog : public QDialog {
    Q_OBJECT
public:
    // `applicationDir` holds the terrains/ folder; `editor` (may be null) is asked about its
    // unsaved changes when the new map is its file.
    NewWorldDialog(const QString& applicationDir, Prompts& prompts, MapEditorLink* editor,
                   QWidget* owner = nullptr);

    // The map file written by the run that closed the window; empty before.
    const QString& generatedMap() const { return m_generatedMap; }

public slots:
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // A row of `grid`: the label, a path box and its "..." button, which runs `choose`.
    QLineEdit* addPathRow(QGridLayout* grid, int row, const QString& label, const char* name,
                          const char* buttonName, void (NewWorldDialog::*choose)());
    void chooseTerrainPicture();
    void chooseAltitudePicture();
    void chooseDestination();
    QString choosePicture(const QString& name, const QString& title);
    // Generate: says which box is empty, else runs the generation once the loaded map's
    // changes are settled.
    void generate();
    void start(const QString& destination);
    void runEnded();

    QLineEdit* m_terrainEdit = nullptr;
    QLineEdit* m_altitudeEdit = nullptr;
    QComboBox* m_terrainFileBox = nullptr;
    QLineEdit* m_destinationEdit = nullptr;
    QSpinBox* m_seedSpin = nullptr;
    QCheckBox* m_staticsCheck = nullptr;
    QLabel* m_progressLabel = nullptr;
    QProgressBar* m_progressBar = nullptr;
    QPushButton* m_generateButton = nullptr;
    QPushButton* m_cancelButton = nullptr;

    QString m_applicationDir;
    Prompts& m_prompts;
    MapEditorLink* m_editor;
    QString m_pictureDir; // where the picture dialogs start: the folder of the last picture
    QString m_generatedMap;
    JobRunner m_jobs; // the generation, while it runs
};

} // namespace tbapp
