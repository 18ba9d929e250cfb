#pragma once

#include <QString>

#include <functional>
#include <string>

class QLabel;
class QWidget;
class TFindDialog;
class TReplaceDialog;
class TRichEditEx;

// The editing tools of the main window that search or change the text: find, replace and
// replace all (modeless dialogs), "Math calculate", "Insert Blank lines", "Insert page break"
// and the line-ending display. The window says which pane a command uses through the picker;
// the commands that always use the document pane take it directly.
class TEditingTools
{
public:
    using PanePicker = std::function<TRichEditEx &()>;
    using PaneShower = std::function<void(TRichEditEx &)>;

    struct TPanes
    {
        TRichEditEx &Document;
        TRichEditEx &Information;
        // The document pane if focused or shown, that is the pane the user sees (find, replace,
        // line-ending display).
        PanePicker DocumentIfShown;
        // Shows this pane and hides the other.
        PaneShower Show;
    };

    // The dialogs are children of window; progress texts go to the panel.
    TEditingTools(QWidget &window, TPanes panes, QLabel *progressPanel);
    ~TEditingTools();
    TEditingTools(const TEditingTools &) = delete;
    TEditingTools &operator=(const TEditingTools &) = delete;

    TFindDialog &FindDialog1() const { return *FFindDialog; }
    TReplaceDialog &ReplaceDialog1() const { return *FReplaceDialog; }

    // Show the find or replace dialog; their buttons run the handlers below. While either is
    // shown, both panes show their selection also without the focus, so that the match found
    // stays in sight.
    void F1Click();
    void R1Click();
    // Find next of the find dialog and of the replace dialog: selects the match and scrolls it
    // into view.
    void FindDialog1Find();
    void replaceDialog1Find();
    // Replace (all false) or Replace All (all true) of the replace dialog. Replace All is one
    // undoable edit and reports the number of replacements through ShowHint.
    void ReplaceDialog1Replace(bool all);

    void Mathcalculate1Click();
    // "Insert Blank lines": ten paragraph breaks in place of the selection.
    void Insertpagebreak1Click();
    // "Insert page break": a form feed, which only the page formatting shows.
    void Insertnonvisiblepagebreak1Click();
    // Shows a pilcrow at the end of every paragraph of both panes, or stops showing them
    // (TPilcrowMarks: display only, never text). Returns whether they are shown now.
    bool CRLFButtonClick();

    // Shows a short report to the user (the window's hint panel).
    std::function<void(const QString &)> ShowHint;

    // The working file of the insert commands, in the current folder.
    static const char *const InsertFile; // "$$$"

private:
    void Find(TRichEditEx &pane, const QString &text, bool matchCase, bool wholeWord);
    void ReplaceAll(TRichEditEx &pane, const QString &what, const QString &with, unsigned options);
    // No match: a beep and a "not found" hint; the selection stays as it was.
    void ReportNotFound(const QString &text, bool afterSelection);
    // Replaces the selection of the document pane with the text through a working file, as a
    // file inserted there would.
    void InsertThroughFile(const std::string &text);
    // The panes show their selection without the focus while a search dialog is shown.
    void DialogShownOrHidden();

    TPanes FPanes;
    QLabel *FProgressPanel;
    TFindDialog *FFindDialog;
    TReplaceDialog *FReplaceDialog;
};

// Search options of the pane's LocateText for the dialogs' check boxes; always forward.
unsigned LocateOptions(bool matchCase, bool wholeWord);
