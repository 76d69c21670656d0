#pragma once
// The rows of the item browser: the items its filter lets through, one per row, with the
// item's picture, id, name, height and flags. Pictures are decoded only when a view asks
// for a row's picture, that is for the rows on screen, and kept for the next paint.

#include "core/ArtFiles.h"
#include "core/TileData.h"
#include "items/ItemFilter.h"
#include "render/ItemPainter.h"

#include <QAbstractTableModel>

#include <cstdint>
#include <memory>
#include <vector>

namespace tbapp {

// What the browser lists: a game folder's tiledata (empty when it has none) and its filter
// over the items the folder has.
struct BrowsedItems {
    tb::TileData tileData;
    tb::ItemFilter filter;
};

class ItemListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { PictureColumn, IdColumn, NameColumn, HeightColumn, FlagsColumn, ColumnCount };
    // Pictures are scaled into squares of this side, as the map view scales them into cells.
    static constexpr int kPictureSide = 44;

    explicit ItemListModel(QObject* parent = nullptr);

    // The items to list from and the art of their pictures (null: placeholders; it must
    // stay until the next call). Lists none until setListed.
    void setItems(std::shared_ptr<const BrowsedItems> items, const tb::ArtFiles* art);
    const BrowsedItems* items() const { return m_items.get(); }
    // The ids of the rows, ascending.
    void setListed(std::vector<std::uint16_t> ids);
    const std::vector<std::uint16_t>& listed() const { return m_ids; }
    // The row of `id`, or -1 when it is not listed.
    int rowOf(std::uint16_t id) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QImage picture(std::uint16_t id) const;

    std::shared_ptr<const BrowsedItems> m_items;
    std::vector<std::uint16_t> m_ids;
    const tb::ArtFiles* m_art = nullptr;
    // The painter keeps every picture it made: it starts afresh once it holds this many, so
    // that scrolling through every item does not keep them all.
    static constexpr int kMaxKeptPictures = 1024;
    mutable tbrender::ItemPainter m_pictures;
    mutable std::vector<bool> m_kept;
    mutable int m_keptCount = 0;
};

} // namespace tbapp
