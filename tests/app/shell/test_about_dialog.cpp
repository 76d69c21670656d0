// The about box: caption and controls, the link, and several boxes open at once.

#include "app/shell/AboutDialog.h"
#include "testsupport/FindControl.h"

#include <QDesktopServices>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

class UrlRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened << url; }
};

class AboutDialogTest : public QObject {
    Q_OBJECT

private slots:
    void captionAndControls() {
        auto* box = new tbapp::AboutDialog;
        QCOMPARE(box->windowTitle(), QString("Tolvane Brimholt - About program"));
        QCOMPARE(tbtest::control<QLabel>(*box, "TextCopy")->text(), QString("Tolvane Brimholt"));
        QCOMPARE(tbtest::control<QLabel>(*box, "TextCopy")->font().family(),
                 QString("Arial Black"));
        QCOMPARE(tbtest::control<QLabel>(*box, "TextCopy")->font().pixelSize(), 43);
        QCOMPARE(tbtest::control<QPushButton>(*box, "TlacitkoOK")->text(), QString("Ok"));
        QCOMPARE(tbtest::control<QPlainTextEdit>(*box, "Podekovani")->size(), QSize(465, 86));
        QVERIFY(tbtest::control<QLabel>(*box, "Odkaz")->font().underline());
        QCOMPARE(tbtest::control<QLabel>(*box, "Odkaz")->cursor().shape(), Qt::PointingHandCursor);
        QVERIFY(!box->isModal());
        delete box;
    }

    void linkOpensTheWebPage() {
        UrlRecorder recorder;
        QDesktopServices::setUrlHandler("https", &recorder, "open");
        auto* box = new tbapp::AboutDialog;
        box->show();
        QTest::mouseClick(tbtest::control<QLabel>(*box, "Odkaz"), Qt::LeftButton);
        QDesktopServices::unsetUrlHandler("https");
        QCOMPARE(recorder.opened, QList<QUrl>{QUrl(tbapp::AboutDialog::webPageAddress())});
        delete box;
    }

    void okClosesOnlyItsOwnBox() {
        QPointer<tbapp::AboutDialog> first = new tbapp::AboutDialog;
        QPointer<tbapp::AboutDialog> second = new tbapp::AboutDialog;
        first->show();
        second->show();
        QTest::mouseClick(tbtest::control<QPushButton>(*first, "TlacitkoOK"), Qt::LeftButton);
        QTRY_VERIFY(first.isNull()); // released after closing
        QVERIFY(!second.isNull());
        QVERIFY(second->isVisible());
        delete second;
    }
};

QTEST_MAIN(AboutDialogTest)
#include "test_about_dialog.moc"
