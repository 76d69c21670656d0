#include "app/terrain/MissingTransitionsDock.h"

#include "app/shell/ObjectNamed.h"
#include "app/terrain/CellListModel.h"

#include <QLabel>
#include <QListView>
#include <QVBoxLayout>

namespace tbapp {

MissingTransitionsDock::MissingTransitionsDock(QWidget* parent)
    : QDockWidget("Missing transitions", parent) {
    setObjectName("MissingTransitions");
    setAccessibleName("Missing transitions");
    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    m_countLabel = named(new QLabel(body), "MissingTransitionCount");
    m_countLabel->setAccessibleName("Number of missing transitions");
    m_countLabel->setWordWrap(true);
    layout->addWidget(m_countLabel);
    m_model = new CellListModel(this);
    m_list = named(new QListView(body), "MissingTransitionList");
    m_list->setAccessibleName("Cells without a transition tile");
    m_list->setToolTip("Click a cell to show it in the map");
    m_list->setUniformItemSizes(true);
    m_list->setModel(m_model);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    layout->addWidget(m_list, 1);
    setWidget(body);

    connect(m_list, &QListView::clicked, this,
            [this](const QModelIndex& index) { choose(index.row()); });
    connect(m_list, &QListView::activated, this,
            [this](const QModelIndex& index) { choose(index.row()); });
    showCells({});
}

void MissingTransitionsDock::showCells(std::vector<tb::CellPoint> cells) {
    m_countLabel->setText(
        cells.empty() ? QString("No missing transitions.")
                      : QString("%1 %2 no tile with the corners %3 (outlined in red on the map).")
                            .arg(cells.size())
                            .arg(cells.size() == 1 ? "cell has" : "cells have")
                            .arg(cells.size() == 1 ? "it needs" : "they need"));
    m_model->setCells(std::move(cells));
}

const std::vector<tb::CellPoint>& MissingTransitionsDock::cells() const {
    return m_model->cells();
}

void MissingTransitionsDock::choose(int row) {
    if (row < 0 || std::size_t(row) >= m_model->cells().size())
        return;
    const tb::CellPoint cell = m_model->cells()[std::size_t(row)];
    emit cellChosen(cell.x, cell.y);
}

} // namespace tbapp
