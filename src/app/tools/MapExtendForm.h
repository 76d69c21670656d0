#pragma once
// TMapExtendForm: turns a known map file into a new 7168 x 4096 map file with the source
// in its top-left corner, showing the run's progress. Works on files only; the editor's
// map is not touched.
//
// The main window creates one for each "Enlarge map to ML", shows it modally (exec) and
// deletes it when it closes. Messages go through the application's error report
// (tbapp::setMessageSink); tests answer the file dialogs by overriding runFileDialog.

#include <QDialog>

class QCloseEvent;
class QFileDialog;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

class TMapExtendForm : public QDialog {
    Q_OBJECT
public:
    explicit TMapExtendForm(QWidget* owner = nullptr);

    QLabel* Label1;
    QLineEdit* SourceMap;
    QPushButton* TLMapLoad;
    QGroupBox* MapInfoPanel;
    QLabel* MapInfo;
    QLabel* MapSize;
    QLabel* ProgressInfo;
    QProgressBar* ProgressBar;
    QPushButton* TLMapSave;
    QFileDialog* MapLoad;
    QFileDialog* MapSave;

    // True while an enlargement runs (the window cannot be closed then).
    bool isRunning() const { return m_running; }

public slots:
    void TLMapLoadClick();
    void SourceMapChange();
    void NazevMapy();
    void TLMapSaveClick();
    void reject() override;

protected:
    // Runs a file dialog; the chosen file, or an empty text when it was cancelled.
    virtual QString runFileDialog(QFileDialog* dialog);
    void closeEvent(QCloseEvent* event) override;

private:
    void enlargeTo(const QString& destination);

    bool m_running = false;
};
