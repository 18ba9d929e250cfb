// A 300-page document printed to PDF and paginated for preview with compressed page files; the
// PDF of the 1.9 MB word-processor-shaped document before and after compaction.
#include "RtfBenchDocuments.h"
#include "print/MainWindowPrinterSettings.h"
#include "print/TPdfCompactor.h"
#include "print/TRichPreviewForm.h"
#include "print/TRichPrinter.h"
#include "richedit/TRichEditEx.h"
#include "richedit/TRichEditStringsEx.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTextEdit>

#include <benchmark/benchmark.h>

namespace {
QString LongDocument(int pages)
{
    QString text;
    for (int i = 1; i <= pages * 65; ++i)
        text += QStringLiteral("Line %1: the quick brown fox jumps over the lazy dog, again and "
                               "again, to fill the page.\n")
                    .arg(i);
    return text;
}

QTextEdit &Document()
{
    static QTextEdit edit;
    static bool filled = false;
    if (!filled) {
        edit.setPlainText(LongDocument(300));
        filled = true;
    }
    return edit;
}

void BM_PrintToPdf(benchmark::State &state)
{
    QTemporaryDir dir;
    int pages = 0;
    for (auto _ : state) {
        TRichPrinter printer(TRichPrinter::NewPdfPrinter(dir.filePath("out.pdf")), nullptr);
        printer.SetShowProgress(false);
        pages = 0;
        printer.OnNewPage = [&](QObject *) { ++pages; };
        printer.PrintRichEdit(Document(), 1);
    }
    state.counters["pages"] = pages;
    state.counters["pdf_kb"] = QFileInfo(dir.filePath("out.pdf")).size() / 1024.0;
}
BENCHMARK(BM_PrintToPdf)->Unit(benchmark::kMillisecond)->Iterations(2);

// The sizes to hold against a desktop word processor's PDF of the same document: Qt's file
// (qt_kb) and the compacted one (pdf_kb); the time is the compaction's.
void BM_CompactWordProcessorPdf(benchmark::State &state)
{
    QTemporaryDir dir;
    QFile rtf(dir.filePath("document.rtf"));
    const std::string document = RtfBenchDocuments::WordProcessorDocument(1900 * 1024);
    if (!rtf.open(QIODevice::WriteOnly) ||
        rtf.write(document.data(), qint64(document.size())) != qint64(document.size())) {
        state.SkipWithError("cannot write the document");
        return;
    }
    rtf.close();
    TRichEditEx pane;
    pane.SetIncludeOLE(true);
    pane.SetPlainRTF(false);
    pane.SetWordWrap(true);
    pane.Lines().LoadFile(rtf.fileName());
    TRichPrinter printer(TRichPrinter::NewPdfPrinter(dir.filePath("qt.pdf")), nullptr);
    ApplyMainWindowPrinterSettings(printer);
    printer.SetShowProgress(false);
    printer.SetCompactPdf(false);
    int pages = 0;
    printer.OnNewPage = [&](QObject *) { ++pages; };
    printer.PrintRichEdit(pane, 1);
    const QString compact = dir.filePath("compact.pdf");
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(compact);
        QFile::copy(dir.filePath("qt.pdf"), compact);
        state.ResumeTiming();
        if (!TPdfCompactor::CompactFile(compact))
            state.SkipWithError("the compactor left the file as it was");
    }
    state.counters["pages"] = pages;
    state.counters["qt_kb"] = QFileInfo(dir.filePath("qt.pdf")).size() / 1024.0;
    state.counters["pdf_kb"] = QFileInfo(compact).size() / 1024.0;
}
BENCHMARK(BM_CompactWordProcessorPdf)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_PreviewPaginate(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString old = QDir::currentPath();
    QDir::setCurrent(dir.path());
    int pages = 0;
    qint64 bytes = 0;
    for (auto _ : state) {
        TRichPrinter printer(TRichPrinter::NewPdfPrinter(), nullptr);
        printer.SetShowProgress(false);
        printer.SetCompressPreview(true);
        printer.PreviewRichEdit(Document());
        state.PauseTiming();
        pages = printer.PreviewForm() ? printer.PreviewForm()->PageCount() : 0;
        bytes = 0;
        for (int i = 0; i < pages; ++i)
            bytes += QFileInfo(TRichPreviewForm::PageFileName(i, true)).size();
        if (printer.PreviewForm())
            printer.PreviewForm()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
    state.counters["pages"] = pages;
    state.counters["kb_per_page"] = pages ? bytes / 1024.0 / pages : 0;
    QDir::setCurrent(old);
}
BENCHMARK(BM_PreviewPaginate)->Unit(benchmark::kMillisecond)->Iterations(2);
} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
