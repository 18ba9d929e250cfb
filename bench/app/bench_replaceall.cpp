// Replace All in the main window: 10,000 matches in a document of about 1 MB of text, pressed
// through the replace dialog with the tool bar and ruler wired as in the program; and the one
// undo that takes it back.
#include "app/TEditingTools.h"
#include "app/TMainForm.h"
#include "app/TReplaceDialog.h"
#include "common/GuiBenchmarkMain.h"
#include "richedit/RichEditTypes.h"
#include "richedit/TRichEditEx.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {
constexpr int Matches = 10000;

// Paragraphs of about 100 characters with formatting, each with one "LINE" in it.
QByteArray GeneratedDocument()
{
    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}"
                     "\\viewkind4\\uc1\\pard\\f0\\fs20 ";
    for (int i = 0; i < Matches; ++i)
        rtf += "Paragraph " + QByteArray::number(i) +
               " holds {\\b bold} and {\\i italic} words, the LINE to replace, and more text "
               "to fill the paragraph.\\par\r\n";
    rtf += "}";
    return rtf;
}

struct TWindow
{
    TMainForm Form;
    TReplaceDialog &Dialog = Form.EditingTools().ReplaceDialog1();

    TWindow()
    {
        Form.show();
        Form.R1Click();
        Dialog.FindEdit->setText(QStringLiteral("LINE"));
        Dialog.ReplaceEdit->setText(QStringLiteral("Row"));
    }
    void ReplaceAll() { Dialog.ReplaceAllButton->click(); }
    void Load(const QByteArray &document)
    {
        Form.DocumentPane().StreamInBytes(document, TStreamFormat::SF_RTF);
        benchmark::DoNotOptimize(Form.DocumentPane().document()->documentLayout()->documentSize());
        QCoreApplication::processEvents();
    }
};

// Arg 0: Replace All and the repaint; arg 1: the one undo that takes it back.
void BM_ReplaceAll(benchmark::State &state)
{
    const bool undo = state.range(0) == 1;
    const QByteArray document = GeneratedDocument();
    TWindow window;
    for (auto _ : state) {
        state.PauseTiming();
        window.Load(document);
        if (undo)
            window.ReplaceAll();
        state.ResumeTiming();
        if (undo)
            window.Form.EditUndo();
        else
            window.ReplaceAll();
        QCoreApplication::processEvents(); // the repaint
    }
    const QString text = window.Form.DocumentPane().WideTextRange(0, -1);
    state.counters["characters"] = text.size();
    state.counters["replaced"] = text.count(QStringLiteral("Row"));
}
BENCHMARK(BM_ReplaceAll)->ArgName("undo")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char **argv)
{
    // The window reads and writes its settings: keep them away from the user's.
    QTemporaryDir scratch;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(scratch.path()));
    QDir::setCurrent(scratch.path());
    return RunGuiBenchmarks(argc, argv);
}
