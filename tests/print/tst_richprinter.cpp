#include "PrintCapture.h"
#include "PrintTestSupport.h"
#include "TestEnvironment.h"
#include "print/ELinePrinter.h"
#include "print/TCompress.h"
#include "print/TPrinterGeometry.h"
#include "print/TRichPrinter.h"
#include "print/TRichPrntProgDlg.h"

#include <QFile>
#include <QLabel>
#include <QPrinter>
#include <QTextEdit>

#include <cerrno>
#include <cmath>
#include <cstring>

namespace {
std::unique_ptr<TRichPrinter> NoPrinter()
{
    return std::make_unique<TRichPrinter>(nullptr, nullptr);
}

// A control that answers format requests from a list, then with its length.
struct ScriptedControl
{
    std::vector<int> answers;
    int asked = 0;
    int Answer(bool render, const TFormatRangeRequest *request)
    {
        if (!request)
            return 0;
        Q_UNUSED(render);
        return asked < int(answers.size()) ? answers[asked++] : -1;
    }
};
} // namespace

class TestRichPrinter : public QObject
{
    Q_OBJECT
private slots:
    void measuresWithoutPrinter_data()
    {
        QTest::addColumn<int>("unit");
        QTest::addColumn<QList<double>>("values");
        QTest::newRow("mm") << int(muMillimeters) << QList<double>{210, 297, 198, 284, 6, 6, 6, 7};
        QTest::newRow("in") << int(muInches)
                            << QList<double>{8.5, 11, 8, 10.5, 0.25, 0.25, 0.25, 0.25};
    }
    void measuresWithoutPrinter()
    {
        QFETCH(int, unit);
        QFETCH(QList<double>, values);
        auto p = NoPrinter();
        p->SetMeasureUnit(TMeasureUnit(unit));
        const QList<double> got{p->PageWidth(),       p->PageHeight(),  p->PrintableWidth(),
                                p->PrintableHeight(), p->GutterLeft(),  p->GutterTop(),
                                p->GutterRight(),     p->GutterBottom()};
        for (int i = 0; i < values.size(); ++i)
            QVERIFY2(std::abs(got[i] - values[i]) < 1e-9, qPrintable(QString::number(i)));
        QCOMPARE(p->LogPixelsX(), 600);
        QCOMPARE(p->Orientation(), QPageLayout::Portrait);
        p->SetOrientation(QPageLayout::Landscape);
        QCOMPARE(p->Orientation(), QPageLayout::Portrait);
    }

    // The PDF printer has the printerless measures (A4, 600 pixels per inch, strips of 6 mm
    // and 7 mm at the bottom): read from the printer in device pixels, every measure and the
    // text area come out as the fixed ones, to the few pixels by which a page in whole points
    // differs, and turn with the page.
    void printerMeasuresMatchThePrinterless()
    {
        const auto pdf = TRichPrinter::NewPdfPrinter();
        const TPrinterGeometry printer(pdf.get(), muMillimeters);
        const TPrinterGeometry none(nullptr, muMillimeters);
        const double pixel = 4 * 25.4 / 600;
        const auto near = [pixel](double a, double b) { return std::abs(a - b) <= pixel; };
        QCOMPARE(printer.LogPixelsX(), 600);
        QCOMPARE(printer.LogPixelsY(), 600);
        QVERIFY(near(printer.PageWidth(), none.PageWidth()));
        QVERIFY(near(printer.PageHeight(), none.PageHeight()));
        QVERIFY(near(printer.PrintableWidth(), none.PrintableWidth()));
        QVERIFY(near(printer.PrintableHeight(), none.PrintableHeight()));
        QVERIFY(near(printer.GutterLeft(), none.GutterLeft()));
        QVERIFY(near(printer.GutterTop(), none.GutterTop()));
        QVERIFY(near(printer.GutterRight(), none.GutterRight()));
        QVERIFY(near(printer.GutterBottom(), none.GutterBottom()));
        QVERIFY((printer.PrintableOffsetPx() - none.PrintableOffsetPx()).manhattanLength() <= 8);
        const TTextArea a = printer.TextArea(TPageMargins(), 100);
        const TTextArea b = none.TextArea(TPageMargins(), 100);
        for (const auto &[got, fixed] :
             {std::pair(a.L, b.L), std::pair(a.T, b.T), std::pair(a.W, b.W), std::pair(a.H, b.H),
              std::pair(a.R, b.R), std::pair(a.B, b.B)})
            QVERIFY2(std::abs(got - fixed) <= 4,
                     qPrintable(QStringLiteral("%1 %2").arg(got).arg(fixed)));

        QVERIFY(std::abs(TPrinterGeometry(pdf.get(), muInches).PageWidth() - 210 / 25.4) <=
                4.0 / 600);
        pdf->setPageOrientation(QPageLayout::Landscape);
        const TPrinterGeometry turned(pdf.get(), muMillimeters);
        QVERIFY(near(turned.PageWidth(), 297));
        QVERIFY(near(turned.PageHeight(), 210));
    }

    void defaultsOfCreation()
    {
        auto p = NoPrinter();
        QCOMPARE(p->MarginTop(), 30.0);
        QCOMPARE(p->MarginBottom(), 25.0);
        QCOMPARE(p->MarginLeft(), 25.0);
        QCOMPARE(p->MarginRight(), 15.0);
        QCOMPARE(p->LogoWidth(), 25.0);
        QCOMPARE(p->LogoHeight(), 20.0);
        QCOMPARE(p->Header(), QStringLiteral("{$TITLE}"));
        QCOMPARE(p->FooterFormat(), QStringLiteral(">100"));
        QCOMPARE(p->Footer(), QStringLiteral("Page {$PAGE}"));
        QCOMPARE(p->BorderOffset(), 2.0);
        QVERIFY(p->CompressPreview());
        QVERIFY(!p->SaveMargins());
        QVERIFY(p->ShowProgress());
        QCOMPARE(p->Options_Dialog(), TPageOptions{poMargins});
        QCOMPARE(p->PageSetupFlags(), 0u); // computed only when written
        QCOMPARE(p->Font_HeaderFooter().family(), QStringLiteral("Courier New"));
        QCOMPARE(p->Font_HeaderFooter().pointSize(), 10);
        QCOMPARE(p->LineHeight(), 10); // no printer
    }

    void unitsToPixelsRoundHalvesToEven_data()
    {
        QTest::addColumn<double>("inches");
        QTest::addColumn<int>("pixels");
        QTest::newRow("0.5 px") << 0.5 / 600 << 0;
        QTest::newRow("1.5 px") << 1.5 / 600 << 2;
        QTest::newRow("2.5 px") << 2.5 / 600 << 2;
        QTest::newRow("one inch") << 1.0 << 600;
    }
    void unitsToPixelsRoundHalvesToEven()
    {
        QFETCH(double, inches);
        QFETCH(int, pixels);
        auto p = NoPrinter();
        p->SetMeasureUnit(muInches);
        QCOMPARE(p->UnitsToPixelsX(inches), pixels);
        QCOMPARE(p->UnitsToPixelsY(inches), pixels);
        p->SetMeasureUnit(muMillimeters);
        QCOMPARE(p->PixelsToUnitsX(600), 25.4);
    }

    void marginsAreClamped_data()
    {
        QTest::addColumn<QString>("margin");
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("expected");
        QTest::newRow("top below gutter") << "top" << 1.0 << 6.0;
        QTest::newRow("top beyond page") << "top" << 500.0 << 297.0 - 7.0;
        QTest::newRow("bottom below gutter") << "bottom" << 0.0 << 7.0;
        QTest::newRow("left beyond bound") << "left" << 400.0 << 210.0 - 6.0;
        QTest::newRow("left inside") << "left" << 40.5 << 40.5;
        QTest::newRow("right below gutter") << "right" << -3.0 << 6.0;
    }
    void marginsAreClamped()
    {
        QFETCH(QString, margin);
        QFETCH(double, value);
        QFETCH(double, expected);
        auto p = NoPrinter();
        if (margin == "top") {
            p->SetMarginTop(value);
            QCOMPARE(p->MarginTop(), expected);
        } else if (margin == "bottom") {
            p->SetMarginBottom(value);
            QCOMPARE(p->MarginBottom(), expected);
        } else if (margin == "left") {
            p->SetMarginLeft(value);
            QCOMPARE(p->MarginLeft(), expected);
        } else {
            p->SetMarginRight(value);
            QCOMPARE(p->MarginRight(), expected);
        }
    }

    void measureUnitSwitchConvertsMarginsNotLogo()
    {
        auto p = NoPrinter();
        p->SetDefaultColumnWidth(50.8);
        p->SetMeasureUnit(muInches);
        QCOMPARE(p->MarginTop(), 30 / 25.4);
        QCOMPARE(p->MarginBottom(), 25 / 25.4);
        QCOMPARE(p->MarginLeft(), 25 / 25.4);
        QCOMPARE(p->MarginRight(), 15 / 25.4);
        QCOMPARE(p->BorderOffset(), 2 / 25.4);
        QCOMPARE(p->DefaultColumnWidth(), 2.0);
        QCOMPARE(p->LogoWidth(), 25.0);
        QCOMPARE(p->LogoHeight(), 20.0);
        p->SetMeasureUnit(muMillimeters);
        QVERIFY(std::abs(p->MarginTop() - 30) < 1e-9);
    }

    void textAreaFromMarginsAndGutters()
    {
        auto p = NoPrinter();
        const TTextArea a = p->TextArea();
        QCOMPARE(a.L, qRound(600 * 19 / 25.4));
        QCOMPARE(a.T, qRound(600 * 24 / 25.4));
        QCOMPARE(a.R, qRound(600 * 9 / 25.4));
        QCOMPARE(a.B, qRound(600 * 18 / 25.4));
        QCOMPARE(a.W, qRound(600 * 198 / 25.4) - a.L - a.R);
        QCOMPARE(a.H, qRound(600 * 284 / 25.4) - a.T - a.B);
        // The bottom band holds at least one footer line.
        p->SetMarginBottom(7);
        QCOMPARE(p->TextArea().B, p->LineHeight());
    }

    void whiteHeaderFontBecomesBlack()
    {
        auto p = NoPrinter();
        QFont f(QStringLiteral("Courier New"));
        f.setPointSize(12);
        p->SetFont_HeaderFooter(f, Qt::white);
        QCOMPARE(p->FontColor_HeaderFooter(), QColor(Qt::black));
        p->SetFont_HeaderFooter(f, Qt::red);
        QCOMPARE(p->FontColor_HeaderFooter(), QColor(Qt::red));
    }

    void optionsGiveDialogFlags_data()
    {
        QTest::addColumn<QList<int>>("options");
        QTest::addColumn<uint>("flags");
        QTest::addColumn<bool>("marginsKept");
        QTest::newRow("margins") << QList<int>{poMargins} << 0x2u << true;
        QTest::newRow("disable margins drops margins")
            << QList<int>{poMargins, poDisableMargins} << 0x10u << false;
        QTest::newRow("all disabled")
            << QList<int>{poDisableOrientation, poDisablePaper, poDisablePrinter} << 0x320u
            << false;
    }
    void optionsGiveDialogFlags()
    {
        QFETCH(QList<int>, options);
        QFETCH(uint, flags);
        QFETCH(bool, marginsKept);
        auto p = NoPrinter();
        TPageOptions set;
        for (int o : options)
            set.insert(TPageSetupFlags(o));
        p->SetOptions_Dialog(set);
        QCOMPARE(p->PageSetupFlags(), quint32(flags));
        QCOMPARE(p->Options_Dialog().count(poMargins) == 1, marginsKept);
    }

    void settersRefuseWhilePrinting_data()
    {
        QTest::addColumn<QString>("what");
        QTest::addColumn<QString>("message");
        QTest::newRow("title") << "title"
                               << "Unable to change title while printing";
        QTest::newRow("orientation") << "orientation"
                                     << "Unable to change orientation while printing";
        QTest::newRow("top") << "top"
                             << "Unable to change top margin while printing";
        QTest::newRow("bottom") << "bottom"
                                << "Unable to change bottom margin while printing";
        QTest::newRow("left") << "left"
                              << "Unable to change left margin while printing";
        QTest::newRow("right") << "right"
                               << "Unable to change right margin while printing";
    }
    void settersRefuseWhilePrinting()
    {
        QFETCH(QString, what);
        QFETCH(QString, message);
        auto p = NewPdfRichPrinter();
        QString seen;
        p->OnNewPage = [&](QObject *) {
            QVERIFY(p->Printing());
            try {
                if (what == "title")
                    p->SetTitle("x");
                else if (what == "orientation")
                    p->SetOrientation(QPageLayout::Landscape);
                else if (what == "top")
                    p->SetMarginTop(40);
                else if (what == "bottom")
                    p->SetMarginBottom(40);
                else if (what == "left")
                    p->SetMarginLeft(40);
                else
                    p->SetMarginRight(40);
            } catch (const ELinePrinter &e) {
                seen = QString::fromStdString(e.what());
            }
        };
        QTextEdit edit;
        p->PrintRichEdit(edit, 1);
        QCOMPARE(seen, message);
        QVERIFY(!p->Printing());
        QCOMPARE(p->MarginTop(), 30.0);
    }

    void pageLoop_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<QList<int>>("answers");
        QTest::addColumn<int>("pages");
        QTest::newRow("empty document") << 0 << QList<int>{0} << 1;
        QTest::newRow("all on the first page") << 100 << QList<int>{100} << 1;
        QTest::newRow("three pages") << 100 << QList<int>{40, 80, 100} << 3;
        QTest::newRow("no progress gives one more page") << 100 << QList<int>{10, 10} << 3;
        QTest::newRow("minus one ends") << 100 << QList<int>{-1} << 1;
        QTest::newRow("beyond the end") << 100 << QList<int>{30, 150} << 2;
    }
    void pageLoop()
    {
        QFETCH(int, length);
        QFETCH(QList<int>, answers);
        QFETCH(int, pages);
        auto p = NewPdfRichPrinter();
        ScriptedControl control;
        control.answers.assign(answers.begin(), answers.end());
        std::vector<int> numbers;
        std::vector<int> starts;
        p->OnNewPage = [&](QObject *) { numbers.push_back(p->PageNumber()); };
        int begun = 0, ended = 0;
        p->OnBeginDoc = [&](QObject *) { ++begun; };
        p->OnEndDoc = [&](QObject *) { ++ended; };
        p->PrintFormatted(
            length,
            [&](bool render, const TFormatRangeRequest *r) {
                if (r)
                    starts.push_back(r->cpMin);
                return control.Answer(render, r);
            },
            4);
        QCOMPARE(int(numbers.size()), pages);
        for (int i = 0; i < pages; ++i)
            QCOMPARE(numbers[i], 4 + i);
        QCOMPARE(begun, 1);
        QCOMPARE(ended, 1);
        QVERIFY(!p->Printing());
        QVERIFY(QFile::exists("out.pdf"));
        if (!starts.empty())
            QCOMPARE(starts.front(), 0);
    }

    void formatRecordIsTheTextAreaInTwips()
    {
        auto p = NewPdfRichPrinter();
        TFormatRangeRequest seen;
        p->PrintFormatted(
            10,
            [&](bool, const TFormatRangeRequest *r) {
                if (r)
                    seen = *r;
                return 10;
            },
            1);
        const TTextArea a = p->TextArea();
        QCOMPARE(seen.rc.left(), a.L * 1440 / 600);
        QCOMPARE(seen.rc.top(), a.T * 1440 / 600);
        QCOMPARE(seen.rc.right(), (a.L + a.W) * 1440 / 600);
        QCOMPARE(seen.rc.bottom(), (a.T + a.H) * 1440 / 600);
        QCOMPARE(seen.rcPage, seen.rc);
        QCOMPARE(seen.cpMax, -1);
        QVERIFY(seen.hdc != nullptr);
    }

    void failureInsideTheLoopReturnsToIdle()
    {
        auto p = NewPdfRichPrinter("failed.pdf");
        p->SetShowProgress(true);
        p->OnNewPage = [&](QObject *) {
            if (p->PageNumber() == 2)
                throw ELinePrinter(QStringLiteral("stop"));
        };
        QTextEdit edit;
        edit.setPlainText(NumberedLines(400));
        QVERIFY_THROWS_EXCEPTION(ELinePrinter, p->PrintRichEdit(edit, 1));
        QVERIFY(!p->Printing());
        QVERIFY(!p->PreviewMode());
        QVERIFY(p->Canvas() == nullptr);
        QVERIFY(p->ProgressDialog() == nullptr);
        QVERIFY(!QFile::exists("failed.pdf"));
        // And the component works again afterwards.
        p->OnNewPage = nullptr;
        p->PrintRichEdit(edit, 1);
        QVERIFY(QFile::exists("failed.pdf"));
    }

    void fullDiskNamesTheFileAndTheReason()
    {
        // Pages that cannot be written say which file and why, after the usual words.
        if (!QFileInfo::exists("/dev/full") || QFileInfo("/dev/full").isFile())
            QSKIP("no full device");
        auto p = NewPdfRichPrinter("/dev/full");
        QTextEdit edit;
        edit.setPlainText(NumberedLines(4000));
        try {
            p->PrintRichEdit(edit, 1);
            QFAIL("printed onto a full disk");
        } catch (const ELinePrinter &e) {
            QCOMPARE(QString::fromStdString(e.what()),
                     QString("Not be able to print a new page: \"/dev/full\" (%1).")
                         .arg(QString::fromLocal8Bit(strerror(ENOSPC))));
        }
        QVERIFY(!p->Printing());
        QVERIFY(QFileInfo::exists("/dev/full") && !QFileInfo("/dev/full").isFile());
        // The same for the compressed pages of a preview.
        QFile page("page.txt");
        QVERIFY(page.open(QIODevice::WriteOnly) && page.write(QByteArray(1 << 20, 'x')) > 0);
        page.close();
        try {
            TCompress::CompressFile("page.txt", "/dev/full");
            QFAIL("compressed onto a full disk");
        } catch (const std::runtime_error &e) {
            QVERIFY2(
                QString::fromStdString(e.what()).startsWith("Cannot write file \"/dev/full\": "),
                e.what());
            QVERIFY2(QString::fromStdString(e.what()).contains(strerror(ENOSPC)), e.what());
        }
        QVERIFY(QFileInfo::exists("/dev/full"));
    }

    void failedPreviewDropsItsPagesAndIsIdle()
    {
        auto p = NewPdfRichPrinter();
        p->SetCompressPreview(false);
        p->OnNewPage = [&](QObject *) {
            if (p->PageNumber() == 3)
                throw ELinePrinter(QStringLiteral("stop"));
        };
        QTextEdit edit;
        edit.setPlainText(NumberedLines(400));
        p->PreviewRichEdit(edit); // swallowed
        QVERIFY(!p->PreviewMode());
        QVERIFY(p->Canvas() == nullptr);
        QVERIFY(!QFile::exists("PreviewMetafile0"));
        if (p->PreviewForm())
            p->PreviewForm()->close();
    }

    void progressWindowFollowsShowProgress()
    {
        auto p = NewPdfRichPrinter();
        p->SetShowProgress(true);
        p->SetTitle(QStringLiteral("Letter"));
        QStringList states;
        p->OnNewPage = [&](QObject *) {
            TRichPrntProgDlg *dlg = p->ProgressDialog();
            QVERIFY(dlg && dlg->isVisible());
            states << dlg->lblStatus->text() + "/" + dlg->lblTitle->text() + "/" +
                          dlg->lblPageNumber->text();
        };
        QTextEdit edit;
        edit.setPlainText(NumberedLines(80));
        p->PrintRichEdit(edit, 1);
        QCOMPARE(states,
                 (QStringList{"Currently Printing/Letter/1", "Currently Printing/Letter/2"}));
        QVERIFY(p->ProgressDialog() == nullptr);

        p->SetShowProgress(false);
        bool any = false;
        p->OnNewPage = [&](QObject *) { any = any || p->ProgressDialog() != nullptr; };
        p->PrintRichEdit(edit, 1);
        QVERIFY(!any);
    }

    void previewAndPrintGiveTheSamePages()
    {
        auto p = NewPdfRichPrinter();
        QTextEdit edit;
        edit.setPlainText(NumberedLines(130));
        int printed = 0;
        p->OnNewPage = [&](QObject *) { ++printed; };
        p->PrintRichEdit(edit, 1);
        p->OnNewPage = nullptr;
        const std::vector<QPicture> pages = PreviewPages(*p, edit);
        QCOMPARE(int(pages.size()), printed);
        QVERIFY(printed >= 3);
        // Pages hold consecutive lines.
        CaptureDevice first;
        first.Play(pages[0]);
        QVERIFY(first.AllText().contains("Line 00001"));
        QVERIFY(!first.AllText().contains("Line 00130"));
        CaptureDevice last;
        last.Play(pages.back());
        QVERIFY(last.AllText().contains("Line 00130"));
        QVERIFY(last.AllText().contains(QStringLiteral("Page %1").arg(printed)));
    }

    void emptyDocumentPreviewsOnePage()
    {
        auto p = NewPdfRichPrinter();
        QTextEdit edit;
        const std::vector<QPicture> pages = PreviewPages(*p, edit);
        QCOMPARE(int(pages.size()), 1);
        CaptureDevice page;
        page.Play(pages[0]);
        QVERIFY(page.Find("Page 1"));
    }
};

ZARVEL_TEST_MAIN(TestRichPrinter)
#include "tst_richprinter.moc"
