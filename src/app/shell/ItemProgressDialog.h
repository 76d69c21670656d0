#pragma once
// "Progress ...": the item-by-item progress window of patch loading, saving and applying and
// of the heightmap runs. A caller creates one per run, shows it, reports each item and
// deletes it at the end; its Cancel button (and Escape) asks the run to stop.

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

namespace tbapp {

class ItemProgressDialog : public QDialog {
    Q_OBJECT
public:
    explicit ItemProgressDialog(QWidget* owner = nullptr);

    // The bar runs from 0 to `itemCount - 1`.
    void startItems(int itemCount);
    // Moves the bar to item `index` (from 0) and shows `text`; the window repaints when the
    // event loop next runs.
    void showItem(int index, const QString& text);

public slots:
    // Escape does not hide a window whose run goes on: it asks the run to stop.
    void reject() override;

signals:
    // Cancel was pressed: the run should stop; it closes the window when it has.
    void cancelClicked();

private:
    QProgressBar* m_bar;
    QLabel* m_text;
    QPushButton* m_cancelButton;
};

} // namespace tbapp
