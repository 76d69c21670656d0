#pragma once
// MapCopyDialog: copies a rectangle of cells from one known map file into another (or the
// same) known map file at a chosen place. The changed destination replaces the old one
// whole, so a failed copy leaves it as it was; the editor's map in memory is not reloaded.
//
// The main window creates one for each "Map Copy", shows it modally (exec) and deletes it
// when it closes; afterwards it puts "0" into both jump boxes, jumps and repaints.
// Messages and the file dialogs ("dlgOpenSource", "dlgOpenDestination") go through the
// prompts it is given.

#include "shell/Prompts.h"

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

    QLabel* SourceMap;
    QLineEdit* EditSourceMap;
    QPushButton* btnSourceFile;
    QLineEdit* EditSX1;
    QLineEdit* EditSY1;
    QLineEdit* EditSX2;
    QLineEdit* EditSY2;
    QGroupBox* grp1;
    QLabel* TextSMapInfo;
    QLabel* TextSMapSize;

    QLabel* DestinationMap;
    QLineEdit* EditDestinationMap;
    QPushButton* btnDestinationFile;
    QLineEdit* EditDX;
    QLineEdit* EditDY;
    QPushButton* btnCopy;
    QGroupBox* grp2;
    QLabel* TextDMapInfo;
    QLabel* TextDMapSize;

    QProgressBar* ProgressBar;

    // The last valid cell of each side (0 while the side is not identified).
    int sourceLastX() const { return m_sourceLastX; }
    int sourceLastY() const { return m_sourceLastY; }
    int destinationLastX() const { return m_destLastX; }
    int destinationLastY() const { return m_destLastY; }
    bool isRunning() const { return m_running; }

    // The handlers below throw tb::ConversionError for a coordinate text that is not an
    // integer; the signal connections show it with the standard error report.
    void EditSourceMapChange();
    void EditDestinationMapChange();
    void EditSX1Change();
    void EditSX2Change();
    void EditSY1Change();
    void EditSY2Change();
    void EditDXChange();
    void EditDYChange();
    void RevalidateCoords();

public slots:
    void btnSourceFileClick();
    void btnDestinationFileClick();
    void btnCopyClick();
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    enum class Side { Source, Destination };
    void IdentifyCopyMap(Side side);
    void pathCheck(Side side);
    void checkSourceCoordinate(QLineEdit* edit, int last, void (MapCopyDialog::*then)());
    void checkTargetCoordinate(QLineEdit* target, QLineEdit* first, QLineEdit* second, int last);
    void setWrong(QLineEdit* edit, bool wrong);
    void runCopy();
    // Asks for an existing map file with the dialog `name`; `dir` is where it starts and
    // becomes the chosen file's folder. Empty when cancelled.
    QString askMapFile(const QString& name, QString& dir);

    tbapp::Prompts& m_prompts;
    QString m_sourceDir;
    QString m_destinationDir;
    QColor m_normalBase;
    int m_sourceLastX = 0;
    int m_sourceLastY = 0;
    int m_destLastX = 0;
    int m_destLastY = 0;
    bool m_running = false;
};

} // namespace tbapp
