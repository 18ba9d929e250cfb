// The main window with the 300-page document in its document pane: the time from a key press
// to the repainted pane, the tool bar and ruler brought up to date on the way.
#include "app/TFormatBar.h"
#include "app/TMainForm.h"
#include "common/GeneratedDocument.h"
#include "common/GuiBenchmarkMain.h"
#include "richedit/TRichEditEx.h"
#include "richedit/TRichEditStringsEx.h"

#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

#include <benchmark/benchmark.h>

#include <stdexcept>

namespace {
// Notes every paint of a widget.
class TPaintWatch : public QObject
{
public:
    explicit TPaintWatch(QWidget &widget) { widget.installEventFilter(this); }
    bool Painted = false;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            Painted = true;
        return false;
    }
};

// One paragraph of about the given size: words, as pasted logs and data make them.
QByteArray LongParagraph(int bytes)
{
    QByteArray rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\pard\\f0\\fs20 ";
    for (int i = 0; rtf.size() < bytes; ++i)
        rtf +=
            "entry " + QByteArray::number(i) + " value=" + QByteArray::number(i * 7 % 1000) + "; ";
    return rtf + "\\par}";
}

// Resident memory of the process in MiB.
double ResidentMiB()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * 4096 / (1 << 20) : 0;
}

// The window shown with the document loaded, the caret in the middle of it.
struct TLoadedWindow
{
    TMainForm Form;
    TRichEditEx &Pane = *Form.RichEditEx1;

    // Without a paragraph size, the 300-page document.
    explicit TLoadedWindow(int paragraphBytes = 0)
    {
        Form.show();
        if (!QTest::qWaitForWindowExposed(&Form))
            throw std::runtime_error("the window was not shown");
        QByteArray data =
            paragraphBytes > 0 ? LongParagraph(paragraphBytes) : GeneratedDocument(300);
        QBuffer buffer(&data);
        buffer.open(QIODevice::ReadOnly);
        Pane.Lines().LoadStream(buffer);
        // In a paragraph in the middle, after its bold word.
        const QTextBlock middle =
            Pane.document()->findBlockByNumber(Pane.document()->blockCount() / 2);
        Pane.SetSelectionStart(middle.position() + 40);
        Pane.ensureCursorVisible();
        Pane.setFocus();
        QTest::qWait(50);
    }

    // Sends the key to the pane and runs the event loop until the pane has been painted and
    // nothing is left waiting (the tool bar's refresh among it).
    void Press(Qt::Key key, TPaintWatch &watch)
    {
        watch.Painted = false;
        QTest::keyClick(&Pane, key);
        while (!watch.Painted)
            QCoreApplication::processEvents(QEventLoop::AllEvents);
        QCoreApplication::sendPostedEvents();
    }
};

// Arg 0: a typed character and its deletion, alternately; arg 1: the caret moved right and left.
void BM_KeyToRepaint(benchmark::State &state)
{
    TLoadedWindow window;
    TPaintWatch watch(*window.Pane.viewport());
    const bool typing = state.range(0) == 0;
    bool forth = true;
    for (auto _ : state) {
        if (typing)
            window.Press(forth ? Qt::Key_X : Qt::Key_Backspace, watch);
        else
            window.Press(forth ? Qt::Key_Right : Qt::Key_Left, watch);
        forth = !forth;
    }
    state.counters["characters"] = window.Pane.TextLength();
}
BENCHMARK(BM_KeyToRepaint)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// A character typed and deleted, alternately, in the middle of one paragraph of arg bytes.
void BM_KeyInLongParagraph(benchmark::State &state)
{
    TLoadedWindow window(int(state.range(0)));
    window.Pane.SetSelectionStart(window.Pane.TextLength() / 2);
    window.Pane.ensureCursorVisible();
    QTest::qWait(50);
    TPaintWatch watch(*window.Pane.viewport());
    const double before = ResidentMiB();
    bool forth = true;
    for (auto _ : state) {
        window.Press(forth ? Qt::Key_X : Qt::Key_Backspace, watch);
        forth = !forth;
    }
    state.counters["characters"] = window.Pane.TextLength();
    state.counters["resident_mib"] = ResidentMiB();
    state.counters["growth_mib"] = ResidentMiB() - before;
}
BENCHMARK(BM_KeyInLongParagraph)
    ->Arg(1 << 20)
    ->Arg(20 << 20)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);

// The tool bar's refresh alone, for the share it takes of a keystroke.
void BM_ToolbarRefresh(benchmark::State &state)
{
    TLoadedWindow window;
    for (auto _ : state)
        window.Form.FormatBar->SelectionChange();
}
BENCHMARK(BM_ToolbarRefresh)->Unit(benchmark::kMicrosecond);
} // namespace

int main(int argc, char **argv)
{
    return RunGuiBenchmarks(argc, argv);
}
