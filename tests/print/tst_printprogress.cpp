// The progress window and the preview window on a real display while pages are made, and a
// preview window at the end of the program.
#include "PrintTestSupport.h"
#include "ScriptedDialogs.h"
#include "TestEnvironment.h"
#include "app/TMainForm.h"
#include "app/TSpeedBar.h"
#include "print/TRichPreviewForm.h"
#include "print/TRichPrntProgDlg.h"
#include "richedit/TRichEditEx.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QWindow>

namespace {
QStringList PageFiles()
{
    return QDir().entryList({QStringLiteral("PreviewMetafile*")}, QDir::Files);
}
} // namespace

class TestPrintProgress : public QObject
{
    Q_OBJECT
private slots:
    void progressWindowShowsThePagesAndCancelStops()
    {
        QTextEdit edit;
        edit.setPlainText(NumberedLines(4000));
        auto printer = NewPdfRichPrinter();
        printer->SetShowProgress(true);
        // What the windows show between pages; at page 5 the user presses Cancel.
        QStringList counted;
        bool previewShown = false;
        QTimer watch;
        watch.setInterval(0);
        connect(&watch, &QTimer::timeout, this, [&] {
            TRichPrntProgDlg *progress = printer->ProgressDialog();
            if (!progress || !progress->windowHandle() || !progress->windowHandle()->isExposed())
                return;
            const QString page = progress->lblPageNumber->text();
            if (counted.isEmpty() || counted.last() != page)
                counted << page;
            TRichPreviewForm *preview = printer->PreviewForm();
            previewShown =
                preview && preview->windowHandle() && preview->windowHandle()->isExposed();
            if (page.toInt() >= 5)
                QTest::mouseClick(progress->btnCancel, Qt::LeftButton);
        });
        watch.start();
        printer->PreviewRichEdit(edit);
        watch.stop();

        QVERIFY2(counted.size() >= 3, qPrintable(counted.join(' ')));
        QVERIFY(counted.contains(QStringLiteral("5")));
        QVERIFY(previewShown);
        QVERIFY(printer->Cancelled());
        QVERIFY(!printer->PreviewForm() || printer->PreviewForm()->Closed());
        QVERIFY(!printer->ProgressDialog());
        QVERIFY(PageFiles().isEmpty());
    }

    void closingTheMainWindowWithAPreviewOpenEndsTheProgram()
    {
        TMainForm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.RichEditEx1->SetWholeText(NumberedLines(200).replace('\n', '\r').toStdString());
        form.SpeedBar->PrintPreviewbutton->click();
        QVERIFY(form.RichPrinter1->PreviewForm());
        QVERIFY(!PageFiles().isEmpty());
        ScriptedDialogs dialogs;
        QVERIFY(form.close());
        QCOMPARE(dialogs.Unexpected(), 0);
        // No window is left that keeps the program from ending, and the pages are gone.
        for (QWidget *window : QApplication::topLevelWidgets())
            QVERIFY2(!window->isVisible() || !window->testAttribute(Qt::WA_QuitOnClose),
                     qPrintable(window->objectName()));
        QVERIFY(PageFiles().isEmpty());
    }
};

ZARVEL_TEST_MAIN(TestPrintProgress)
#include "tst_printprogress.moc"
