#include "app/terrain/CellListModel.h"

namespace tbapp {

void CellListModel::setCells(std::vector<tb::CellPoint> cells) {
    beginResetModel();
    m_cells = std::move(cells);
    endResetModel();
}

int CellListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_cells.size());
}

QVariant CellListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || std::size_t(index.row()) >= m_cells.size() || role != Qt::DisplayRole)
        return {};
    const tb::CellPoint& cell = m_cells[std::size_t(index.row())];
    return QString("%1, %2").arg(cell.x).arg(cell.y);
}

} // namespace tbapp
