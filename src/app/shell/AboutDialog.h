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

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The link label's click: the web page in the default browser.
    void openWebPage();

    QLabel* m_titleLabel;
    QLabel* m_creditLabel;
    QPlainTextEdit* m_thanksText;
    QLabel* m_linkLabel;
    QPushButton* m_okButton;
};

} // namespace tbapp
