#pragma once

#include <QStringList>

class TMainForm;

// Opens the files named on the command line (or handed over by the desktop) as the menu
// commands open them: an information file (.inf) as "Edit/Select Information File" does, a
// template (.tem) as "Edit/Select Template File" does, any other file as "Open" does, so that
// the caption and the recently used lists come out the same. Of several files for one pane the
// last wins; the files are opened in the order given, so the pane of the last one is shown. A
// file that is missing, a folder or unreadable is named in one message box and left out; the
// other files still open.
void OpenStartupFiles(TMainForm &form, const QStringList &fileNames);
