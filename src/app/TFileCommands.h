#pragma once

#include "app/TPaneRules.h"

#include <QString>

class TMainFormHost;

// New, Open, Save and Save As of the main window. Save and Save As take the pane to save and
// report whether it was saved, so that the save question can stop a command whose save the user
// cancelled. Every save goes through a temporary file that replaces the target only when it is
// complete.
class TFileCommands
{
public:
    explicit TFileCommands(TMainFormHost &form);

    void FileNew();
    void FileOpen();
    // The part of Open after the dialog: loads the file into the document pane, names the
    // document after it and shows the pane, read-only as asked.
    void OpenDocument(const QString &fileName, bool readOnly);
    // Saves the pane known by this name: "Untitled" goes through Save As; any other name asks
    // for the file in the save dialog, offering the name when it is a file. The file written
    // becomes the pane's name.
    bool Save(TPane pane, const QString &name);
    // Asks for a file name and saves the pane there as its extension says: rich text, plain
    // text, or HTML converted from rich text. The file written becomes the pane's name. A name
    // with an extension it does not write saves nothing, and says so. An existing file is
    // replaced only after the user agreed (the program's question only).
    bool SaveAs(TPane pane, const QString &name);

    // Runs the save dialog, offering the name when it is a file; an empty name when the user
    // cancels.
    QString RunSaveDialog(const QString &name = QString());
    // Runs the open dialog; an empty name when the user cancels.
    QString RunOpenDialog();
    // Writes the pane to the file, as plain text for a .TXT or .INF name and as rich text
    // otherwise, and clears its modified flag. A read-only file is refused (EFileStreamError).
    void SavePaneToFile(TPane pane, const QString &fileName);

private:
    // After a save the pane is known by the file written: in the caption when it is the pane
    // shown, in the save question, in recovery and, for an information file or a template, in
    // its recently used list.
    void AdoptSavedName(TPane pane, const QString &fileName);
    // Writes the pane as an HTML page, converted from its rich text.
    void SaveAsHtml(TPane pane, const QString &fileName);

    TMainFormHost &FForm;
};
