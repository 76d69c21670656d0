#include "shell/ItemProgressDialog.h"

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

    PBar = new QProgressBar(this);
    PBar->setObjectName("PBar");
    PBar->setFixedSize(313, 25);
    PBar->setTextVisible(false);
    PBar->setRange(0, 0);

    PBarText = new QLabel("Patching ...", this);
    PBarText->setObjectName("PBarText");

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(PBar);
    layout->addWidget(PBarText);
    setFixedSize(313, 45);
}

void ItemProgressDialog::startItems(int itemCount) {
    PBar->setRange(0, std::max(0, itemCount - 1));
    PBar->setValue(0);
    m_sinceEvents.invalidate();
}

void ItemProgressDialog::showItem(int index, const QString& text) {
    PBar->setValue(index);
    PBarText->setText(text);
    constexpr qint64 kEventIntervalMs = 15;
    if (!m_sinceEvents.isValid() || m_sinceEvents.elapsed() >= kEventIntervalMs ||
        index >= PBar->maximum()) {
        QApplication::processEvents();
        m_sinceEvents.start();
    }
}

} // namespace tbapp
