#include "PdfText.h"
#include "PrintTestSupport.h"
#include "TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTextCursor>
#include <QTextEdit>

namespace {
constexpr QChar FF(0x000C);

QByteArray ReadAll(const QString &name)
{
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString Squeezed(QString text)
{
    return text.remove(QRegularExpression(QStringLiteral("\\s")));
}

// The line numbers "Line NNNNN" found on a page, in order, whitespace ignored.
QList<int> Markers(QString page)
{
    page.remove(QRegularExpression(QStringLiteral("\\s")));
    QList<int> found;
    const QRegularExpression marker(QStringLiteral("Line(\\d{5})"));
    for (auto it = marker.globalMatch(page); it.hasNext();)
        found << it.next().captured(1).toInt();
    return found;
}
} // namespace

class TestPrintPdf : public QObject
{
    Q_OBJECT
private slots:
    void everyLineOnceInOrderAndFormFeedsStartPages()
    {
        // 600 lines; a form feed in a paragraph of its own after every 70th line, and one
        // inside the paragraph of line 555 just before line 556.
        QTextEdit edit;
        QString text;
        std::vector<int> afterFormFeed;
        for (int i = 1; i <= 600; ++i) {
            text += QStringLiteral("Line %1 of a long document").arg(i, 5, 10, QLatin1Char('0'));
            if (i == 555) {
                text += FF;
                afterFormFeed.push_back(556);
                continue;
            }
            text += QLatin1Char('\n');
            if (i % 70 == 0 && i < 600) {
                text += FF + QStringLiteral("\n");
                afterFormFeed.push_back(i + 1);
            }
        }
        edit.setPlainText(text);
        auto printer = NewPdfRichPrinter(QStringLiteral("long.pdf"));
        printer->PrintRichEdit(edit, 1);

        const QStringList pages = PdfPageTexts(ReadAll(QStringLiteral("long.pdf")));
        QVERIFY(pages.size() > 10);
        QList<int> all;
        QList<int> pageStarts;
        for (int p = 0; p < pages.size(); ++p) {
            const QList<int> markers = Markers(pages[p]);
            QVERIFY2(!markers.isEmpty(), qPrintable(QString::number(p)));
            pageStarts << markers.first();
            all += markers;
            // The footer is drawn before the text of its page.
            QVERIFY(Squeezed(pages[p]).startsWith(QStringLiteral("Page%1Line").arg(p + 1)));
        }
        for (int i = 1; i < all.size(); ++i)
            QVERIFY2(all[i] == all[i - 1] + 1,
                     qPrintable(QStringLiteral("%1 after %2").arg(all[i]).arg(all[i - 1])));
        QCOMPARE(all.size(), 600);
        for (int i = 0; i < all.size(); ++i)
            QCOMPARE(all[i], i + 1);
        for (int line : afterFormFeed)
            QVERIFY2(pageStarts.contains(line), qPrintable(QString::number(line)));
    }

    void cliPrintsAFileToPdf()
    {
        const QString cli = qEnvironmentVariable("ZARVEL_BIN_DIR") + QStringLiteral("/zarvel-cli");
        if (!QFile::exists(cli))
            QSKIP("zarvel-cli is not built");
        QFile in(QStringLiteral("doc.txt"));
        QVERIFY(in.open(QIODevice::WriteOnly));
        in.write(NumberedLines(120).toLatin1());
        in.close();
        QProcess run;
        run.start(cli, {QStringLiteral("print-pdf"), QStringLiteral("doc.txt"),
                        QStringLiteral("doc.pdf")});
        QVERIFY(run.waitForFinished(120000));
        QCOMPARE(run.exitCode(), 0);
        const QStringList pages = PdfPageTexts(ReadAll(QStringLiteral("doc.pdf")));
        QVERIFY(pages.size() >= 2);
        QVERIFY(Squeezed(pages.first()).startsWith(QStringLiteral("Page1Line")));
        QCOMPARE(Markers(pages.join(QString())).size(), 120);
        QVERIFY(QFileInfo(QStringLiteral("doc.pdf")).permissions() & QFile::ReadOther);
    }

    void cliFailureLeavesNoOutput()
    {
        const QString cli = qEnvironmentVariable("ZARVEL_BIN_DIR") + QStringLiteral("/zarvel-cli");
        if (!QFile::exists(cli))
            QSKIP("zarvel-cli is not built");
        QDir().mkpath(QStringLiteral("fail"));
        QProcess run;
        run.start(cli, {QStringLiteral("print-pdf"), QStringLiteral("missing.rtf"),
                        QStringLiteral("fail/out.pdf")});
        QVERIFY(run.waitForFinished(120000));
        QCOMPARE(run.exitCode(), 1);
        QVERIFY(!run.readAllStandardError().isEmpty());
        QVERIFY(QDir(QStringLiteral("fail")).entryList(QDir::Files | QDir::Hidden).isEmpty());
    }
};

ZARVEL_TEST_MAIN(TestPrintPdf)
#include "tst_printpdf.moc"
