#include "app/TEditingTools.h"

#include "app/ShowMsgBox.h"
#include "app/TPilcrowMarks.h"
#include "app/TReplaceDialog.h"
#include "calc/ExpressionEvaluator.h"
#include "calc/ValueRendering.h"
#include "richedit/RichEditTypes.h"
#include "richedit/TRichEditEx.h"
#include "richedit/TextSearch.h"
#include "text/StringUtils.h"
#include "widgets/TOverrideCursor.h"
#include "widgets/WorkingFolder.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QLabel>

const char *const TEditingTools::InsertFile = "$$$";

namespace {
bool HasOperator(const std::string &text)
{
    return text.find_first_of("*+-/^") != std::string::npos;
}

QString ReplacementsReport(int count)
{
    return count == 1 ? QStringLiteral("1 replacement made")
                      : QStringLiteral("%1 replacements made").arg(count);
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
    for (TFindDialog *dialog : {FFindDialog, static_cast<TFindDialog *>(FReplaceDialog)})
        QObject::connect(dialog, &TFindDialog::OnShownChanged, dialog,
                         [this] { DialogShownOrHidden(); });
}

TEditingTools::~TEditingTools()
{
    // The dialogs belong to the window and outlive this object.
    QObject::disconnect(FFindDialog, nullptr, nullptr, nullptr);
    QObject::disconnect(FReplaceDialog, nullptr, nullptr, nullptr);
}

void TEditingTools::F1Click()
{
    FFindDialog->Execute();
}

void TEditingTools::R1Click()
{
    FReplaceDialog->Execute();
}

void TEditingTools::DialogShownOrHidden()
{
    const bool searching = FFindDialog->isVisible() || FReplaceDialog->isVisible();
    for (TRichEditEx *pane : {&FPanes.Document, &FPanes.Information})
        pane->SetHideSelection(!searching);
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
    const QString what = RangeForm(text);
    if (what.isEmpty())
        return;
    pane.setFocus();
    // Just after the current selection, which after a search is the match found last.
    const int start =
        pane.SelectionLength() == 0 ? 0 : pane.SelectionStart() + pane.SelectionLength();
    const int found = LocateIn(pane.WideTextRange(0, -1), what, start, pane.TextLength() - start,
                               LocateOptions(matchCase, wholeWord));
    if (found < 0) {
        // A selection left from an earlier match would look like a hit: say so instead.
        ReportNotFound(text, start > 0);
        return;
    }
    pane.setFocus();
    pane.Select(found, found + int(what.size()));
    pane.ScrollCaret();
}

void TEditingTools::ReplaceDialog1Replace(bool all)
{
    TRichEditEx &pane = FPanes.DocumentIfShown();
    const QString what = RangeForm(FReplaceDialog->FindText());
    if (what.isEmpty())
        return;
    FPanes.Show(pane);
    pane.setFocus();
    const unsigned options =
        LocateOptions(FReplaceDialog->MatchCase(), FReplaceDialog->WholeWord());
    if (all) {
        ReplaceAll(pane, what, FReplaceDialog->ReplaceText(), options);
        return;
    }
    // From the selection's start, so that a match selected by Find Next is the one replaced.
    const int start = pane.SelectionStart();
    const int found =
        LocateIn(pane.WideTextRange(0, -1), what, start, pane.TextLength() - start, options);
    if (found >= 0)
        pane.ReplaceRange(found, found + int(what.size()), FReplaceDialog->ReplaceText(), true);
    else
        ReportNotFound(FReplaceDialog->FindText(), start > 0);
}

void TEditingTools::ReportNotFound(const QString &text, bool afterSelection)
{
    QApplication::beep();
    if (ShowHint)
        ShowHint(afterSelection ? QStringLiteral("\"%1\" not found after the selection").arg(text)
                                : QStringLiteral("\"%1\" not found").arg(text));
}

void TEditingTools::ReplaceAll(TRichEditEx &pane, const QString &what, const QString &with,
                               unsigned options)
{
    const TOverrideCursor busy(Qt::WaitCursor);
    // Every occurrence in the text as it is, each replaced once, whatever the caret position.
    const std::vector<int> matches = LocateAllIn(pane.WideTextRange(0, -1), what, options);
    const int count = pane.ReplaceEach(matches, int(what.size()), with);
    if (ShowHint)
        ShowHint(ReplacementsReport(count));
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
    const QString insertFile = WorkingFolder::File(QString::fromLatin1(InsertFile));
    SaveTextFile(QFile::encodeName(insertFile).toStdString(), text);
    TRichEditEx &pane = FPanes.Document;
    pane.setFocus();
    pane.InsertFromFile(insertFile);
    QFile::remove(insertFile);
}

bool TEditingTools::CRLFButtonClick()
{
    // Both panes together, so that the button's state is the window's.
    const bool shown = !TPilcrowMarks::Shown(*FPanes.Document.document());
    for (TRichEditEx *pane : {&FPanes.Document, &FPanes.Information})
        TPilcrowMarks::SetShown(*pane->document(), shown);
    if (ShowHint)
        ShowHint(shown ? QStringLiteral("Paragraph ends are shown as \u00B6. They are not part of "
                                        "the text: they are not saved, printed or merged.")
                       : QStringLiteral("Paragraph ends are no longer shown."));
    return shown;
}
