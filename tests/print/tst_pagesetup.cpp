#include "PrintTestSupport.h"
#include "ScriptedDialogs.h"
#include "TestEnvironment.h"
#include "print/ELinePrinter.h"

#include <QGuiApplication>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QScreen>
#include <QSettings>
#include <QtEndian>

#include <QTextEdit>

#include <cmath>
#include <cstring>

namespace {
double Stored(const QString &name)
{
    const QSettings s("Zarvel", "Zarvel");
    const QByteArray bytes = s.value("RichPrint.Settings/Marges/" + name).toByteArray();
    if (bytes.size() != 8)
        return -1;
    const quint64 bits = qFromLittleEndian<quint64>(bytes.constData());
    double d = 0;
    std::memcpy(&d, &bits, 8);
    return d;
}
} // namespace

class TestPageSetup : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { QSettings("Zarvel", "Zarvel").clear(); }

    void storeAndLoadMargins()
    {
        auto p = NewPdfRichPrinter();
        p->SetMarginLeft(31.5);
        p->SetMarginTop(22);
        p->StoreMargins();
        QCOMPARE(Stored("MarginLeft"), 31.5);
        QCOMPARE(Stored("MarginTop"), 22.0);
        QCOMPARE(Stored("MarginRight"), 15.0);
        const QSettings s("Zarvel", "Zarvel");
        QCOMPARE(s.value("RichPrint.Settings/Marges/CodeMeasurement").toString(), "1");
        QCOMPARE(s.value("RichPrint.Settings/Marges/CodeDirection").toString(), "1");

        auto q = NewPdfRichPrinter();
        q->LoadMargins();
        QCOMPARE(q->MarginLeft(), 31.5);
        QCOMPARE(q->MarginTop(), 22.0);
        QCOMPARE(q->Orientation(), QPageLayout::Portrait);
    }

    void savedInchesConvertTheLoadedNumbers()
    {
        QSettings s("Zarvel", "Zarvel");
        s.setValue("RichPrint.Settings/Marges/CodeMeasurement", "0");
        s.setValue("RichPrint.Settings/Marges/CodeDirection", "0");
        auto p = NewPdfRichPrinter();
        p->SetMarginLeft(25.4);
        p->StoreMargins(); // writes millimetres "1" again
        s.setValue("RichPrint.Settings/Marges/CodeMeasurement", "0");
        s.setValue("RichPrint.Settings/Marges/CodeDirection", "0");
        s.sync();
        auto q = NewPdfRichPrinter();
        q->LoadMargins();
        QCOMPARE(q->MeasureUnit(), muInches);
        QVERIFY(std::abs(q->MarginLeft() - 1.0) < 1e-9);
        QCOMPARE(q->Orientation(), QPageLayout::Landscape);
    }

    void badMarginValueFails()
    {
        QSettings s("Zarvel", "Zarvel");
        s.setValue("RichPrint.Settings/Marges/MarginLeft", "thirty");
        s.sync();
        auto p = NewPdfRichPrinter();
        QVERIFY_THROWS_EXCEPTION(ELinePrinter, p->LoadMargins());
        // A later margin that is bad leaves the ones before it unread: nothing changes.
        auto q = NewPdfRichPrinter();
        q->SetMarginLeft(40);
        q->StoreMargins();
        s.setValue("RichPrint.Settings/Marges/MarginTop", QByteArray(4, '\0'));
        s.sync();
        q->SetMarginLeft(30);
        QVERIFY_THROWS_EXCEPTION(ELinePrinter, q->LoadMargins());
        QCOMPARE(q->MarginLeft(), 30.0);
        // With SaveMargins the failure stops printing before anything is written.
        p->SetSaveMargins(true);
        QTextEdit edit;
        QVERIFY_THROWS_EXCEPTION(ELinePrinter, p->PrintRichEdit(edit, 1));
        QVERIFY(!p->Printing());
    }

    void compressSwitchIsWritten()
    {
        auto p = NewPdfRichPrinter();
        p->SetCompressPreview(false);
        p->StoreCompressPreview();
        QCOMPARE(QSettings("Zarvel", "Zarvel")
                     .value("RichPrint.Settings/Compress/CompressPreview")
                     .toString(),
                 "0");
        p->SetCompressPreview(true);
        p->StoreCompressPreview();
        QCOMPARE(QSettings("Zarvel", "Zarvel")
                     .value("RichPrint.Settings/Compress/CompressPreview")
                     .toString(),
                 "1");
    }

    void cancelledDialogKeepsMargins()
    {
        auto p = NewPdfRichPrinter();
        p->SetOptions_Dialog({poMargins});
        ScriptedDialogs dialogs;
        QPoint shownAt;
        QSize size;
        dialogs.Then([&](QDialog &d) {
            shownAt = d.pos();
            size = d.frameGeometry().size().expandedTo(d.sizeHint());
            return int(QDialog::Rejected);
        });
        QVERIFY(!p->PageSetupDialog());
        QCOMPARE(p->MarginTop(), 30.0);
        QCOMPARE(p->MarginBottom(), 25.0);
        QCOMPARE(p->MarginLeft(), 25.0);
        QCOMPARE(p->MarginRight(), 15.0);
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QCOMPARE(shownAt.x(), (screen.width() - size.width()) / 2);
        QCOMPARE(shownAt.y(), (screen.height() - size.height()) / 3);
        // The printer keeps its own unprintable strips.
        QVERIFY(std::abs(p->GutterLeft() - 6) < 0.1);
        QVERIFY(QSettings("Zarvel", "Zarvel").childGroups().isEmpty());
    }

    void acceptedMarginsAreClampedToTheGutters()
    {
        auto p = NewPdfRichPrinter();
        ScriptedDialogs dialogs;
        double offeredTop = 0;
        dialogs.Then([&offeredTop](QDialog &d) {
            auto &dialog = static_cast<QPageSetupDialog &>(d);
            QPageLayout layout = dialog.printer()->pageLayout();
            offeredTop = layout.margins(QPageLayout::Millimeter).top();
            layout.setMargins(QMarginsF(1, 2, 40, 50));
            dialog.printer()->setPageLayout(layout);
            return int(QDialog::Accepted);
        });
        p->SetSaveMargins(true);
        QVERIFY(p->PageSetupDialog());
        QCOMPARE(offeredTop, 30.0);
        QCOMPARE(p->MarginLeft(), p->GutterLeft());
        QCOMPARE(p->MarginTop(), p->GutterTop());
        QVERIFY(std::abs(p->MarginRight() - 40) < 0.01);
        QVERIFY(std::abs(p->MarginBottom() - 50) < 0.01);
        QVERIFY(std::abs(Stored("MarginBottom") - 50) < 0.01);
    }
};

ZARVEL_TEST_MAIN(TestPageSetup)
#include "tst_pagesetup.moc"
