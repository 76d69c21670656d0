#include "shell/StageProgressDialog.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

namespace tbapp {

StageProgressDialog::StageProgressDialog(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName("TPrForm");
    setWindowTitle("Tolvane Brimholt");

    ProgressLabel = new QLabel("Working, please wait...", this);
    ProgressLabel->setObjectName("ProgressLabel");
    ProgressLabel->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    ProgressBar = new QProgressBar(this);
    ProgressBar->setObjectName("ProgressBar");
    ProgressBar->setRange(0, 100);
    ProgressBar->setFixedHeight(17);
    ProgressBar->setTextVisible(false);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(ProgressLabel);
    layout->addStretch();
    layout->addWidget(ProgressBar);
    setFixedSize(310, 34);
}

void StageProgressDialog::setStage(const QString& text) {
    ProgressLabel->setText(text);
    ProgressBar->setValue(0);
}

void StageProgressDialog::setProgress(int percent) {
    ProgressBar->setValue(percent);
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
