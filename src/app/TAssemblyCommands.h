#pragma once

#include "app/TPaneRules.h"

#include <QString>
#include <Qt>

#include <memory>
#include <string>
#include <vector>

class QIODevice;
class QPoint;
class TCaseRowChooser;
class TCaseTable;
class THeadingBalloonWatch;
class TFileCommands;
class TMainFormHost;
class TMRUFileList;
class TRichEditEx;
struct TMergeResult;

// The "Document Assembly" commands of the main window: choosing the information file and the
// template (in the open dialog or from a recently used list), the heading balloon of the
// document pane, "Check Template" and "Do It". The merge itself is the assembly engine's; these
// commands hand it the window's state, show its progress and its messages, and put the result
// into the document pane. Failures to read or write files are thrown to the caller (the window's
// command runner). Each command that would replace a modified pane asks the save question
// first; Cancel there (EAbort) stops it with everything kept.
class TAssemblyCommands
{
public:
    // Chooses its files through the open dialog of the file commands.
    TAssemblyCommands(TMainFormHost &form, TFileCommands &fileCommands);
    ~TAssemblyCommands();

    void EditInformationFile1Click();
    void EditTemplateFile1Click();
    // The part of those commands after the dialog: remembers the file in its recently used
    // list, loads it into its pane and shows that pane.
    void SelectInformationFile(const QString &fileName);
    void SelectTemplateFile(const QString &fileName);
    void MRUFiles1MRUItemClick(const QString &fileName);
    void MRUFiles2MRUItemClick(const QString &fileName);
    // A mouse button pressed at a point of the document pane's viewport, after the caret moved
    // there. The left button on a placeholder shows its heading; the selection is not touched.
    void RichEditEx1MouseDown(Qt::MouseButton button, const QPoint &point);
    // Checks the chosen template against the information pane's lines (the template alone when
    // the pane is empty), in the window's mode, and shows the report.
    void CheckTemplate1Click();
    void DoIt1Click();
    // With a table of cases as the information file: asks for a folder and a format and
    // writes every row's letter there (TAllRowsMerge).
    void DoItForAllRows1Click();

    // The table of cases the information pane shows a row of; null for an information file.
    const TCaseTable *CaseTable() const { return FTable.get(); }
    // Throws, naming the file, when it is the table of cases in use: a save of a pane (which
    // shows one row of it) never writes over the table.
    void RefuseWritingTable(const QString &fileName) const;
    // The bar that chooses the row; null until a table was chosen.
    TCaseRowChooser *RowChooser() const { return FRowChooser; }

    // The lines of the information pane (it does not wrap: one line a paragraph), numbered
    // from 0, as the merge and the heading balloon read them; for a table, those of the row
    // chosen, taken from the table.
    std::vector<std::string> InformationLines() const;

    // The end of a merge that ran through: the merged rich text replaces the document pane's
    // content, going through the working file "$$$", which is deleted afterwards in any case.
    void InsertMergedText(const std::string &mergeText);

    // Streams what is left of the source into the pane's selection in the given format. The
    // transfer fails when the source yields fewer bytes than it still holds. Returns the
    // transfer's error, 0 on success.
    static int StreamIntoSelection(TRichEditEx &pane, QIODevice &source, unsigned format);

private:
    // Runs the open dialog with the file name box set to the mask, or to the previous file of
    // the same kind; empty when cancelled.
    QString ChooseFile(const char *mask, const QString &previous);
    // A file that looks like the other kind (a template chosen as information, or the other
    // way round) is loaded only when the user says so.
    bool ConfirmKind(const QString &fileName, TPane pane);
    // The save question before an entry of the list replaces the pane; on Cancel the entry
    // stays in the list where it was.
    void AskSaveChangesForEntry(TPane pane, TMRUFileList &list);
    void ShowHeadingBalloon(int start, int end, long pairNumber, const QPoint &point);
    // The user moved on from a merge (New, Open, typing): its progress panel goes, unless the
    // change is the running merge's own.
    void DismissMergePanel();
    void ShowMergeStop(const TMergeResult &result);
    void LoadMergedFile(const QString &fileName);
    // A table of cases into the information pane (read-only, its first row shown), or an
    // information file, which ends the table's use.
    void LoadInformation(const QString &fileName);
    void LoadTable(const QString &fileName);
    void ShowRow(int row);
    QString InformationSource() const;

    std::shared_ptr<const TCaseTable> FTable;
    TCaseRowChooser *FRowChooser = nullptr;
    QString FAllRowsFolder;
    int FAllRowsFormat = 0;

    TMainFormHost &FForm;
    TFileCommands &FFileCommands;
    std::unique_ptr<THeadingBalloonWatch> FBalloonWatch;
    bool FMerging = false;
};
