#pragma once
// "Tolvane Brimholt - About program": the about box. Each Info > About creates a new one;
// "Ok" closes it and releases it, so several may be open at once.

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace tbapp {

class AboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* owner = nullptr);

    // The address the link label opens.
    static QString webPageAddress();

    QLabel* TextCopy;
    QLabel* CreditLabel;
    QPlainTextEdit* Podekovani;
    QLabel* Odkaz;
    QPushButton* TlacitkoOK;

    void OdkazClick();
    void TlacitkoOKClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace tbapp
