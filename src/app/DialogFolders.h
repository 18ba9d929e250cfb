#pragma once

#include <QString>

// The folder the open and save dialogs of the main window start in: the folder of the file
// chosen last in either of them, kept in the settings store across runs, or the user's
// documents folder the first time. Never the program's own folder: on an installed system that
// holds programs, not the user's files.
namespace DialogFolders {

// The folder to start in; a remembered folder that has gone gives way to the documents folder
// (the home folder when that is missing too).
QString StartFolder();
// Remembers the folder of a file the user chose in one of the dialogs.
void Remember(const QString &chosenFile);

} // namespace DialogFolders
