#include "PrintCapture.h"
#include "PrintTestSupport.h"
#include "TestEnvironment.h"
#include "print/ColumnPrinting.h"

#include <QLocale>
#include <QTextEdit>

#include <cmath>

namespace {
// The first page of a preview of an empty document, replayed.
void Decorated(TRichPrinter &printer, CaptureDevice &page)
{
    QTextEdit edit;
    const std::vector<QPicture> pages = PreviewPages(printer, edit);
    QVERIFY(!pages.empty());
    page.Play(pages.front());
}

// Where the footer's line starts, from the geometry.
int FooterTop(const TRichPrinter &p)
{
    const TTextArea a = p.TextArea();
    return a.T + a.H + (a.B - p.LineHeight()) / 2;
}
} // namespace

class TestPageDecoration : public QObject
{
    Q_OBJECT
private slots:
    void splitColumns_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("pieces");
        QTest::newRow("two") << "a|b" << QStringList{"a", "b"};
        QTest::newRow("empty") << "" << QStringList{""};
        QTest::newRow("trailing bar") << "a|" << QStringList{"a", ""};
        QTest::newRow("only bars") << "||" << QStringList{"", "", ""};
    }
    void splitColumns()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, pieces);
        QCOMPARE(SplitColumns(text), pieces);
    }

    void parseColumnFormat_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<int>("alignment");
        QTest::addColumn<double>("width");
        const QString half = QLocale().toString(12.5);
        QTest::newRow("right 100") << ">100" << int(TColumnAlignment::Right) << 100.0;
        QTest::newRow("centre") << "^50" << int(TColumnAlignment::Centre) << 50.0;
        QTest::newRow("plain number is left") << "30" << int(TColumnAlignment::Left) << 30.0;
        QTest::newRow("locale decimal") << "<" + half << int(TColumnAlignment::Left) << 12.5;
        QTest::newRow("empty is left default") << "" << int(TColumnAlignment::Left) << 7.0;
        QTest::newRow("lone character") << ">" << int(TColumnAlignment::Right) << 7.0;
        QTest::newRow("not a number") << "^wide" << int(TColumnAlignment::Centre) << 7.0;
    }
    void parseColumnFormat()
    {
        QFETCH(QString, format);
        QFETCH(int, alignment);
        QFETCH(double, width);
        const TColumnSpec parsed = ParseColumnFormat(format, 7.0);
        QCOMPARE(int(parsed.alignment), alignment);
        QCOMPARE(parsed.width, width);
    }

    void replaceToken_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("result");
        QTest::newRow("every occurrence") << "3"
                                          << "{$PAGE}-{$PAGE}"
                                          << "3-3";
        QTest::newRow("lower case stays") << "3"
                                          << "{$page}"
                                          << "{$page}";
        QTest::newRow("value holding the token") << "x{$PAGE}"
                                                 << "{$PAGE}"
                                                 << "{$PAGE}";
        QTest::newRow("none") << "3"
                              << "Page"
                              << "Page";
    }
    void replaceToken()
    {
        QFETCH(QString, value);
        QFETCH(QString, text);
        QFETCH(QString, result);
        QCOMPARE(ReplaceToken("{$PAGE}", value, text), result);
    }

    void fitTextBisects_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("fitted");
        QTest::newRow("fits") << 100 << "abcdefghij";
        QTest::newRow("exact") << 40 << "abcd";
        QTest::newRow("between") << 35 << "abc";
        QTest::newRow("narrower than one character") << 5 << "a";
    }
    void fitTextBisects()
    {
        QFETCH(int, width);
        QFETCH(QString, fitted);
        int calls = 0;
        const auto measure = [&](const QString &t) {
            ++calls;
            return int(t.size()) * 10;
        };
        QCOMPARE(FitText("abcdefghij", width, measure), fitted);
        QVERIFY(calls < 10);
        const auto failing = [](const QString &) -> int { throw std::runtime_error("printer"); };
        QCOMPARE(FitText("abc", 5, failing), QStringLiteral("abc"));
    }

    void defaultFooterIsRightAlignedInA100mmColumn()
    {
        auto p = NewPdfRichPrinter();
        CaptureDevice page;
        Decorated(*p, page);
        const CaptureDevice::Text *footer = page.Find("Page 1");
        QVERIFY(footer);
        QCOMPARE(footer->text, QStringLiteral("Page 1"));
        const TTextArea a = p->TextArea();
        const int right = a.L + p->UnitsToPixelsX(100) - 6; // the inset at 600 dpi
        QVERIFY(std::abs(footer->origin.x() + p->TextWidth("Page 1") - right) <= 2);
        QVERIFY(right < a.L + a.W); // not at the right margin
        QVERIFY(footer->origin.y() > FooterTop(*p));
        QVERIFY(footer->origin.y() < FooterTop(*p) + p->LineHeight());
        // The empty title leaves nothing in the header band.
        for (const auto &t : page.texts)
            QVERIFY(t.origin.y() > a.T);
    }

    void threeColumnsAlignLeftCentreRight()
    {
        auto p = NewPdfRichPrinter();
        p->SetHeader("A|BB|CCC");
        p->SetHeaderFormat("<50|^50|>50");
        p->SetTitle("ignored");
        CaptureDevice page;
        Decorated(*p, page);
        const TTextArea a = p->TextArea();
        const int cw = p->UnitsToPixelsX(50);
        const auto *A = page.Find("A");
        const auto *B = page.Find("BB");
        const auto *C = page.Find("CCC");
        QVERIFY(A && B && C);
        QVERIFY(std::abs(A->origin.x() - (a.L + 6)) <= 1);
        QVERIFY(std::abs(B->origin.x() - (a.L + cw + (cw - p->TextWidth("BB")) / 2)) <= 1);
        QVERIFY(std::abs(C->origin.x() + p->TextWidth("CCC") - (a.L + 3 * cw - 6)) <= 2);
        QCOMPARE(A->origin.y(), B->origin.y());
        // Header centred in the top band.
        const int top = qRound((a.T - p->LineHeight()) / 2.0);
        QVERIFY(A->origin.y() > top && A->origin.y() < top + p->LineHeight());
    }

    void columnsAndTextsOfDifferentCounts()
    {
        auto p = NewPdfRichPrinter();
        p->SetHeader("only");
        p->SetHeaderFormat("<40|<40");
        p->SetFooter("first|second");
        p->SetFooterFormat("<40");
        CaptureDevice page;
        Decorated(*p, page);
        QVERIFY(page.Find("only"));
        QVERIFY(page.Find("first"));
        QVERIFY(!page.Find("second"));
    }

    void tooLongTextIsCut()
    {
        auto p = NewPdfRichPrinter();
        p->SetFooter("abcdefghijklmnopqrstuvwxyz");
        p->SetFooterFormat("<10");
        CaptureDevice page;
        Decorated(*p, page);
        const QString expected = p->FitText("abcdefghijklmnopqrstuvwxyz", p->UnitsToPixelsX(10));
        QVERIFY(expected.size() > 1 && expected.size() < 26);
        QVERIFY(page.Find(expected));
        QVERIFY(!page.Find("z"));
    }

    void tokensAreExpanded()
    {
        auto p = NewPdfRichPrinter();
        p->SetTitle("Quarterly");
        p->SetFooter("{$PAGE}/{$PAGE} {$page} {$LINE}");
        p->SetFooterFormat("<150");
        CaptureDevice page;
        Decorated(*p, page);
        QVERIFY(page.Find("1/1 {$page} 0"));
        QVERIFY(page.Find("Quarterly"));
    }

    void emptyHeaderSkipsLineAndLogo()
    {
        auto p = NewPdfRichPrinter();
        QImage logo(20, 10, QImage::Format_RGB32);
        logo.fill(Qt::red);
        p->SetBitmapLogo(logo);
        p->SetTitle("T");
        CaptureDevice with;
        Decorated(*p, with);
        QCOMPARE(int(with.images.size()), 1);
        const QRect expected = p->LogoRect();
        QVERIFY(std::abs(with.images[0].left() - expected.left()) <= 1);
        QVERIFY(std::abs(with.images[0].top() - expected.top()) <= 1);
        // The logo scales with the text area: its width is its share of the page width.
        const TTextArea a = p->TextArea();
        QCOMPARE(expected.width(), qRound(25.0 / p->PageWidth() * a.W));

        p->SetHeader("");
        CaptureDevice without;
        Decorated(*p, without);
        QVERIFY(without.images.empty());
        QVERIFY(!without.Find("T"));
    }

    void bordersSurroundTheTextArea()
    {
        auto p = NewPdfRichPrinter();
        p->SetPageBorders({pbTop, pbBottom});
        CaptureDevice page;
        Decorated(*p, page);
        const TTextArea a = p->TextArea();
        const int b = p->UnitsToPixelsY(2);
        QCOMPARE(int(page.lines.size()), 2);
        QCOMPARE(page.lines[0].line, QLineF(a.L - b, a.T - b, a.L + a.W + b, a.T - b));
        QCOMPARE(page.lines[1].line, QLineF(a.L - b, a.T + a.H + b, a.L + a.W + b, a.T + a.H + b));
        QCOMPARE(page.lines[0].width, 2.0);

        p->SetPageBorders({pbLeft, pbRight});
        CaptureDevice sides;
        Decorated(*p, sides);
        QCOMPARE(int(sides.lines.size()), 2);
        QCOMPARE(sides.lines[0].line.x1(), qreal(a.L - b));
        QCOMPARE(sides.lines[1].line.x1(), qreal(a.L + a.W + b));
    }

    void whiteFontPrintsBlack()
    {
        auto p = NewPdfRichPrinter();
        QFont f("Courier New");
        f.setPointSize(10);
        p->SetFont_HeaderFooter(f, Qt::white);
        CaptureDevice page;
        Decorated(*p, page);
        const auto *footer = page.Find("Page 1");
        QVERIFY(footer);
        QCOMPARE(footer->color, QColor(Qt::black));
    }

    void columnPrinterMovesDownAndPages()
    {
        auto p = NewPdfRichPrinter();
        p->SetColumnFormat("<50");
        int pages = 0;
        p->OnNewPage = [&](QObject *) { ++pages; };
        p->PrintFormatted(
            1,
            [&](bool, const TFormatRangeRequest *r) {
                if (!r)
                    return 0;
                // Lines printed by the column printer until the page is full.
                const int before = pages;
                while (pages == before)
                    p->PrintColumns("row {$LINE}");
                return 1;
            },
            1);
        QCOMPARE(pages, 2);
        QCOMPARE(p->LineCount(), 0);
    }
};

ZARVEL_TEST_MAIN(TestPageDecoration)
#include "tst_pagedecoration.moc"
