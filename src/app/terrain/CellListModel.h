#pragma once
// A list of map cells for a list view, "X, Y" a row: a Fix edges over a whole map may list
// millions, which a model shows without making a widget item for each.

#include "core/MapVariant.h"

#include <QAbstractListModel>

#include <vector>

namespace tbapp {

class CellListModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit CellListModel(QObject* parent = nullptr) : QAbstractListModel(parent) {}

    void setCells(std::vector<tb::CellPoint> cells);
    const std::vector<tb::CellPoint>& cells() const { return m_cells; }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    std::vector<tb::CellPoint> m_cells;
};

} // namespace tbapp
