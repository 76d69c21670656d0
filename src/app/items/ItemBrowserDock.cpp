#include "app/items/ItemBrowserDock.h"

#include "app/items/ItemListModel.h"
#include "app/shell/ObjectNamed.h"
#include "app/shell/UiPath.h"

#include "core/TileData.h"
#include "shell/Errors.h"
#include "shell/Progress.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QVBoxLayout>

namespace tbapp {
namespace {

constexpr int kFlagColumns = 4;
const char* const kReadingStopped = "Reading tiledata.mul was stopped: no items are listed.";
constexpr int kRowMargin = 4;

// The outcome of reading a game folder's tiledata.
struct TileDataReading {
    std::shared_ptr<const BrowsedItems> items;
    QString note;
};

} // namespace

ItemBrowserDock::ItemBrowserDock(QWidget* parent) : QDockWidget("Item browser", parent) {
    setObjectName("ItemBrowser");
    setAccessibleName("Item browser");
    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);

    m_filterEdit = named(new QLineEdit(body), "ItemFilterEdit");
    m_filterEdit->setPlaceholderText("Name, or id as $hex or decimal");
    m_filterEdit->setAccessibleName("Item filter");
    m_filterEdit->setClearButtonEnabled(true);
    layout->addWidget(m_filterEdit);

    auto* flags = new QGridLayout;
    flags->setContentsMargins(0, 0, 0, 0);
    int at = 0;
    for (const tb::TileFlagName& flag : tb::kTileFlagNames) {
        auto* check = new QCheckBox(QString::fromLatin1(flag.name), body);
        check->setObjectName(QString("ItemFlag") + flag.name);
        check->setAccessibleName(QString("Only items with the %1 flag").arg(flag.name));
        connect(check, &QCheckBox::toggled, this, &ItemBrowserDock::refilter);
        flags->addWidget(check, at / kFlagColumns, at % kFlagColumns);
        m_flagChecks.push_back(check);
        ++at;
    }
    layout->addLayout(flags);

    m_model = new ItemListModel(this);
    m_list = named(new QTableView(body), "ItemList");
    m_list->setAccessibleName("Items");
    m_list->setModel(m_model);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setShowGrid(false);
    m_list->setWordWrap(false);
    m_list->setIconSize(QSize(ItemListModel::kPictureSide, ItemListModel::kPictureSide));
    // Fixed row heights and column widths: the view never measures the 65,536 rows, and only
    // the rows on screen have their pictures decoded.
    m_list->verticalHeader()->hide();
    m_list->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_list->verticalHeader()->setDefaultSectionSize(ItemListModel::kPictureSide + kRowMargin);
    QHeaderView* columns = m_list->horizontalHeader();
    columns->setSectionResizeMode(QHeaderView::Interactive);
    columns->resizeSection(ItemListModel::PictureColumn, ItemListModel::kPictureSide + 8);
    columns->resizeSection(ItemListModel::IdColumn, 56);
    columns->resizeSection(ItemListModel::NameColumn, 130);
    columns->resizeSection(ItemListModel::HeightColumn, 50);
    columns->setStretchLastSection(true);
    layout->addWidget(m_list, 1);
    connect(m_list->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &ItemBrowserDock::rowChosen);

    m_countLabel = named(new QLabel(body), "ItemCountLabel");
    m_countLabel->setAccessibleName("Items listed");
    m_countLabel->setWordWrap(true);
    layout->addWidget(m_countLabel);
    setWidget(body);

    connect(m_filterEdit, &QLineEdit::textChanged, this, &ItemBrowserDock::refilter);
    showCount();
}

ItemBrowserDock::~ItemBrowserDock() = default;

void ItemBrowserDock::loadGameData(const std::filesystem::path& gameDir, const tb::ArtFiles* art) {
    clear();
    // The art is read here, on the UI thread, which alone replaces it.
    const std::size_t artItems = art ? tb::artItemCount(*art) : 0;
    auto reading = std::make_shared<TileDataReading>();
    auto job = std::make_shared<Job>();
    job->caption = "Reading tiledata.mul";
    job->work = [gameDir, artItems, reading](tb::Progress& progress) {
        auto items = std::make_shared<BrowsedItems>();
        const std::filesystem::path file = gameDir / "tiledata.mul";
        std::error_code missing;
        if (!std::filesystem::is_regular_file(file, missing)) {
            reading->note =
                QString("No tiledata.mul in %1: items are listed by id only.").arg(uiText(gameDir));
        } else {
            try {
                items->tileData = tb::TileData::load(file);
            } catch (const tb::TileDataError& error) {
                reading->note = QString::fromStdString(error.what());
            } catch (const tb::FileError& error) {
                reading->note = QString::fromStdString(error.what());
            }
        }
        tb::stopIfRequested(progress, kReadingStopped);
        items->filter =
            tb::ItemFilter(items->tileData, tb::browsableItemCount(items->tileData, artItems));
        reading->items = std::move(items);
    };
    // A reading for another folder (or none) since is not shown.
    job->succeeded = [this, reading, art, generation = m_generation] {
        if (generation == m_generation)
            showItems(reading->items, art, reading->note);
        showCount();
    };
    job->stopped = [this, generation = m_generation](const QString& message) {
        if (generation == m_generation)
            m_note = message;
        showCount();
    };
    job->failed = [this, generation = m_generation](const std::exception& error) {
        if (generation == m_generation)
            m_note = QString::fromStdString(error.what());
        showCount();
    };
    // After the reading for the folder before, which clear() asked to stop.
    m_jobs.whenIdle(this, [this, job] {
        m_jobs.start(std::move(*job));
        showCount();
    });
}

const tb::TileData& ItemBrowserDock::tileData() const {
    static const tb::TileData none;
    const BrowsedItems* items = m_model->items();
    return items ? items->tileData : none;
}

void ItemBrowserDock::clear() {
    ++m_generation;
    m_jobs.stop();
    showItems(nullptr, nullptr, {});
}

const std::vector<std::uint16_t>& ItemBrowserDock::listedItems() const {
    return m_model->listed();
}

void ItemBrowserDock::showItems(std::shared_ptr<const BrowsedItems> items, const tb::ArtFiles* art,
                                const QString& note) {
    m_note = note;
    m_model->setItems(std::move(items), art);
    refilter();
    emit tileDataChanged();
}

// On every keystroke and tick: the filter is one scan of the lowered names.
void ItemBrowserDock::refilter() {
    const BrowsedItems* items = m_model->items();
    if (!items) {
        m_model->setListed({});
        showCount();
        return;
    }
    std::uint64_t required = 0;
    for (std::size_t i = 0; i < m_flagChecks.size(); ++i)
        if (m_flagChecks[i]->isChecked())
            required |= tb::kTileFlagNames[i].flag;
    m_model->setListed(items->filter.matching(m_filterEdit->text().toStdString(), required));
    // The chosen item stays chosen where the filter still lists it.
    if (m_current) {
        const int row = m_model->rowOf(*m_current);
        if (row >= 0)
            m_list->selectionModel()->setCurrentIndex(m_model->index(row, ItemListModel::IdColumn),
                                                      QItemSelectionModel::ClearAndSelect |
                                                          QItemSelectionModel::Rows);
    }
    showCount();
}

void ItemBrowserDock::rowChosen(const QModelIndex& current) {
    if (!current.isValid())
        return;
    const auto id = std::uint16_t(m_model->listed()[std::size_t(current.row())]);
    if (m_current == id)
        return;
    m_current = id;
    emit currentItemChanged(id);
}

void ItemBrowserDock::showCount() {
    const BrowsedItems* items = m_model->items();
    QString text;
    if (m_jobs.busy())
        text = "Reading tiledata.mul ...";
    else if (!items)
        text = "No items: load a map first.";
    else
        text = QString("%1 of %2 items").arg(m_model->rowCount()).arg(items->filter.itemCount());
    if (!m_note.isEmpty())
        text += "\n" + m_note;
    m_countLabel->setText(text);
}

} // namespace tbapp
