#pragma once

#include "app/TPaneRules.h"

#include <QString>

class QFileDialog;
class QLabel;
class QProgressBar;
class QWidget;
class TBalloon;
class TMRUFileList;
class TOpenPreviewDialog;
class TRichEditEx;

// What the file and document assembly commands need of the main window, so that they depend on
// this and not on the window's class: its panes and their rules, the document name and the save
// question, the files chosen for the merge, and the dialogs and panels the commands use.
// TMainForm implements it.
class TMainFormHost
{
public:
    // The window: parent of the commands' dialogs and questions, and its caption.
    virtual QWidget &Window() = 0;

    virtual TRichEditEx &Pane(TPane pane) const = 0;
    virtual TRichEditEx &DocumentPane() const = 0;
    virtual TRichEditEx &InformationPane() const = 0;
    virtual TPaneRules &PaneRules() const = 0;
    virtual TPane PaneByRuleA() const = 0;
    // The name the save question uses for a pane.
    virtual QString PaneName(TPane pane) const = 0;

    // Stores the document name and sets the caption from it.
    virtual void SetDocumentName(const QString &fileName) = 0;
    // The save question before the pane is discarded. Throws EAbort when the user cancels.
    virtual void AskSaveChanges(TPane pane) = 0;
    // Throws, naming the file, when a save of a pane must not write it: the table of cases the
    // information pane shows a row of.
    virtual void RefuseWriting(const QString &fileName) const = 0;

    // The information file and the template chosen for the merge, and its overwrite mode.
    virtual const QString &InformationFile() const = 0;
    virtual void SetInformationFile(const QString &fileName) = 0;
    virtual const QString &TemplateFile() const = 0;
    virtual void SetTemplateFile(const QString &fileName) = 0;
    virtual bool MergeOverwrites() const = 0;

    // The recently used information files and templates.
    virtual TMRUFileList &RecentInformationFiles() const = 0;
    virtual TMRUFileList &RecentTemplates() const = 0;
    virtual TOpenPreviewDialog &OpenDialog() const = 0;
    virtual QFileDialog &SaveFileDialog() const = 0;
    // The balloon that shows a placeholder's heading.
    virtual TBalloon &HeadingBalloon() const = 0;
    // The panel that counts a merge's steps, and the progress bar.
    virtual QLabel &MergePanel() const = 0;
    virtual QProgressBar &MergeProgress() const = 0;

protected:
    TMainFormHost() = default;
    ~TMainFormHost() = default;
    TMainFormHost(const TMainFormHost &) = delete;
    TMainFormHost &operator=(const TMainFormHost &) = delete;
};
