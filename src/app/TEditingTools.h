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
// and the line-ending display. The window says which pane a command uses through the two
// pickers; the commands that always use the document pane take it directly.
class TEditingTools
{
public:
    using PanePicker = std::function<TRichEditEx &()>;
    using PaneShower = std::function<void(TRichEditEx &)>;

    struct TPanes
    {
        TRichEditEx &Document;
        // Information first (line-ending display).
        PanePicker InformationFirst;
        // Document if focused or shown (find and replace).
        PanePicker DocumentIfShown;
        // Shows this pane and hides the other.
        PaneShower Show;
    };

    // The dialogs are children of window; progress texts go to the panel.
    TEditingTools(QWidget &window, TPanes panes, QLabel *progressPanel);

    TFindDialog &FindDialog1() const { return *FFindDialog; }
    TReplaceDialog &ReplaceDialog1() const { return *FReplaceDialog; }

    // Show the find or replace dialog; their buttons run the handlers below.
    void F1Click();
    void R1Click();
    // Find next of the find dialog and of the replace dialog.
    void FindDialog1Find();
    void replaceDialog1Find();
    // Replace (all false) or Replace All (all true) of the replace dialog.
    void ReplaceDialog1Replace(bool all);

    void Mathcalculate1Click();
    // "Insert Blank lines": ten paragraph breaks in place of the selection.
    void Insertpagebreak1Click();
    // "Insert page break": a form feed, which only the page formatting shows.
    void Insertnonvisiblepagebreak1Click();
    // Shows a pilcrow at every paragraph end (or takes the raw ones away again).
    void CRLFButtonClick();

    // The working files, in the current folder.
    static const char *const InsertFile;     // "$$$"
    static const char *const LineEndingFile; // "$$##"
    static const char *const DebugFile;      // "debug2.rtf"

private:
    void Find(TRichEditEx &pane, const QString &text, bool matchCase, bool wholeWord);
    // Replaces the selection of the document pane with the text through a working file, as a
    // file inserted there would.
    void InsertThroughFile(const std::string &text);

    TPanes FPanes;
    QLabel *FProgressPanel;
    TFindDialog *FFindDialog;
    TReplaceDialog *FReplaceDialog;
};

// Search options of the pane's LocateText for the dialogs' check boxes; always forward.
unsigned LocateOptions(bool matchCase, bool wholeWord);
