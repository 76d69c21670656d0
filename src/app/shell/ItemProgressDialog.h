#pragma once
// "Progress ...": the item-by-item progress window of patch loading, saving and applying.
// A caller creates one per run, shows it, reports each item and deletes it at the end.

#include <QDialog>
#include <QElapsedTimer>

class QLabel;
class QProgressBar;

namespace tbapp {

class ItemProgressDialog : public QDialog {
    Q_OBJECT
public:
    explicit ItemProgressDialog(QWidget* owner = nullptr);

    // The bar runs from 0 to `itemCount - 1`.
    void startItems(int itemCount);
    // Moves the bar to item `index` (from 0), shows `text` and lets pending events run
    // so the window repaints during a long run. Events run at most every few
    // milliseconds (and at the last item): a patch of 100,000 entries would otherwise
    // spend most of its time repainting.
    void showItem(int index, const QString& text);

private:
    QProgressBar* m_bar;
    QLabel* m_text;
    QElapsedTimer m_sinceEvents;
};

} // namespace tbapp
