#pragma once
// The item browser: every item of the game folder with its picture, id, name, height and
// flags, filtered as the user types a part of a name or an id ($hex, 0xhex or decimal) and
// by the flags ticked. The item chosen in the list is the browser's item, which the tools
// that place items take.
//
// The game folder's tiledata.mul is read beside the UI by a job of the browser's own; an
// item without an entry there (no file, a file of an unknown size) is listed by id alone.

#include "app/shell/JobRunner.h"

#include <QDockWidget>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QTableView;

namespace tb {
struct ArtFiles;
class TileData;
} // namespace tb

namespace tbapp {
struct BrowsedItems;
class ItemListModel;

class ItemBrowserDock : public QDockWidget {
    Q_OBJECT
public:
    explicit ItemBrowserDock(QWidget* parent = nullptr);
    ~ItemBrowserDock() override;

    // Lists the items of `gameDir` once its tiledata.mul is read, with the pictures of
    // `art` (null: placeholders), which must stay until the next call or clear(). A reading
    // still running for an earlier folder is stopped; this one starts when it has.
    void loadGameData(const std::filesystem::path& gameDir, const tb::ArtFiles* art);
    // Lists nothing: no map is loaded.
    void clear();

    // The item last chosen in the list; it stays while a filter hides it.
    std::optional<std::uint16_t> currentItem() const { return m_current; }
    // The game folder's tiledata as read (no entries while none is read): the item tools
    // take names, heights and flags from it.
    const tb::TileData& tileData() const;
    // The ids listed now, ascending.
    const std::vector<std::uint16_t>& listedItems() const;

signals:
    void currentItemChanged(std::uint16_t id);
    // Another tiledata took the place of the old one (read, or cleared): names may differ.
    void tileDataChanged();

private:
    void showItems(std::shared_ptr<const BrowsedItems> items, const tb::ArtFiles* art,
                   const QString& note);
    void refilter();
    void rowChosen(const QModelIndex& current);
    void showCount();

    ItemListModel* m_model = nullptr;
    QLineEdit* m_filterEdit = nullptr;
    std::vector<QCheckBox*> m_flagChecks; // in the order of tb::kTileFlagNames
    QTableView* m_list = nullptr;
    QLabel* m_countLabel = nullptr;
    QString m_note; // what was wrong with the tiledata, if anything
    std::optional<std::uint16_t> m_current;
    int m_generation = 0; // counts the folders asked for: an earlier reading is not shown
    JobRunner m_jobs;
};

} // namespace tbapp
