#pragma once
// The "Missing transitions" dock: the cells the Terrain tool or Fix edges marked because no
// tile of the terrain file has the corners they need, each a click away (the view jumps
// there and centres it).

#include "core/MapVariant.h"

#include <QDockWidget>

#include <vector>

class QLabel;
class QListView;

namespace tbapp {
class CellListModel;

class MissingTransitionsDock : public QDockWidget {
    Q_OBJECT
public:
    explicit MissingTransitionsDock(QWidget* parent = nullptr);

    // Lists `cells`, row by row as the marks keep them.
    void showCells(std::vector<tb::CellPoint> cells);
    const std::vector<tb::CellPoint>& cells() const;

signals:
    // A listed cell was clicked or chosen by the keyboard.
    void cellChosen(int x, int y);

private:
    void choose(int row);

    QLabel* m_countLabel = nullptr;
    QListView* m_list = nullptr;
    CellListModel* m_model = nullptr;
};

} // namespace tbapp
