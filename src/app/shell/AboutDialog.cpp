#include "shell/AboutDialog.h"

#include <QDesktopServices>
#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace tbapp {

AboutDialog::AboutDialog(QWidget* owner) : QDialog(owner) {
    setObjectName("TInfoForm");
    setWindowTitle("Tolvane Brimholt - About program");
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    TextCopy = new QLabel("Tolvane Brimholt", this);
    TextCopy->setObjectName("TextCopy");
    TextCopy->setAlignment(Qt::AlignCenter);
    QFont titleFont("Arial Black");
    titleFont.setPixelSize(43);
    TextCopy->setFont(titleFont);

    CreditLabel =
        new QLabel("Terrain map editor for Ultima Online, by the Tolvane Brimholt team", this);
    CreditLabel->setObjectName("CreditLabel");
    CreditLabel->setAlignment(Qt::AlignCenter);

    Podekovani = new QPlainTextEdit(this);
    Podekovani->setObjectName("Podekovani");
    Podekovani->setReadOnly(true);
    Podekovani->setFixedSize(465, 86);
    Podekovani->setPlainText("Thanks to:\n"
                             "- everyone who documented the client's map and art file formats,\n"
                             "- the shard builders who tested the editor on their worlds,\n"
                             "- the Qt project for the toolkit.");

    Odkaz = new QLabel(webPageAddress(), this);
    Odkaz->setObjectName("Odkaz");
    QFont linkFont = Odkaz->font();
    linkFont.setUnderline(true);
    Odkaz->setFont(linkFont);
    Odkaz->setStyleSheet("color: blue;");
    Odkaz->setCursor(Qt::PointingHandCursor);
    // A click anywhere on the label opens the page; the label's own link handling would
    // only react on the text.
    Odkaz->installEventFilter(this);

    TlacitkoOK = new QPushButton("Ok", this);
    TlacitkoOK->setObjectName("TlacitkoOK");
    TlacitkoOK->setDefault(true);
    connect(TlacitkoOK, &QPushButton::clicked, this, &AboutDialog::TlacitkoOKClick);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(Odkaz, 0, Qt::AlignLeft | Qt::AlignBottom);
    bottom->addStretch(1);
    bottom->addWidget(TlacitkoOK, 0, Qt::AlignRight | Qt::AlignBottom);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 4);
    layout->setSpacing(2);
    layout->addWidget(TextCopy);
    layout->addWidget(CreditLabel);
    layout->addWidget(Podekovani);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    resize(465, 201);
    if (owner) {
        adjustSize();
        move(owner->geometry().center() - rect().center());
    }
}

QString AboutDialog::webPageAddress() {
    return "https://tolvane-brimholt.example.org/";
}

void AboutDialog::OdkazClick() {
    QDesktopServices::openUrl(QUrl(webPageAddress()));
}

void AboutDialog::TlacitkoOKClick() {
    close();
}

bool AboutDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Odkaz && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        OdkazClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace tbapp
