#include "app/shell/AboutDialog.h"

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

    m_titleLabel = new QLabel("Tolvane Brimholt", this);
    m_titleLabel->setObjectName("TextCopy");
    m_titleLabel->setAlignment(Qt::AlignCenter);
    QFont titleFont("Arial Black");
    titleFont.setPixelSize(43);
    m_titleLabel->setFont(titleFont);

    m_creditLabel =
        new QLabel("Terrain map editor for Ultima Online, by the Tolvane Brimholt team", this);
    m_creditLabel->setObjectName("CreditLabel");
    m_creditLabel->setAlignment(Qt::AlignCenter);

    m_thanksText = new QPlainTextEdit(this);
    m_thanksText->setObjectName("Podekovani");
    m_thanksText->setReadOnly(true);
    m_thanksText->setFixedSize(465, 86);
    m_thanksText->setPlainText("Thanks to:\n"
                               "- everyone who documented the client's map and art file formats,\n"
                               "- the shard builders who tested the editor on their worlds,\n"
                               "- the Qt project for the toolkit.");

    m_linkLabel = new QLabel(webPageAddress(), this);
    m_linkLabel->setObjectName("Odkaz");
    QFont linkFont = m_linkLabel->font();
    linkFont.setUnderline(true);
    m_linkLabel->setFont(linkFont);
    m_linkLabel->setStyleSheet("color: blue;");
    m_linkLabel->setCursor(Qt::PointingHandCursor);
    // A click anywhere on the label opens the page; the label's own link handling would
    // only react on the text.
    m_linkLabel->installEventFilter(this);

    m_okButton = new QPushButton("Ok", this);
    m_okButton->setObjectName("TlacitkoOK");
    m_okButton->setDefault(true);
    connect(m_okButton, &QPushButton::clicked, this, &QWidget::close);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_linkLabel, 0, Qt::AlignLeft | Qt::AlignBottom);
    bottom->addStretch(1);
    bottom->addWidget(m_okButton, 0, Qt::AlignRight | Qt::AlignBottom);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 4);
    layout->setSpacing(2);
    layout->addWidget(m_titleLabel);
    layout->addWidget(m_creditLabel);
    layout->addWidget(m_thanksText);
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

void AboutDialog::openWebPage() {
    QDesktopServices::openUrl(QUrl(webPageAddress()));
}

bool AboutDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_linkLabel && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        openWebPage();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace tbapp
