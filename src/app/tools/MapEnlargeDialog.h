#pragma once
// MapEnlargeDialog: turns a known map file into a new 7168 x 4096 map file with the source
// in its top-left corner, showing the run's progress. Works on files only; the editor's
// map is not touched.
//
// The main window creates one for each "Enlarge map to ML", shows it modally (exec) and
// deletes it when it closes. Messages and the file dialogs ("MapLoad", "MapSave") go
// through the prompts it is given. The run is a job beside the window, which repaints and
// moves meanwhile; Cancel stops it and leaves no new file, and the window cannot be closed
// before the run has ended.

#include "app/shell/JobRunner.h"
#include "app/shell/Prompts.h"

#include <QDialog>

class QCloseEvent;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace tbapp {

class MapEnlargeDialog : public QDialog {
    Q_OBJECT
public:
    explicit MapEnlargeDialog(tbapp::Prompts& prompts, QWidget* owner = nullptr);

public slots:
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // "TLMapLoad": the open dialog "MapLoad"; the chosen file goes into the source edit.
    void chooseSource();
    // Shows the caption and size of the source's map variant, "None" for an unknown file.
    void identifySource();
    // "TLMapSave": refuses an unknown source, else asks for the destination ("MapSave")
    // and runs the enlargement.
    void chooseDestinationAndEnlarge();
    void enlargeTo(const QString& destination);
    void runEnded();

    QLabel* m_sourceLabel;
    QLineEdit* m_sourceEdit;
    QPushButton* m_chooseSourceButton;
    QGroupBox* m_infoGroup;
    QLabel* m_captionLabel;
    QLabel* m_sizeLabel;
    QLabel* m_progressLabel;
    QProgressBar* m_progressBar;
    QPushButton* m_enlargeButton;
    QPushButton* m_cancelButton;

    tbapp::Prompts& m_prompts;
    QString m_loadDir; // where the open dialog starts: the folder of the last chosen file
    QString m_saveDir; // likewise for the save dialog
    JobRunner m_jobs;  // the enlargement, while it runs
};

} // namespace tbapp
