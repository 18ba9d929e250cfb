// Recovery copies of the 300-page document: what the GUI thread spends on a snapshot against
// what the writer thread spends on the rich text made from it, and against the two ways the
// GUI thread could have done it alone (a clone, the rich text itself).
#include "app/TAutoRecovery.h"
#include "app/TRecoverySnapshot.h"
#include "common/GeneratedDocument.h"
#include "common/GuiBenchmarkMain.h"
#include "richedit/TRichEditEx.h"
#include "richedit/TRichEditStringsEx.h"
#include "rtf/TRtfWriter.h"

#include <QApplication>
#include <QBuffer>
#include <QTextCursor>
#include <QTextDocument>

#include <benchmark/benchmark.h>

namespace {
TRichEditEx &LoadedPane()
{
    static TRichEditEx *pane = [] {
        auto *edit = new TRichEditEx(); // lives as long as the process
        edit->SetWordWrap(true);
        edit->resize(800, 540);
        QByteArray data = GeneratedDocument(300);
        QBuffer buffer(&data);
        buffer.open(QIODevice::ReadOnly);
        edit->Lines().LoadStream(buffer);
        edit->show();
        QApplication::processEvents();
        return edit;
    }();
    return *pane;
}

// The GUI thread's share of a copy, after a keystroke as the user types.
void BM_SnapshotOnGuiThread(benchmark::State &state)
{
    TRichEditEx &pane = LoadedPane();
    for (auto _ : state) {
        state.PauseTiming();
        QTextCursor(pane.document()).insertText(QStringLiteral("x"));
        QApplication::processEvents();
        state.ResumeTiming();
        auto snapshot = TAutoRecovery::Snapshot(pane);
        benchmark::DoNotOptimize(snapshot.get());
        state.PauseTiming();
        snapshot.reset();
        state.ResumeTiming();
    }
    state.counters["characters"] = pane.TextLength();
}
BENCHMARK(BM_SnapshotOnGuiThread)->Unit(benchmark::kMillisecond);

// The writer thread's share: the document built again from the snapshot, and its rich text.
void BM_RichTextOfSnapshot(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(
            TRtfWriter::Write(*TAutoRecovery::Snapshot(LoadedPane())->Build()));
}
BENCHMARK(BM_RichTextOfSnapshot)->Unit(benchmark::kMillisecond);

void BM_CloneOnGuiThread(benchmark::State &state)
{
    for (auto _ : state)
        std::unique_ptr<QTextDocument>(LoadedPane().document()->clone());
}
BENCHMARK(BM_CloneOnGuiThread)->Unit(benchmark::kMillisecond);

void BM_RichTextOnGuiThread(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(TRtfWriter::Write(*LoadedPane().document()));
}
BENCHMARK(BM_RichTextOnGuiThread)->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char **argv)
{
    return RunGuiBenchmarks(argc, argv);
}
