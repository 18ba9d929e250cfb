// Saving a paragraph of 20 MB from the main window: the longest time the window went without
// handling its events, when the pane writes on the GUI thread (as every save did) and when the
// window's save makes and writes the rich text on a worker.
#include "app/TFileCommands.h"
#include "app/TMainForm.h"
#include "common/GuiBenchmarkMain.h"
#include "richedit/TRichEditEx.h"
#include "richedit/TRichEditStringsEx.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <stdexcept>

namespace {
QByteArray Paragraph(int megabytes)
{
    QByteArray rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\pard\\f0\\fs20 ";
    const int bytes = megabytes << 20;
    for (int i = 0; rtf.size() < bytes; ++i)
        rtf += "word" + QByteArray::number(i % 1000) + (i % 50 == 0 ? " {\\b bold} " : " ");
    return rtf + "\\par}";
}

// The longest gap between two ticks of a 5 ms timer while it runs.
class TStallWatch
{
public:
    TStallWatch()
    {
        FTimer.setInterval(5);
        QObject::connect(&FTimer, &QTimer::timeout,
                         [this] { FLongest = std::max(FLongest, FClock.restart()); });
        FClock.start();
        FTimer.start();
    }
    qint64 Longest()
    {
        FLongest = std::max(FLongest, FClock.elapsed());
        return FLongest;
    }

private:
    QTimer FTimer;
    QElapsedTimer FClock;
    qint64 FLongest = 0;
};

// Arg 0: the pane's save on the GUI thread; arg 1: the window's save; arg 2: no save, the
// window left idle for a second and a half, for what the caret alone costs in such a paragraph.
void BM_SaveLargeParagraph(benchmark::State &state)
{
    TMainForm form;
    form.show();
    if (!QTest::qWaitForWindowExposed(&form))
        throw std::runtime_error("the window was not shown");
    TRichEditEx &pane = *form.RichEditEx1;
    QByteArray data = Paragraph(20);
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    pane.Lines().LoadStream(buffer);
    QTest::qWait(200);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("large.rtf"));
    qint64 longest = 0;
    for (auto _ : state) {
        TStallWatch watch;
        bool done = false;
        QTimer::singleShot(0, &form, [&] {
            if (state.range(0) == 0)
                pane.Lines().SaveFile(file);
            else if (state.range(0) == 1)
                form.FileCommands().SavePaneToFile(TPane::Document, file);
            else
                QTest::qWait(1500);
            done = true;
        });
        while (!done)
            QTest::qWait(5);
        longest = std::max(longest, watch.Longest());
    }
    state.counters["longest_stall_ms"] = double(longest);
}
BENCHMARK(BM_SaveLargeParagraph)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);
} // namespace

int main(int argc, char **argv)
{
    return RunGuiBenchmarks(argc, argv);
}
