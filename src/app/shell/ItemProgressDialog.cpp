#include "app/shell/ItemProgressDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace tbapp {

ItemProgressDialog::ItemProgressDialog(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowMinMaxButtonsHint) {
    setObjectName("TProgressForm");
    setWindowTitle("Progress ...");

    m_bar = new QProgressBar(this);
    m_bar->setObjectName("PBar");
    m_bar->setFixedSize(313, 25);
    m_bar->setTextVisible(false);
    m_bar->setRange(0, 0);

    m_text = new QLabel("Patching ...", this);
    m_text->setObjectName("PBarText");

    m_cancelButton = new QPushButton("Cancel", this);
    m_cancelButton->setObjectName("btnCancel");
    m_cancelButton->setAutoDefault(false);

    auto* textRow = new QHBoxLayout;
    textRow->setContentsMargins(0, 0, 0, 0);
    textRow->addWidget(m_text, 1);
    textRow->addWidget(m_cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(m_bar);
    layout->addLayout(textRow);
    setFixedSize(QSize(313, 45).expandedTo(sizeHint()));

    connect(m_cancelButton, &QPushButton::clicked, this, &ItemProgressDialog::cancelClicked);
}

void ItemProgressDialog::startItems(int itemCount) {
    m_bar->setRange(0, std::max(0, itemCount - 1));
    m_bar->setValue(0);
}

void ItemProgressDialog::showItem(int index, const QString& text) {
    m_bar->setValue(index);
    m_text->setText(text);
}

void ItemProgressDialog::reject() {
    emit cancelClicked();
}

} // namespace tbapp
