#include "app/items/ItemListModel.h"

#include "shell/TextCodec.h"

#include <algorithm>

namespace tbapp {

ItemListModel::ItemListModel(QObject* parent) : QAbstractTableModel(parent) {}

void ItemListModel::setItems(std::shared_ptr<const BrowsedItems> items, const tb::ArtFiles* art) {
    beginResetModel();
    m_items = std::move(items);
    m_ids.clear();
    m_art = art;
    m_pictures.setArt(art);
    m_kept.assign(0x10000, false);
    m_keptCount = 0;
    endResetModel();
}

void ItemListModel::setListed(std::vector<std::uint16_t> ids) {
    beginResetModel();
    m_ids = std::move(ids);
    endResetModel();
}

int ItemListModel::rowOf(std::uint16_t id) const {
    const auto at = std::lower_bound(m_ids.begin(), m_ids.end(), id);
    return at != m_ids.end() && *at == id ? int(at - m_ids.begin()) : -1;
}

int ItemListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_ids.size());
}

int ItemListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ItemListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= int(m_ids.size()) || !m_items)
        return {};
    const std::uint16_t id = m_ids[std::size_t(index.row())];
    if (role == Qt::UserRole)
        return int(id);
    if (role == Qt::DecorationRole && index.column() == PictureColumn)
        return picture(id);
    if (role == Qt::TextAlignmentRole && index.column() == HeightColumn)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole)
        return {};
    const tb::ItemData& item = m_items->tileData.item(id);
    switch (index.column()) {
    case IdColumn:
        return QString("$%1").arg(id, 4, 16, QChar('0')).toUpper();
    case NameColumn:
        return QString::fromStdString(tb::windows1252ToUtf8(item.name));
    case HeightColumn:
        return int(item.height);
    case FlagsColumn:
        return QString::fromStdString(tb::tileFlagsText(item.flags));
    default:
        return {};
    }
}

QVariant ItemListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case PictureColumn:
        return QString("Art");
    case IdColumn:
        return QString("Id");
    case NameColumn:
        return QString("Name");
    case HeightColumn:
        return QString("Height");
    case FlagsColumn:
        return QString("Flags");
    default:
        return {};
    }
}

QImage ItemListModel::picture(std::uint16_t id) const {
    if (!m_kept[id]) {
        if (m_keptCount >= kMaxKeptPictures) {
            m_pictures.setArt(m_art);
            std::fill(m_kept.begin(), m_kept.end(), false);
            m_keptCount = 0;
        }
        m_kept[id] = true;
        ++m_keptCount;
    }
    return m_pictures.picture(id, kPictureSide);
}

} // namespace tbapp
