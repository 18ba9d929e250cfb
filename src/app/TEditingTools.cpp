#include "app/TEditingTools.h"

#include "app/ShowMsgBox.h"
#include "app/TReplaceDialog.h"
#include "calc/ExpressionEvaluator.h"
#include "calc/TStringManager.h"
#include "calc/ValueRendering.h"
#include "richedit/RichEditTypes.h"
#include "richedit/TRichEditEx.h"
#include "richedit/TRichEditStringsEx.h"
#include "text/StringUtils.h"

#include <QCoreApplication>
#include <QFile>
#include <QLabel>

const char *const TEditingTools::InsertFile = "$$$";
const char *const TEditingTools::LineEndingFile = "$$##";
const char *const TEditingTools::DebugFile = "debug2.rtf";

namespace {
constexpr char Pilcrow = '\xB6';

bool HasOperator(const std::string &text)
{
    return text.find_first_of("*+-/^") != std::string::npos;
}
} // namespace

unsigned LocateOptions(bool matchCase, bool wholeWord)
{
    unsigned options = 0;
    if (wholeWord)
        options |= TLocateOption::loWholeWord;
    if (matchCase)
        options |= TLocateOption::loMatchCase;
    return options;
}

TEditingTools::TEditingTools(QWidget &window, TPanes panes, QLabel *progressPanel)
    : FPanes(std::move(panes)), FProgressPanel(progressPanel),
      FFindDialog(new TFindDialog(&window)), FReplaceDialog(new TReplaceDialog(&window))
{
    QObject::connect(FFindDialog, &TFindDialog::OnFind, FFindDialog, [this] { FindDialog1Find(); });
    QObject::connect(FReplaceDialog, &TFindDialog::OnFind, FReplaceDialog,
                     [this] { replaceDialog1Find(); });
    QObject::connect(FReplaceDialog, &TReplaceDialog::OnReplace, FReplaceDialog,
                     [this](bool all) { ReplaceDialog1Replace(all); });
}

void TEditingTools::F1Click()
{
    FFindDialog->Execute();
}

void TEditingTools::R1Click()
{
    FReplaceDialog->Execute();
}

void TEditingTools::FindDialog1Find()
{
    Find(FPanes.DocumentIfShown(), FFindDialog->FindText(), FFindDialog->MatchCase(),
         FFindDialog->WholeWord());
}

void TEditingTools::replaceDialog1Find()
{
    Find(FPanes.DocumentIfShown(), FReplaceDialog->FindText(), FReplaceDialog->MatchCase(),
         FReplaceDialog->WholeWord());
}

void TEditingTools::Find(TRichEditEx &pane, const QString &text, bool matchCase, bool wholeWord)
{
    const std::string what = pane.ToAnsi(text);
    if (what.empty())
        return;
    pane.setFocus();
    // Just after the current selection, which after a search is the match found last.
    const int start =
        pane.SelectionLength() == 0 ? 0 : pane.SelectionStart() + pane.SelectionLength();
    const int found = pane.LocateText(what, start, pane.TextLength() - start,
                                      LocateOptions(matchCase, wholeWord));
    if (found < 0)
        return;
    pane.setFocus();
    pane.Select(found, found + int(what.size()));
}

void TEditingTools::ReplaceDialog1Replace(bool all)
{
    TRichEditEx &pane = FPanes.DocumentIfShown();
    const std::string what = pane.ToAnsi(FReplaceDialog->FindText());
    const std::string with = pane.ToAnsi(FReplaceDialog->ReplaceText());
    if (what.empty())
        return;
    FPanes.Show(pane);
    pane.setFocus();
    const unsigned options =
        LocateOptions(FReplaceDialog->MatchCase(), FReplaceDialog->WholeWord());
    const auto replaceAt = [&](int found) {
        pane.Select(found, found + int(what.size()));
        pane.ClearSelection();
        pane.SetSelectedText(with);
    };
    if (!all) {
        // From the selection's start, so that a match selected by Find Next is the one replaced.
        const int start = pane.SelectionStart();
        const int found = pane.LocateText(what, start, pane.TextLength() - start, options);
        if (found >= 0)
            replaceAt(found);
        return;
    }
    int position = 0;
    for (;;) {
        const int found = pane.LocateText(what, position, pane.TextLength() - position, options);
        if (found < 0)
            break;
        const int lengthBefore = pane.TextLength();
        replaceAt(found);
        // Go on right after the inserted text. When the pane refused the edit the match is
        // still selected and the search goes on after it; an empty replacement leaves the
        // caret where the match was, in a shorter text.
        const int next = pane.SelectionStart() + pane.SelectionLength();
        if (next > found)
            position = next;
        else if (pane.TextLength() < lengthBefore)
            position = found;
        else
            break;
    }
}

void TEditingTools::Mathcalculate1Click()
{
    TRichEditEx &pane = FPanes.Document;
    std::string text = pane.SelectedText();
    if (text.empty())
        return;
    if (HasOperator(text)) {
        const long double value = EvaluateExpression(text);
        if (GetExpressionError().empty())
            text = RenderValue(value);
    }
    pane.SetSelectedText(text);
}

void TEditingTools::Insertpagebreak1Click()
{
    std::string text;
    for (int i = 0; i < 10; ++i)
        text += "\r\n";
    InsertThroughFile(text);
}

void TEditingTools::Insertnonvisiblepagebreak1Click()
{
    InsertThroughFile(std::string(1, '\f'));
}

void TEditingTools::InsertThroughFile(const std::string &text)
{
    SaveTextFile(InsertFile, text);
    TRichEditEx &pane = FPanes.Document;
    pane.setFocus();
    pane.InsertFromFile(QString::fromLatin1(InsertFile));
    QFile::remove(QString::fromLatin1(InsertFile));
}

void TEditingTools::CRLFButtonClick()
{
    TRichEditEx &pane = FPanes.InformationFirst();
    const QString lineEndingFile = QString::fromLatin1(LineEndingFile);
    pane.Lines().SaveFile(lineEndingFile);
    std::string text = LoadTextFile(LineEndingFile);

    std::string find = "\\par";
    std::string replacement = std::string(1, Pilcrow) + "\\par";
    if (text.find(Pilcrow) != std::string::npos) {
        find = "\\'b6\\f1";
        replacement.clear();
    }
    const int count = StringManager.Replace(find, replacement, text, false, false, false);
    QCoreApplication::processEvents();

    ShowMsgBox(QStringLiteral("Zarvel"), QLatin1Char('I'),
               QString::number(count) + QStringLiteral(" replacements were made "));
    if (FProgressPanel)
        FProgressPanel->setText(QString::number(count) + QStringLiteral("  replacements  "));
    QCoreApplication::processEvents();

    SaveTextFile(DebugFile, text);
    SaveTextFile(InsertFile, text);

    pane.Lines().ClearLines();
    pane.Lines().LoadFile(QString::fromLatin1(DebugFile));
    pane.repaint();
    QCoreApplication::processEvents();
}
