#pragma once
// MapCopyDialog: copies a rectangle of cells from one known map file into another (or the
// same) known map file at a chosen place. The changed destination replaces the old one
// whole, so a failed copy leaves it as it was; the editor's map in memory is not reloaded.
//
// The main window creates one for each "Map Copy", shows it modally (exec) and deletes it
// when it closes; afterwards it puts "0" into both jump boxes, jumps and repaints.
// Messages and the file dialogs ("dlgOpenSource", "dlgOpenDestination") go through the
// prompts it is given. The copy is a job beside the window; Cancel stops it with the
// destination as it was, and the window cannot be closed before the copy has ended.

#include "app/shell/JobRunner.h"
#include "app/shell/Prompts.h"

#include <QColor>
#include <QDialog>

class QCloseEvent;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace tbapp {

class MapCopyDialog : public QDialog {
    Q_OBJECT
public:
    explicit MapCopyDialog(tbapp::Prompts& prompts, QWidget* owner = nullptr);

    // The background of a coordinate edit that is out of range.
    static const QColor kWrongCoordinateColour;
    // True when the coordinate edit shows the out-of-range colour.
    static bool isCoordinateWrong(const QLineEdit* edit);

public slots:
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    enum class Side { Source, Destination };
    // The "..." buttons: an open dialog; the chosen file goes into the side's path edit.
    void chooseSource();
    void chooseDestination();
    // "Copy": refuses wrong coordinates and unknown maps, else runs the copy.
    void copyCells();
    // The checks below run when an edit changes. They throw tb::ConversionError for a
    // coordinate text that is not an integer; the signal connections show it with the
    // standard error report.
    void checkSourcePath();
    void checkDestinationPath();
    void checkSourceX1();
    void checkSourceX2();
    void checkSourceY1();
    void checkSourceY2();
    void checkDestinationX();
    void checkDestinationY();
    void checkAllCoordinates();
    void identifyMap(Side side);
    void pathCheck(Side side);
    void checkSourceCoordinate(QLineEdit* edit, int last, void (MapCopyDialog::*then)());
    void checkTargetCoordinate(QLineEdit* target, QLineEdit* first, QLineEdit* second, int last);
    void setWrong(QLineEdit* edit, bool wrong);
    void runCopy();
    void copyEnded();
    // Asks for an existing map file with the dialog `name`; `dir` is where it starts and
    // becomes the chosen file's folder. Empty when cancelled.
    QString askMapFile(const QString& name, QString& dir);

    QLabel* m_sourceLabel;
    QLineEdit* m_sourceEdit;
    QPushButton* m_chooseSourceButton;
    QLineEdit* m_sourceX1Edit;
    QLineEdit* m_sourceY1Edit;
    QLineEdit* m_sourceX2Edit;
    QLineEdit* m_sourceY2Edit;
    QGroupBox* m_sourceInfoGroup;
    QLabel* m_sourceCaptionLabel;
    QLabel* m_sourceSizeLabel;

    QLabel* m_destinationLabel;
    QLineEdit* m_destinationEdit;
    QPushButton* m_chooseDestinationButton;
    QLineEdit* m_destinationXEdit;
    QLineEdit* m_destinationYEdit;
    QPushButton* m_copyButton;
    QGroupBox* m_destinationInfoGroup;
    QLabel* m_destinationCaptionLabel;
    QLabel* m_destinationSizeLabel;

    QProgressBar* m_progressBar;
    QPushButton* m_cancelButton;

    tbapp::Prompts& m_prompts;
    QString m_sourceDir;
    QString m_destinationDir;
    QColor m_normalBase;
    // The last valid cell of each side (0 while the side is not identified).
    int m_sourceLastX = 0;
    int m_sourceLastY = 0;
    int m_destLastX = 0;
    int m_destLastY = 0;
    JobRunner m_jobs; // the copy, while it runs
};

} // namespace tbapp
