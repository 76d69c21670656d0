#include "editor/PlaceholderWindows.h"

#include <QDialogButtonBox>
#include <QVBoxLayout>

namespace {

void addCloseButton(QDialog* dialog) {
    auto* layout = new QVBoxLayout(dialog);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, dialog);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    layout->addStretch(1);
    layout->addWidget(buttons);
}

} // namespace

TBHFOptions::TBHFOptions(QWidget* owner) : QDialog(owner) {
    setObjectName("TBHFOptions");
    setWindowTitle("Options");
    addCloseButton(this);
}

TBHDiffForm::TBHDiffForm(QWidget* owner) : QDialog(owner) {
    setObjectName("TBHDiffForm");
    setWindowTitle("Create Diff patch");
    addCloseButton(this);
}
