// The document pane with a generated document of 300 pages (about 1.5 MB of rich text):
// load with layout, save, line count; and a paragraph of several megabytes in either pane.
#include "common/GeneratedDocument.h"
#include "common/GuiBenchmarkMain.h"
#include "richedit/TRichEditEx.h"
#include "richedit/TRichEditStringsEx.h"
#include "rtf2html/RtfBenchDocuments.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QImage>
#include <QTextDocument>

#include <benchmark/benchmark.h>

namespace {
const QByteArray &Document()
{
    static const QByteArray document = GeneratedDocument(300);
    return document;
}

// A control set up as the document pane of the main window.
std::unique_ptr<TRichEditEx> DocumentPane()
{
    auto pane = std::make_unique<TRichEditEx>();
    pane->SetLanguage(1033);
    pane->SetWordWrap(true);
    pane->SetScrollBars(TScrollStyle::ssVertical);
    pane->SetHideScrollBars(false);
    pane->resize(800, 540);
    return pane;
}

// Loads rich text as the pane loads a file: reading and building the document. A pane that
// is not shown lays nothing out, so that the document size asked for here costs nothing;
// BM_OpenInShownPane has the layout of a shown pane.
void LoadText(TRichEditEx &pane, const QByteArray &rtf)
{
    QByteArray data = rtf;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    pane.Lines().LoadStream(buffer);
    benchmark::DoNotOptimize(pane.document()->documentLayout()->documentSize());
}

void Load(TRichEditEx &pane)
{
    LoadText(pane, Document());
}

void BM_LoadWithLayout(benchmark::State &state)
{
    auto pane = DocumentPane();
    for (auto _ : state)
        Load(*pane);
    state.counters["bytes"] = static_cast<double>(Document().size());
    state.counters["characters"] = pane->TextLength();
}
BENCHMARK(BM_LoadWithLayout)->Unit(benchmark::kMillisecond);

// The text of the generated document as a current word processor writes it: every paragraph
// states all its properties, every run its fonts for both directions and its revision marks,
// most of them words the reader passes over (about 2.7 MB for 120 pages).
QByteArray WordProcessorDocument(int pages)
{
    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fswiss"
                     "\\fcharset0 Arial;}{\\f1\\froman\\fcharset0 Times New Roman;}}\r\n"
                     "{\\colortbl ;\\red255\\green0\\blue0;}\r\n\\viewkind4\\uc1\\pard\\f0\\fs20 ";
    const QByteArray run = "{\\rtlch\\fcs1 \\af0 \\ltrch\\fcs0 \\insrsid4732134 ";
    for (int i = 0; i < pages * 38; ++i) {
        if (i % 38 == 0)
            rtf += "{\\f1\\fs28\\b Page " + QByteArray::number(i / 38 + 1) + "\\b0}\\par\r\n";
        rtf += "\\pard\\plain \\ltrpar\\ql \\li0\\ri0\\sa160\\sl259\\slmult1\\widctlpar"
               "\\wrapdefault\\aspalpha\\aspnum\\faauto\\adjustright\\rin0\\lin0\\itap0 \\rtlch"
               "\\fcs1 \\af0\\afs22\\alang1025 \\ltrch\\fcs0 \\f0\\fs22\\lang2057\\langfe1033"
               "\\cgrid\\langnp2057\\langfenp1033 " +
               run + "Paragraph " + QByteArray::number(i) +
               " of the test document with }{\\rtlch\\fcs1 \\ab\\af0 \\ltrch\\fcs0 \\b"
               "\\insrsid4732134\\charrsid12345 bold}" +
               run + " words, the value @" + QByteArray::number(i % 40 + 1) + " and }" + run +
               "\\cf1 coloured}" + run + " text \\'e9t\\'e9.}\\par\r\n";
    }
    return rtf + "}\r\n";
}

void BM_LoadWordProcessorDocument(benchmark::State &state)
{
    static const QByteArray document = WordProcessorDocument(120);
    auto pane = DocumentPane();
    for (auto _ : state)
        LoadText(*pane, document);
    state.counters["bytes"] = static_cast<double>(document.size());
    state.counters["characters"] = pane->TextLength();
}
BENCHMARK(BM_LoadWordProcessorDocument)->Unit(benchmark::kMillisecond);

// Opening the 1.9 MB word-processor document in a pane that is shown, as the window opens a
// file: the load and the painting of the first screen, what the user waits for. The rest of
// the layout follows while the window is idle; it is left undone here.
void BM_OpenInShownPane(benchmark::State &state)
{
    static const QByteArray document =
        QByteArray::fromStdString(RtfBenchDocuments::WordProcessorDocument(1900 * 1024));
    auto pane = DocumentPane();
    pane->show();
    QImage screen(pane->viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QByteArray data = document;
        QBuffer buffer(&data);
        buffer.open(QIODevice::ReadOnly);
        pane->Lines().LoadStream(buffer);
        pane->viewport()->render(&screen);
    }
    state.counters["bytes"] = static_cast<double>(document.size());
    state.counters["characters"] = pane->TextLength();
}
BENCHMARK(BM_OpenInShownPane)->Unit(benchmark::kMillisecond);

// A table of many rows, as a word processor writes it (each row states its cells): a price
// list or a register pasted as a table.
void BM_LoadLongTable(benchmark::State &state)
{
    QByteArray rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 ";
    for (int row = 0; row < state.range(0); ++row)
        rtf += "\\trowd\\trgaph108\\cellx2000\\cellx5000\\cellx8000\\pard\\intbl Item " +
               QByteArray::number(row) + "\\cell Description of the item\\cell " +
               QByteArray::number(row * 7) + ".50\\cell\\row\r\n";
    rtf += "\\pard After\\par}";
    auto pane = DocumentPane();
    for (auto _ : state)
        LoadText(*pane, rtf);
    state.counters["bytes"] = static_cast<double>(rtf.size());
}
BENCHMARK(BM_LoadLongTable)->Arg(1000)->Arg(4000)->Unit(benchmark::kMillisecond);

void BM_Save(benchmark::State &state)
{
    auto pane = DocumentPane();
    Load(*pane);
    for (auto _ : state) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        pane->Lines().SaveStream(buffer);
        benchmark::DoNotOptimize(buffer.data().size());
    }
}
BENCHMARK(BM_Save)->Unit(benchmark::kMillisecond);

void BM_LineCount(benchmark::State &state)
{
    auto pane = DocumentPane();
    Load(*pane);
    int count = 0;
    for (auto _ : state) {
        state.PauseTiming();
        // A small edit at the end, so that the line table is built again.
        pane->SetSelectionStart(pane->TextLength());
        pane->SetSelectedText("x");
        state.ResumeTiming();
        count = pane->Lines().LineCount();
        benchmark::DoNotOptimize(count);
    }
    state.counters["lines"] = count;
}
BENCHMARK(BM_LineCount)->Unit(benchmark::kMillisecond);

// One paragraph of state.range(0) MB of ordinary words.
QByteArray HugeParagraph(int megabytes)
{
    QByteArray rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\pard\\f0\\fs20 ";
    const QByteArray words = "lorem ipsum @12 dolor sit amet, consectetur ";
    while (rtf.size() < megabytes * 1000 * 1000)
        rtf += words;
    return rtf + "\\par}";
}

// The information pane: no word wrap, plain rich text.
std::unique_ptr<TRichEditEx> InformationPane()
{
    auto pane = std::make_unique<TRichEditEx>();
    pane->SetLanguage(1033);
    pane->SetWordWrap(false);
    pane->SetScrollBars(TScrollStyle::ssNone);
    pane->SetPlainRTF(true);
    pane->resize(800, 540);
    return pane;
}

// Loading a huge paragraph (and laying it out, as showing it needs), then one typed character
// in it, which lays the paragraph out again. Arg: megabytes; the second: 1 for the document
// pane, 0 for the information pane.
void BM_HugeParagraph(benchmark::State &state)
{
    const QByteArray data = HugeParagraph(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        auto pane = state.range(1) ? DocumentPane() : InformationPane();
        pane->show();
        QElapsedTimer timer;
        timer.start();
        QByteArray copy = data;
        QBuffer buffer(&copy);
        buffer.open(QIODevice::ReadOnly);
        pane->Lines().LoadStream(buffer);
        benchmark::DoNotOptimize(pane->document()->documentLayout()->documentSize());
        QCoreApplication::processEvents();
        state.counters["load_s"] = timer.restart() / 1000.0;
        pane->SetSelectionStart(10);
        pane->SetSelectedText("x");
        QCoreApplication::processEvents();
        state.counters["edit_s"] = timer.elapsed() / 1000.0;
    }
}
BENCHMARK(BM_HugeParagraph)
    ->Args({4, 1})
    ->Args({20, 1})
    ->Args({20, 0})
    ->Iterations(1)
    ->Unit(benchmark::kSecond);
} // namespace

int main(int argc, char **argv)
{
    return RunGuiBenchmarks(argc, argv);
}
