#include "PdfText.h"
#include "PrintCapture.h"
#include "PrintTestSupport.h"
#include "ScriptedDialogs.h"
#include "TestEnvironment.h"
#include "app/TMainForm.h"
#include "app/TSpeedBar.h"
#include "print/TPdfCompactor.h"
#include "print/TPdfContentCompactor.h"
#include "print/TRichPreviewForm.h"
#include "richedit/TRichEditEx.h"
#include "richedit/TRichEditOle.h"
#include "rtf/TRtfReader.h"

#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTextCursor>
#include <QTextEdit>
#include <QToolButton>

#include <algorithm>

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

// Answers a print dialog as a user does: printing to the PDF file it shows, pages from-to (0:
// all), copies, collation, "Print".
ScriptedDialogs::Answer ChoosePages(int from, int to, int copies = 1, bool collate = true)
{
    return [=](QDialog &dialog) {
        dialog.show(); // it lists the printers when shown
        auto *printers = dialog.findChild<QComboBox *>(QStringLiteral("printers"));
        printers->setCurrentIndex(printers->count() - 1);
        if (from > 0) {
            dialog.findChild<QRadioButton *>(QStringLiteral("printRange"))->setChecked(true);
            dialog.findChild<QSpinBox *>(QStringLiteral("from"))->setValue(from);
            dialog.findChild<QSpinBox *>(QStringLiteral("to"))->setValue(to);
        }
        dialog.findChild<QSpinBox *>(QStringLiteral("copies"))->setValue(copies);
        dialog.findChild<QCheckBox *>(QStringLiteral("collate"))->setChecked(collate);
        dialog.accept();
        return dialog.result();
    };
}

// The footer numbers ("Page N", in the bottom margin) of the pages of a PDF, in order.
QList<int> Footers(const std::vector<PdfPage> &pages)
{
    QList<int> numbers;
    for (const PdfPage &page : pages) {
        QString footer;
        for (const PdfPage::Glyph &glyph : page.glyphs)
            if (glyph.origin.y() > page.size.height() - 25 / 25.4 * 72)
                footer += glyph.character;
        numbers << Squeezed(footer).remove(QStringLiteral("Page")).toInt();
    }
    return numbers;
}

// Every glyph of two pages is the same character at the same place, within half a point.
bool SamePage(const PdfPage &a, const PdfPage &b)
{
    if (a.size != b.size || a.glyphs.size() != b.glyphs.size() ||
        a.images.size() != b.images.size())
        return false;
    for (size_t i = 0; i < a.glyphs.size(); ++i)
        if (a.glyphs[i].character != b.glyphs[i].character ||
            QLineF(a.glyphs[i].origin, b.glyphs[i].origin).length() > 0.5)
            return false;
    for (size_t i = 0; i < a.images.size(); ++i)
        if (QLineF(a.images[i].topLeft(), b.images[i].topLeft()).length() > 0.5 ||
            QLineF(a.images[i].bottomRight(), b.images[i].bottomRight()).length() > 0.5)
            return false;
    return true;
}

// Four pages or more of indented, numbered and plain paragraphs.
QByteArray FewPages()
{
    QByteArray rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs24 ";
    for (int i = 1; i <= 200; ++i) {
        const QByteArray line =
            "Line " + QByteArray::number(100000 + i).mid(1) + " of the document";
        rtf += i % 3 == 0   ? "\\pard\\li1440 " + line + "\\par "
               : i % 3 == 1 ? "\\pard{\\*\\pn\\pnlvlbody\\pndec{\\pntxta .}}\\fi-360\\li720 " +
                                  line + "\\par "
                            : "\\pard " + line + "\\par ";
    }
    return rtf + "}";
}

// The main window holding FewPages(), printing to PDF without the progress window.
void PrepareToPrint(TMainForm &form)
{
    QTextCursor cursor(form.RichEditEx1->document());
    TRtfReader::Read(FewPages(), cursor);
    form.RichPrinter1->Printer()->setOutputFormat(QPrinter::PdfFormat);
    form.RichPrinter1->SetShowProgress(false);
}

// Prints with the main window's Print button into a PDF file, the print dialog answered so;
// the pages of the file.
std::vector<PdfPage> PrintWith(TMainForm &form, ScriptedDialogs &dialogs,
                               ScriptedDialogs::Answer answer, const QString &file)
{
    form.RichPrinter1->Printer()->setOutputFileName(QDir::current().filePath(file));
    dialogs.Then(std::move(answer));
    form.SpeedBar->PrintButton->click();
    return PdfPages(ReadAll(file));
}

// Left edge of the text area on the page, in points: the left margin of 25 mm.
constexpr double TextLeft = 25 / 25.4 * 72;

// Prints rich text with 600 pixels per inch on A4 and reads the first page back.
PdfPage PrintRtf(const QByteArray &rtf)
{
    QTextEdit edit;
    QTextCursor cursor(edit.document());
    TRtfReader::Read(rtf, cursor);
    auto printer = NewPdfRichPrinter(QStringLiteral("geometry.pdf"));
    printer->PrintRichEdit(edit, 1);
    const std::vector<PdfPage> pages = PdfPages(ReadAll(QStringLiteral("geometry.pdf")));
    return pages.empty() ? PdfPage() : pages.front();
}

// The words "pdftotext -bbox" finds in a PDF, each with its box.
std::vector<std::pair<QString, QRectF>> BoxedWords(const QString &pdftotext, const QString &file)
{
    QProcess run;
    run.start(pdftotext, {QStringLiteral("-bbox"), file, QStringLiteral("-")});
    run.waitForFinished(60000);
    const QString html = QString::fromUtf8(run.readAllStandardOutput());
    const QRegularExpression word(QStringLiteral("<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" "
                                                 "xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)<"));
    std::vector<std::pair<QString, QRectF>> words;
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        words.emplace_back(m.captured(5),
                           QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                                  QPointF(m.captured(3).toDouble(), m.captured(4).toDouble())));
    }
    return words;
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

    void longDocumentPrintsEveryCharacterOnce()
    {
        // Over a million characters, which are laid out a piece at a time: paragraphs of many
        // lengths, one of them some eighty pages long, and form feeds. Every character is
        // printed once, in order.
        QString text;
        for (int i = 1; i <= 700; ++i) {
            text += QStringLiteral("Line %1").arg(i, 5, 10, QLatin1Char('0'));
            for (int word = 0; word < (i * 37) % 400; ++word)
                text += QStringLiteral(" word%1").arg(word);
            text += i >= 100 && i < 300 ? QLatin1Char(' ') : QLatin1Char('\n');
            if (i % 90 == 0)
                text += FF + QStringLiteral("\n");
        }
        QVERIFY(text.size() > 1000000);
        QTextEdit edit;
        edit.setPlainText(text);
        auto printer = NewPdfRichPrinter(QStringLiteral("huge.pdf"));
        printer->PrintRichEdit(edit, 1);

        // Paragraphs cut by a page edge are drawn apart from the others: the glyphs are read
        // line by line from the top.
        const std::vector<PdfPage> pages = PdfPages(ReadAll(QStringLiteral("huge.pdf")));
        QString printed;
        for (size_t p = 0; p < pages.size(); ++p) {
            std::vector<PdfPage::Glyph> glyphs = pages[p].glyphs;
            std::stable_sort(glyphs.begin(), glyphs.end(), [](const auto &a, const auto &b) {
                return std::make_pair(qRound(a.origin.y()), a.origin.x()) <
                       std::make_pair(qRound(b.origin.y()), b.origin.x());
            });
            QString page;
            for (const PdfPage::Glyph &glyph : glyphs)
                page += glyph.character;
            page = Squeezed(page);
            const QString footer = QStringLiteral("Page%1").arg(p + 1);
            QVERIFY2(page.endsWith(footer), qPrintable(footer));
            printed += page.chopped(footer.size());
        }
        const QString expected = Squeezed(text);
        const auto differ =
            std::mismatch(printed.cbegin(), printed.cend(), expected.cbegin(), expected.cend());
        const qsizetype at = std::max<qsizetype>(0, differ.second - expected.cbegin() - 30);
        QVERIFY2(differ.first == printed.cend() && differ.second == expected.cend(),
                 qPrintable(QStringLiteral("printed %1 where the text has %2")
                                .arg(printed.mid(at, 60), expected.mid(at, 60))));
    }

    void indentsPrintAtTheirSize_data()
    {
        // A word of the document and where it starts, in points right of the left margin.
        QTest::addColumn<QString>("word");
        QTest::addColumn<double>("x");
        QTest::newRow("no indent") << "Plain" << 0.0;
        QTest::newRow("left indent of an inch") << "Indented" << 72.0;
        QTest::newRow("first line") << "Firstline" << 36.0;
        QTest::newRow("hanging, first line") << "Hanging" << 36.0;
        QTest::newRow("hanging, next line") << "Wrapped" << 72.0;
        QTest::newRow("numbered item text") << "Numbone" << 36.0;
        QTest::newRow("numbered item text, second") << "Numbtwo" << 36.0;
    }
    void indentsPrintAtTheirSize()
    {
        QFETCH(QString, word);
        QFETCH(double, x);
        const PdfPage page = PrintRtf("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs24 Plain\\par"
                                      "\\pard\\li1440 Indented\\par\\pard\\fi720 Firstline\\par"
                                      "\\pard\\fi-720\\li1440 Hanging \\line Wrapped\\par"
                                      "\\pard{\\*\\pn\\pnlvlbody\\pndec{\\pntxta "
                                      ".}}\\fi-360\\li720 Numbone\\par Numbtwo\\par}");
        const QPointF at = page.Find(word);
        QVERIFY2(at.x() >= 0, qPrintable(page.Text()));
        QVERIFY2(std::abs(at.x() - TextLeft - x) < 1,
                 qPrintable(QStringLiteral("%1 at %2").arg(word).arg(at.x() - TextLeft)));
    }

    void rightIndentAndListNumbersStayInTheirPlace()
    {
        // A right-aligned word ends an inch further left with an inch of right indent.
        const PdfPage page =
            PrintRtf("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs24"
                     "\\pard\\qr Flush\\par\\pard\\qr\\ri1440 Flush\\par"
                     "\\pard{\\*\\pn\\pnlvlbody\\pndec{\\pntxta .}}\\fi-360\\li720 Hung\\par"
                     "\\pard{\\*\\pn\\pnlvlbody\\pndec{\\pntxta )}}\\li0 Bare\\par}");
        QVERIFY2(std::abs(page.Find("Flush").x() - page.Find("Flush", 1).x() - 72) < 1,
                 qPrintable(page.Text()));
        // A number goes in the hanging indent, between the first-line indent and the text.
        const QPointF number = page.Find("1.");
        QVERIFY2(number.x() >= TextLeft + 18 - 1 && number.x() < page.Find("Hung").x(),
                 qPrintable(QString::number(number.x() - TextLeft)));
        // Without indents the number stays inside the text area and the text follows it.
        const QPointF bare = page.Find("1)");
        QVERIFY2(bare.x() >= TextLeft - 1 && bare.x() < page.Find("Bare").x(),
                 qPrintable(QString::number(bare.x() - TextLeft)));
    }

    void picturesAndObjectsPrintAtTheirSize()
    {
        // A picture of an inch by half an inch, and an embedded picture file of 192 by 96
        // pixels, two inches by one on the screen.
        QImage red(96, 48, QImage::Format_RGB32);
        red.fill(Qt::red);
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        red.save(&buffer, "PNG");
        TRichEditEx edit;
        edit.SetIncludeOLE(true);
        QTextCursor cursor(edit.document());
        TRtfReader::Read("{\\rtf1\\ansi Picture {\\pict\\pngblip\\picwgoal1440\\pichgoal720 " +
                             png.toHex() + "}\\par Object \\par}",
                         cursor);
        red.scaled(192, 96).save(QStringLiteral("object.png"));
        edit.SetSelectionStart(edit.TextLength());
        TInsertObjectRequest request;
        request.FileName = QFileInfo(QStringLiteral("object.png")).absoluteFilePath();
        edit.Ole()->InsertObject(request);

        auto printer = NewPdfRichPrinter(QStringLiteral("pictures.pdf"));
        printer->PrintRichEdit(edit, 1);
        const std::vector<PdfPage> printed = PdfPages(ReadAll(QStringLiteral("pictures.pdf")));
        QCOMPARE(printed.size(), size_t(1));
        const std::vector<QRectF> &images = printed[0].images;
        QCOMPARE(images.size(), size_t(2));
        QVERIFY2(
            std::abs(images[0].width() - 72) < 0.5 && std::abs(images[0].height() - 36) < 0.5,
            qPrintable(QStringLiteral("%1 x %2").arg(images[0].width()).arg(images[0].height())));
        QVERIFY2(
            std::abs(images[1].width() - 144) < 0.5 && std::abs(images[1].height() - 72) < 0.5,
            qPrintable(QStringLiteral("%1 x %2").arg(images[1].width()).arg(images[1].height())));

        // The preview shows the same page.
        printer->SetCompressPreview(false);
        printer->PreviewRichEdit(edit);
        printer->Printer()->setOutputFileName(QStringLiteral("previewed.pdf"));
        ScriptedDialogs dialogs;
        dialogs.ThenAccept();
        printer->PreviewForm()->SpeedButton1Click();
        const std::vector<PdfPage> previewed = PdfPages(ReadAll(QStringLiteral("previewed.pdf")));
        QCOMPARE(previewed.size(), size_t(1));
        QVERIFY(SamePage(previewed[0], printed[0]));
        printer->PreviewForm()->close();
    }

    void printDialogChoosesPagesAndCopies_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<int>("copies");
        QTest::addColumn<bool>("collate");
        QTest::addColumn<QList<int>>("footers");
        QTest::newRow("all") << 0 << 0 << 1 << true << QList<int>{};
        QTest::newRow("pages 2 to 3") << 2 << 3 << 1 << true << QList<int>{2, 3};
        QTest::newRow("collated copies") << 2 << 3 << 2 << true << QList<int>{2, 3, 2, 3};
        QTest::newRow("copies not collated") << 3 << 4 << 2 << false << QList<int>{3, 3, 4, 4};
        QTest::newRow("past the end") << 9 << 9 << 1 << true << QList<int>{};
    }
    void printDialogChoosesPagesAndCopies()
    {
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(int, copies);
        QFETCH(bool, collate);
        QFETCH(QList<int>, footers);
        TMainForm form;
        PrepareToPrint(form);
        ScriptedDialogs dialogs;
        const std::vector<PdfPage> all =
            PrintWith(form, dialogs, ChoosePages(0, 0), QStringLiteral("all.pdf"));
        QVERIFY(all.size() >= 4);
        for (int i = 0; i < int(all.size()); ++i)
            QCOMPARE(Footers(all)[i], i + 1);
        if (from == 0)
            footers = Footers(all);

        const std::vector<PdfPage> chosen = PrintWith(
            form, dialogs, ChoosePages(from, to, copies, collate), QStringLiteral("chosen.pdf"));
        QCOMPARE(dialogs.Unexpected(), 0);
        QCOMPARE(Footers(chosen), footers);
        // No page chosen exists: no job, not a blank sheet.
        QCOMPARE(QFile::exists(QStringLiteral("chosen.pdf")), !footers.isEmpty());
        for (size_t i = 0; i < chosen.size(); ++i)
            QVERIFY2(SamePage(chosen[i], all[size_t(footers[int(i)] - 1)]),
                     qPrintable(QString::number(i)));
    }

    void previewPagesPrintAsPrintingPrintsThem()
    {
        TMainForm form;
        PrepareToPrint(form);
        ScriptedDialogs dialogs;
        const std::vector<PdfPage> printed =
            PrintWith(form, dialogs, ChoosePages(0, 0), QStringLiteral("printed.pdf"));
        QVERIFY(printed.size() >= 4);
        QPrinter &printer = *form.RichPrinter1->Printer();

        form.SpeedBar->PrintPreviewbutton->click();
        TRichPreviewForm *preview = form.RichPrinter1->PreviewForm();
        QVERIFY(preview);
        QCOMPARE(size_t(preview->PageCount()), printed.size());
        printer.setOutputFileName(QDir::current().filePath(QStringLiteral("previewed.pdf")));
        dialogs.Then(ChoosePages(0, 0));
        QTest::keyClick(preview, Qt::Key_P);
        const std::vector<PdfPage> previewed = PdfPages(ReadAll(QStringLiteral("previewed.pdf")));
        QCOMPARE(previewed.size(), printed.size());
        for (size_t i = 0; i < printed.size(); ++i)
            QVERIFY2(SamePage(previewed[i], printed[i]), qPrintable(QString::number(i)));

        // A range is one document with those pages.
        printer.setOutputFileName(QDir::current().filePath(QStringLiteral("range.pdf")));
        dialogs.Then(ChoosePages(2, 3));
        preview->SpeedButton1->click();
        QCOMPARE(dialogs.Unexpected(), 0);
        const std::vector<PdfPage> range = PdfPages(ReadAll(QStringLiteral("range.pdf")));
        QCOMPARE(Footers(range), (QList<int>{2, 3}));
        QVERIFY(SamePage(range[0], printed[1]) && SamePage(range[1], printed[2]));
        // The main window's choice of pages is its own.
        QCOMPARE(printer.printRange(), QPrinter::AllPages);
        preview->close();
    }

    // A table prints as a table: its cells side by side at their widths, its rows one below
    // the other; a picture that cannot be drawn prints as a box of its size.
    void tablesAndPicturesPrintAtTheirSize()
    {
        QTextEdit edit;
        QTextCursor cursor(edit.document());
        QByteArray row = "\\trowd\\trgaph108\\trleft-108\\clbrdrt\\brdrs\\brdrw10\\cellx2000"
                         "\\clbrdrt\\brdrs\\brdrw10\\cellx4000\\clbrdrt\\brdrs\\brdrw10\\cellx7000"
                         "\\pard\\intbl";
        QVERIFY(TRtfReader::Read(
            "{\\rtf1\\f0\\fs24 Before\\par " + row + " A1\\cell B1\\cell C1\\cell\\row " + row +
                " A2\\cell B2\\cell C2\\cell\\row\\pard{\\pict\\wmetafile8"
                "\\picwgoal2880\\pichgoal1440 0100090000030c00000000000300}\\par}",
            cursor));
        auto printer = NewPdfRichPrinter(QStringLiteral("table.pdf"));
        const std::vector<QPicture> pages = PreviewPages(*printer, edit);
        QCOMPARE(pages.size(), size_t(1));
        CaptureDevice page;
        page.Play(pages.front());
        const int dpi = 600;
        const auto *before = page.Find(QStringLiteral("Before"));
        const CaptureDevice::Text *cells[2][3] = {};
        for (int r = 0; r < 2; ++r)
            for (int c = 0; c < 3; ++c) {
                cells[r][c] = page.Find(QStringLiteral("%1%2").arg(QChar('A' + c)).arg(r + 1));
                QVERIFY(cells[r][c]);
            }
        QVERIFY(before);
        // Each cell's text starts at the cell's left edge (the row's left indent, then the
        // cells' right edges) plus the gap, the first one in line with the paragraphs.
        const qreal starts[] = {-108 + 108, 2000 + 108, 4000 + 108};
        for (int r = 0; r < 2; ++r)
            for (int c = 0; c < 3; ++c) {
                QCOMPARE(cells[r][c]->origin.y(), cells[r][0]->origin.y());
                const qreal x = cells[r][c]->origin.x() - before->origin.x();
                QVERIFY2(std::abs(x - starts[c] * dpi / 1440) <= 2, qPrintable(QString::number(x)));
            }
        QVERIFY(cells[1][0]->origin.y() > cells[0][0]->origin.y());
        // The metafile: a box of two inches by one.
        QCOMPARE(page.images.size(), size_t(1));
        QVERIFY(std::abs(page.images.front().width() - 2 * dpi) <= 2);
        QVERIFY(std::abs(page.images.front().height() - dpi) <= 2);
        QVERIFY(page.images.front().top() > cells[1][0]->origin.y());
    }

    // Rows of a table that runs over several pages go whole onto one page each, every cell
    // printed once: a page never ends inside a row.
    void longTablesBreakBetweenRows()
    {
        QTextEdit edit;
        QTextCursor cursor(edit.document());
        QByteArray rtf = "{\\rtf1\\f0\\fs24 Before\\par ";
        for (int r = 1; r <= 90; ++r)
            rtf +=
                "\\trowd\\cellx3000\\cellx6000\\pard\\intbl " +
                QStringLiteral("Row%1a\\cell Row%1b\\line second line\\line third line\\cell\\row ")
                    .arg(r, 3, 10, QLatin1Char('0'))
                    .toLatin1();
        QVERIFY(TRtfReader::Read(rtf + "\\pard After\\par}", cursor));
        auto printer = NewPdfRichPrinter(QStringLiteral("rows.pdf"));
        printer->PrintRichEdit(edit, 1);
        const QStringList pages = PdfPageTexts(ReadAll(QStringLiteral("rows.pdf")));
        QVERIFY(pages.size() >= 3);
        const QRegularExpression marker(QStringLiteral("Row(\\d{3})([ab])"));
        QList<int> rows;
        for (const QString &page : pages) {
            const QString text = Squeezed(page);
            QList<int> a;
            QList<int> b;
            for (auto it = marker.globalMatch(text); it.hasNext();) {
                const QRegularExpressionMatch match = it.next();
                (match.captured(2) == QLatin1String("a") ? a : b) << match.captured(1).toInt();
            }
            QCOMPARE(a, b); // both cells of each row on the same page
            QCOMPARE(text.count(QStringLiteral("thirdline")), b.size());
            rows += a;
        }
        QCOMPARE(rows.size(), 90);
        for (int i = 0; i < rows.size(); ++i)
            QCOMPARE(rows[i], i + 1);
        QVERIFY(Squeezed(pages.last()).contains(QStringLiteral("After")));
    }

    // A row taller than a page goes on over the next pages, between the lines of its text.
    void tallRowsBreakBetweenLines()
    {
        QTextEdit edit;
        QTextCursor cursor(edit.document());
        QByteArray rtf =
            "{\\rtf1\\f0\\fs24 \\trowd\\cellx3000\\cellx6000\\pard\\intbl short\\cell ";
        for (int i = 1; i <= 150; ++i)
            rtf += QStringLiteral("Tall%1\\line ").arg(i, 3, 10, QLatin1Char('0')).toLatin1();
        QVERIFY(TRtfReader::Read(rtf + "\\cell\\row\\pard After\\par}", cursor));
        auto printer = NewPdfRichPrinter(QStringLiteral("tall.pdf"));
        const std::vector<QPicture> pages = PreviewPages(*printer, edit);
        QVERIFY(pages.size() >= 3);
        const TTextArea area = printer->TextArea();
        QList<int> lines;
        for (const QPicture &picture : pages) {
            CaptureDevice page;
            page.Play(picture);
            // Body text arrives in the coordinates of the laid-out document: what one page
            // shows spans no more than the page's text area.
            qreal top = 1e9;
            qreal bottom = -1e9;
            for (const CaptureDevice::Text &text : page.texts) {
                if (!text.text.startsWith(QLatin1String("Tall")))
                    continue;
                lines << text.text.mid(4, 3).toInt();
                top = std::min(top, text.origin.y());
                bottom = std::max(bottom, text.origin.y());
            }
            QVERIFY(bottom - top <= area.H);
        }
        // Every line once, in order; a line cut by a page's edge may be drawn (clipped) on
        // both pages.
        lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
        QCOMPARE(lines.size(), 150);
        for (int i = 0; i < lines.size(); ++i)
            QCOMPARE(lines[i], i + 1);
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

    // A PDF carries of each font only the glyphs its text uses, never the whole font.
    void embeddedFontsHoldOnlyTheGlyphsUsed()
    {
        const QString cli = qEnvironmentVariable("ZARVEL_BIN_DIR") + QStringLiteral("/zarvel-cli");
        if (!QFile::exists(cli))
            QSKIP("zarvel-cli is not built");
        QFile in(QStringLiteral("fonts.rtf"));
        QVERIFY(in.open(QIODevice::WriteOnly));
        in.write("{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\froman Times New Roman;}"
                 "{\\f2\\fmodern Courier New;}}\\pard\\f0 abc cab \\b bad\\b0\\par\\f1 "
                 "\\i ab\\i0\\par\\f2 ba\\par}");
        in.close();
        QProcess run;
        run.start(cli, {QStringLiteral("print-pdf"), QStringLiteral("fonts.rtf"),
                        QStringLiteral("fonts.pdf")});
        QVERIFY(run.waitForFinished(120000));
        QCOMPARE(run.exitCode(), 0);
        const QByteArray pdf = ReadAll(QStringLiteral("fonts.pdf"));
        const std::vector<PdfFont> fonts = PdfEmbeddedFonts(pdf);
        QVERIFY(fonts.size() >= 4);
        // The page decoration's characters count too.
        QString text = PdfPageTexts(pdf).join(QString());
        std::sort(text.begin(), text.end());
        const int characters = int(std::unique(text.begin(), text.end()) - text.begin());
        const QRegularExpression subset(QStringLiteral("^[A-Z]{6}\\+"));
        for (const PdfFont &font : fonts) {
            QVERIFY2(subset.match(font.Name).hasMatch(), qPrintable(font.Name));
            // At most the characters printed and the glyph for missing ones: a whole font has
            // hundreds.
            QVERIFY2(
                font.Glyphs >= 2 && font.Glyphs <= characters + 1,
                qPrintable(
                    font.Name +
                    QStringLiteral(": %1 glyphs, %2 characters").arg(font.Glyphs).arg(characters)));
        }
    }

    // The compacted PDF draws every glyph where Qt's own file draws it, in fonts and sizes,
    // kerned pairs, justified lines, a table and scripts beyond Latin; another reader finds
    // the same words in the same places.
    void compactedPdfPlacesEveryGlyphAsQtDid()
    {
        const QByteArray cells =
            "\\trowd\\trgaph108\\cellx2500\\cellx5000\\cellx8000\\pard\\intbl ";
        const QByteArray justified =
            QByteArray("\\qj\\f1\\fs20 ")
                .append(
                    QByteArray(
                        "Justified text spreads its spaces so that the line ends at the margin. ")
                        .repeated(6));
        QTextEdit edit;
        QTextCursor cursor(edit.document());
        QVERIFY(TRtfReader::Read(
            "{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\froman Times New Roman;}"
            "{\\f2\\fmodern Courier New;}}\\pard\\f0\\fs24 AVATAR WAVE Tj To Ty LT\\par\\pard " +
                justified +
                "\\par\\pard\\f2\\fs18 Mono 0123 {\\b bold}\\par\\pard\\f0\\fs40\\b "
                "Heading\\b0\\par\\pard\\f1\\fs22 \\u321?\\u243?d\\u378? "
                "\\u1048?\\u1074?\\u1072?\\u1085? "
                "\\u917?\\u955?\\u941?\\u957?\\u951? \\u26446?\\u23567?\\u40845? "
                "\\u1605?\\u1585?\\u1581?\\u1576?\\u1575?\\par " +
                cells + "\\f0\\fs20 Cell one\\cell {\\i Cell two}\\cell 1234.50\\cell\\row " +
                cells + "WAVE\\cell AVA\\cell Tj\\cell\\row\\pard\\par}",
            cursor));
        auto qt = NewPdfRichPrinter(QStringLiteral("qt.pdf"));
        qt->SetCompactPdf(false);
        qt->PrintRichEdit(edit, 1);
        NewPdfRichPrinter(QStringLiteral("compact.pdf"))->PrintRichEdit(edit, 1);
        const QByteArray qtPdf = ReadAll(QStringLiteral("qt.pdf"));
        const QByteArray compactPdf = ReadAll(QStringLiteral("compact.pdf"));
        QVERIFY(compactPdf.size() < qtPdf.size());

        const std::vector<PdfPage> expected = PdfPages(qtPdf);
        const std::vector<PdfPage> actual = PdfPages(compactPdf);
        QCOMPARE(actual.size(), expected.size());
        QVERIFY(!expected.empty());
        QVERIFY(expected.front().Text().contains(QStringLiteral("AVATAR")));
        for (size_t p = 0; p < expected.size(); ++p) {
            QCOMPARE(actual[p].Text(), expected[p].Text());
            for (size_t g = 0; g < expected[p].glyphs.size(); ++g) {
                const QPointF want = expected[p].glyphs[g].origin;
                const QPointF got = actual[p].glyphs[g].origin;
                QVERIFY2(QLineF(want, got).length() <= 0.01,
                         qPrintable(QStringLiteral("glyph %1 '%2': %3,%4 instead of %5,%6")
                                        .arg(g)
                                        .arg(expected[p].glyphs[g].character)
                                        .arg(got.x(), 0, 'f', 4)
                                        .arg(got.y(), 0, 'f', 4)
                                        .arg(want.x(), 0, 'f', 4)
                                        .arg(want.y(), 0, 'f', 4)));
            }
            QCOMPARE(actual[p].images, expected[p].images);
        }

        // A file it cannot read stays byte for byte.
        QFile cut(QStringLiteral("cut.pdf"));
        QVERIFY(cut.open(QIODevice::WriteOnly));
        cut.write(qtPdf.left(qtPdf.size() / 2));
        cut.close();
        QVERIFY(!TPdfCompactor::CompactFile(QStringLiteral("cut.pdf")));
        QCOMPARE(ReadAll(QStringLiteral("cut.pdf")), qtPdf.left(qtPdf.size() / 2));

        const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
        if (pdftotext.isEmpty())
            QSKIP("pdftotext is not installed: the second reader's check is left out");
        const auto expectedWords = BoxedWords(pdftotext, QStringLiteral("qt.pdf"));
        const auto actualWords = BoxedWords(pdftotext, QStringLiteral("compact.pdf"));
        QVERIFY(expectedWords.size() > 40);
        QCOMPARE(actualWords.size(), expectedWords.size());
        for (size_t i = 0; i < expectedWords.size(); ++i) {
            QCOMPARE(actualWords[i].first, expectedWords[i].first);
            const QRectF a = actualWords[i].second;
            const QRectF e = expectedWords[i].second;
            // The end of a word moves with the last glyph's width, which may differ from the
            // font's rounded one by a thousandth of the size.
            QVERIFY2(QLineF(a.topLeft(), e.topLeft()).length() <= 0.01 &&
                         QLineF(a.bottomRight(), e.bottomRight()).length() <= 0.03,
                     qPrintable(actualWords[i].first));
        }
    }

    // Text the compactor does not fully understand is written as it was: a text object with
    // an operator it does not know or a font without widths keeps its bytes; an operator
    // outside text objects that moves text leaves the whole content alone.
    void compactorKeepsWhatItDoesNotKnow_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QByteArray>("kept");
        const QByteArray glyphs = " 1 0 0 -1 0 0 Tm\n10 20 Td <0001> Tj\n5 0 Td <0002> Tj\n";
        QTest::newRow("character spacing inside") << "q BT\n/F1 100 Tf" + glyphs + "2 Tc\nET Q"
                                                  << "BT\n/F1 100 Tf" + glyphs + "2 Tc\nET";
        QTest::newRow("font without widths") << "q BT\n/F9 100 Tf" + glyphs + "ET Q"
                                             << "BT\n/F9 100 Tf" + glyphs + "ET";
        QTest::newRow("literal string") << QByteArray("BT\n/F1 100 Tf 10 20 Td (ab) Tj\nET")
                                        << QByteArray("BT\n/F1 100 Tf 10 20 Td (ab) Tj\nET");
        QTest::newRow("word spacing outside")
            << "3 Tw BT\n/F1 100 Tf" + glyphs + "ET" << QByteArray();
        QTest::newRow("inline image")
            << "BI /W 1 /H 1 ID x EI BT\n/F1 100 Tf" + glyphs + "ET" << QByteArray();
        QTest::newRow("unclosed text object") << "BT\n/F1 100 Tf" + glyphs << QByteArray();
    }

    void compactorKeepsWhatItDoesNotKnow()
    {
        QFETCH(QByteArray, content);
        QFETCH(QByteArray, kept);
        TPdfContentCompactor::TFonts fonts;
        fonts[QByteArrayLiteral("F1")].Widths = {{1, 500}, {2, 600}};
        const QByteArray compact = TPdfContentCompactor(fonts).Compact(content);
        if (kept.isEmpty())
            QVERIFY(compact.isEmpty());
        else
            QVERIFY2(compact.contains(kept), compact.constData());
        // The same glyphs the compactor knows do get compacted.
        const QByteArray known =
            "BT\n/F1 100 Tf 1 0 0 -1 0 0 Tm\n10 20 Td <0001> Tj\n50 0 Td <0002> Tj\nET";
        QCOMPARE(TPdfContentCompactor(fonts).Compact(known),
                 QByteArray("BT\n/F1 100 Tf\n1 0 0 -1 0 0 Tm\n10 20 Td(\0\1\0\2", 43) + ")Tj\nET");
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
