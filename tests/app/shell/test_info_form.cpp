// The about box: caption and controls, the link, and several boxes open at once.

#include "shell/InfoForm.h"

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

class InfoFormTest : public QObject {
    Q_OBJECT

private slots:
    void captionAndControls() {
        auto* box = new TInfoForm;
        QCOMPARE(box->windowTitle(), QString("Tolvane Brimholt - About program"));
        QCOMPARE(box->TextCopy->text(), QString("Tolvane Brimholt"));
        QCOMPARE(box->TextCopy->font().family(), QString("Arial Black"));
        QCOMPARE(box->TextCopy->font().pixelSize(), 43);
        QCOMPARE(box->TlacitkoOK->text(), QString("Ok"));
        QCOMPARE(box->Podekovani->size(), QSize(465, 86));
        QVERIFY(box->Odkaz->font().underline());
        QCOMPARE(box->Odkaz->cursor().shape(), Qt::PointingHandCursor);
        QVERIFY(!box->isModal());
        delete box;
    }

    void linkOpensTheWebPage() {
        UrlRecorder recorder;
        QDesktopServices::setUrlHandler("https", &recorder, "open");
        auto* box = new TInfoForm;
        box->show();
        QTest::mouseClick(box->Odkaz, Qt::LeftButton);
        QDesktopServices::unsetUrlHandler("https");
        QCOMPARE(recorder.opened, QList<QUrl>{QUrl(TInfoForm::webPageAddress())});
        delete box;
    }

    void okClosesOnlyItsOwnBox() {
        QPointer<TInfoForm> first = new TInfoForm;
        QPointer<TInfoForm> second = new TInfoForm;
        first->show();
        second->show();
        QTest::mouseClick(first->TlacitkoOK, Qt::LeftButton);
        QTRY_VERIFY(first.isNull()); // released after closing
        QVERIFY(!second.isNull());
        QVERIFY(second->isVisible());
        delete second;
    }
};

QTEST_MAIN(InfoFormTest)
#include "test_info_form.moc"
