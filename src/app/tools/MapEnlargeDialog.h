#pragma once
// MapEnlargeDialog: turns a known map file into a new 7168 x 4096 map file with the source
// in its top-left corner, showing the run's progress. Works on files only; the editor's
// map is not touched.
//
// The main window creates one for each "Enlarge map to ML", shows it modally (exec) and
// deletes it when it closes. Messages and the file dialogs ("MapLoad", "MapSave") go
// through the prompts it is given.

#include "shell/Prompts.h"

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

    QLabel* Label1;
    QLineEdit* SourceMap;
    QPushButton* TLMapLoad;
    QGroupBox* MapInfoPanel;
    QLabel* MapInfo;
    QLabel* MapSize;
    QLabel* ProgressInfo;
    QProgressBar* ProgressBar;
    QPushButton* TLMapSave;

    // True while an enlargement runs (the window cannot be closed then).
    bool isRunning() const { return m_running; }

public slots:
    void TLMapLoadClick();
    void SourceMapChange();
    void NazevMapy();
    void TLMapSaveClick();
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void enlargeTo(const QString& destination);

    tbapp::Prompts& m_prompts;
    QString m_loadDir; // where the open dialog starts: the folder of the last chosen file
    QString m_saveDir; // likewise for the save dialog
    bool m_running = false;
};

} // namespace tbapp
