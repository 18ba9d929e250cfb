// Every hostile rich text file, and a paragraph of 20 MB, through the window's own commands:
// opened in either pane, saved, printed to PDF and previewed. Nothing crashes, what was
// loaded saves again, and apart from the load itself the window never stops answering for
// long: a timer that should fire every few milliseconds measures the longest gap.
#include "TestEnvironment.h"
#include "app/TMainForm.h"
#include "app/TMainMenu.h"
#include "print/TRichPreviewForm.h"
#include "print/TRichPrinter.h"
#include "richedit/TRichEditEx.h"
#include "rtf/TRtfReader.h"
#include "widgets/TDialogSeam.h"

#include <QAbstractButton>
#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

#include <algorithm>

namespace {
// The window may stall only for so long before the test calls it a hang. How long it
// stalls is a speed and is measured by the benchmarks; here the bound only ends a hang,
// far above what any load or sanitizer makes of a working save, print or preview.
constexpr qint64 HangMs = 5 * 60 * 1000;

QByteArray ReadFile(const QString &name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The longest time the event loop went without running a timer while watching.
class TStallWatch
{
public:
    TStallWatch()
    {
        FTimer.setInterval(10);
        QObject::connect(&FTimer, &QTimer::timeout,
                         [this] { FLongest = std::max(FLongest, FClock.restart()); });
    }
    void Start()
    {
        FLongest = 0;
        FClock.start();
        FTimer.start();
    }
    qint64 Stop()
    {
        FTimer.stop();
        return std::max(FLongest, FClock.elapsed());
    }

private:
    QTimer FTimer;
    QElapsedTimer FClock;
    qint64 FLongest = 0;
};

// Answers the window's dialogs: the file dialogs with the next file name, the print dialog
// with a PDF file, message boxes with OK.
class TAnswers
{
public:
    TAnswers()
    {
        TDialogSeam::SetHandler([this](QDialog &dialog) {
            if (auto *files = qobject_cast<QFileDialog *>(&dialog)) {
                files->selectFile(FileName);
                return int(QDialog::Accepted);
            }
            if (auto *print = qobject_cast<QPrintDialog *>(&dialog)) {
                print->printer()->setOutputFormat(QPrinter::PdfFormat);
                print->printer()->setOutputFileName(FileName);
                return int(QDialog::Accepted);
            }
            ++Messages;
            // A question (such as whether a file that looks like a template is loaded as the
            // information file all the same) is answered Yes, so that every file gets loaded.
            if (auto *box = qobject_cast<QMessageBox *>(&dialog))
                if (QAbstractButton *yes = box->button(QMessageBox::Yes))
                    yes->click();
            return int(QDialog::Accepted);
        });
    }
    ~TAnswers() { TDialogSeam::SetHandler({}); }

    QString FileName;
    int Messages = 0;
};
} // namespace

class TestHostileWindow : public QObject
{
    Q_OBJECT

    // Runs the menu command from inside the event loop and returns the longest stall while it
    // ran and while the window settled afterwards.
    static qint64 RunWatched(TMainForm &form, const QString &item)
    {
        TStallWatch watch;
        bool done = false;
        watch.Start();
        QTimer::singleShot(0, &form, [&] {
            form.MainMenu().Item(item).trigger();
            done = true;
        });
        while (!done)
            QTest::qWait(10);
        QTest::qWait(300); // painting and whatever the command left queued
        const qint64 stall = watch.Stop();
        qInfo("%s: longest stall %lld ms", qPrintable(item), stall);
        return stall;
    }

    // Opens the file through the menu item; the load ends when the pane has laid out and
    // painted what it loaded.
    static void Load(TMainForm &form, TRichEditEx &pane, const QString &item)
    {
        QElapsedTimer clock;
        clock.start();
        form.MainMenu().Item(item).trigger();
        pane.document()->documentLayout()->documentSize();
        pane.viewport()->repaint();
        qInfo("%s: load %lld ms", qPrintable(item), clock.elapsed());
    }

    static QString PlainTextOfRichText(const QByteArray &richText)
    {
        QTextDocument document;
        QTextCursor cursor(&document);
        return TRtfReader::Read(richText, cursor) ? document.toPlainText() : QString();
    }

private slots:
    void hostileFilesThroughTheWindow_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("print");
        const QDir folder(TestEnvironment::dataPath(QStringLiteral("rtf")));
        for (const QString &name : folder.entryList({QStringLiteral("hostile_*")}, QDir::Files))
            QTest::newRow(qPrintable(name)) << folder.filePath(name) << true;

        // One paragraph of 20 MB: words, a run without any break, and a bold stretch.
        QByteArray huge = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\pard\\f0 ";
        const QByteArray words = "many words in one paragraph ";
        while (huge.size() < 12 * 1024 * 1024)
            huge += words;
        huge += QByteArray(6 * 1024 * 1024, 'x');
        huge += "{\\b ";
        while (huge.size() < 20 * 1024 * 1024)
            huge += words;
        huge += "}\\par}";
        const QString name = QDir::current().filePath(QStringLiteral("paragraph20mb.rtf"));
        QFile file(name);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(huge);
        QTest::newRow("20 MB paragraph") << name << true;
    }

    void hostileFilesThroughTheWindow()
    {
        QFETCH(QString, file);
        QFETCH(bool, print);
        TMainForm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        TAnswers answers;

        const struct
        {
            const char *open;
            TPane pane;
        } panes[] = {{"FileOpenItem", TPane::Document},
                     {"EditInformationFile1", TPane::Information}};
        for (const auto &target : panes) {
            TRichEditEx &pane = form.Pane(target.pane);
            answers.FileName = file;
            Load(form, pane, QString::fromLatin1(target.open));
            const QString loaded = pane.document()->toPlainText();

            TStallWatch idle;
            idle.Start();
            QTest::qWait(1000);
            const qint64 stall = idle.Stop();
            QVERIFY2(stall < HangMs,
                     qPrintable(QStringLiteral("after the load: %1 ms").arg(stall)));

            answers.FileName = QDir::current().filePath(QStringLiteral("saved.rtf"));
            QFile::remove(answers.FileName);
            const qint64 saveStall = RunWatched(form, QStringLiteral("FileSaveItem"));
            QVERIFY2(saveStall < HangMs,
                     qPrintable(QStringLiteral("save: %1 ms").arg(saveStall)));
            const QByteArray saved = ReadFile(answers.FileName);
            QVERIFY(saved.startsWith("{\\rtf"));
            QCOMPARE(PlainTextOfRichText(saved), loaded);
        }

        if (print) {
            // Printing and the preview take the document pane.
            answers.FileName = QDir::current().filePath(QStringLiteral("printed.pdf"));
            QFile::remove(answers.FileName);
            qint64 stall = RunWatched(form, QStringLiteral("FilePrintItem"));
            QVERIFY2(stall < HangMs, qPrintable(QStringLiteral("print: %1 ms").arg(stall)));
            QVERIFY(ReadFile(answers.FileName).startsWith("%PDF"));

            stall = RunWatched(form, QStringLiteral("PrintPreview1"));
            QVERIFY2(stall < HangMs,
                     qPrintable(QStringLiteral("preview: %1 ms").arg(stall)));
            QVERIFY(form.RichPrinter1->PreviewForm());
            form.RichPrinter1->PreviewForm()->close();
            QTest::qWait(10);
        }

        form.RichEditEx1->SetModifiedFlag(false);
        form.RichEditEx2->SetModifiedFlag(false);
    }
};

ZARVEL_TEST_MAIN(TestHostileWindow)
#include "tst_hostilewindow.moc"
