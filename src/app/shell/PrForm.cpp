#include "shell/PrForm.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

TPrForm::TPrForm(QWidget* owner)
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

void TPrForm::setStage(const QString& text) {
    ProgressLabel->setText(text);
    ProgressBar->setValue(0);
}

void TPrForm::setProgress(int percent) {
    ProgressBar->setValue(percent);
}

void TPrForm::showEvent(QShowEvent* event) {
    setStage("Working, please wait...");
    QDialog::showEvent(event);
}

// The run that shows this window decides when it goes away.
void TPrForm::closeEvent(QCloseEvent* event) {
    event->ignore();
}

void TPrForm::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape)
        return;
    QDialog::keyPressEvent(event);
}
