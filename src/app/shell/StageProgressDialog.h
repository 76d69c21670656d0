#pragma once
// The stage-and-percentage progress window of the diff patch generation. One instance
// lives for the whole run of the program and is only shown and hidden; the user cannot
// close it, but its Cancel button asks the run to stop (the run then hides it).

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

namespace tbapp {

class StageProgressDialog : public QDialog {
    Q_OBJECT
public:
    explicit StageProgressDialog(QWidget* owner = nullptr);

    // Shows `text` and puts the bar back to 0.
    void setStage(const QString& text);
    // The text of the stage showing.
    QString stage() const;
    // Moves the bar to `percent` (0..100).
    void setProgress(int percent);

signals:
    // Cancel was pressed: the run should stop.
    void cancelClicked();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QLabel* m_stageLabel;
    QProgressBar* m_bar;
    QPushButton* m_cancelButton;
};

} // namespace tbapp
