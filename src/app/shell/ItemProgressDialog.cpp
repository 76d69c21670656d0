#include "app/shell/ItemProgressDialog.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
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

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(m_bar);
    layout->addWidget(m_text);
    setFixedSize(313, 45);
}

void ItemProgressDialog::startItems(int itemCount) {
    m_bar->setRange(0, std::max(0, itemCount - 1));
    m_bar->setValue(0);
    m_sinceEvents.invalidate();
}

void ItemProgressDialog::showItem(int index, const QString& text) {
    m_bar->setValue(index);
    m_text->setText(text);
    constexpr qint64 kEventIntervalMs = 15;
    if (!m_sinceEvents.isValid() || m_sinceEvents.elapsed() >= kEventIntervalMs ||
        index >= m_bar->maximum()) {
        QApplication::processEvents();
        m_sinceEvents.start();
    }
}

} // namespace tbapp
