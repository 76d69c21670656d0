#include "app/shell/StageProgressDialog.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace tbapp {

StageProgressDialog::StageProgressDialog(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName("TPrForm");
    setWindowTitle("Tolvane Brimholt");

    m_stageLabel = new QLabel("Working, please wait...", this);
    m_stageLabel->setObjectName("ProgressLabel");
    m_stageLabel->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    m_bar = new QProgressBar(this);
    m_bar->setObjectName("ProgressBar");
    m_bar->setRange(0, 100);
    m_bar->setFixedHeight(17);
    m_bar->setTextVisible(false);

    m_cancelButton = new QPushButton("Cancel", this);
    m_cancelButton->setObjectName("btnCancel");
    m_cancelButton->setAutoDefault(false);

    auto* barRow = new QHBoxLayout;
    barRow->setContentsMargins(0, 0, 0, 0);
    barRow->addWidget(m_bar, 1);
    barRow->addWidget(m_cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_stageLabel);
    layout->addStretch();
    layout->addLayout(barRow);
    setFixedSize(QSize(310, 34).expandedTo(sizeHint()));

    connect(m_cancelButton, &QPushButton::clicked, this, &StageProgressDialog::cancelClicked);
}

void StageProgressDialog::setStage(const QString& text) {
    m_stageLabel->setText(text);
    m_bar->setValue(0);
}

QString StageProgressDialog::stage() const {
    return m_stageLabel->text();
}

void StageProgressDialog::setProgress(int percent) {
    m_bar->setValue(percent);
}

void StageProgressDialog::showEvent(QShowEvent* event) {
    setStage("Working, please wait...");
    QDialog::showEvent(event);
}

// The run that shows this window decides when it goes away.
void StageProgressDialog::closeEvent(QCloseEvent* event) {
    event->ignore();
}

void StageProgressDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape)
        return;
    QDialog::keyPressEvent(event);
}

} // namespace tbapp
