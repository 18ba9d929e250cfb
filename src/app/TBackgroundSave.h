#pragma once

#include <QString>

#include <functional>

class QWidget;
class TRichEditEx;

// Saves a pane as rich text the way its lines save it (TRichEditStringsEx::SaveFile), with the
// rich text made and written on a worker thread, as the recovery copy is. The calling thread
// only takes a snapshot of the document and then waits in an event loop, so that the window
// keeps repainting; a progress dialog, modal to the window, and the pane itself refuse edits
// until the save has ended. The file is written as SaveFile writes it: whole
// through a temporary file, or not at all, with the same errors.
//
//   if (TBackgroundSave::Suits(pane, format))
//       TBackgroundSave::Save(pane, fileName, window); // returns when the file is written
class TBackgroundSave
{
public:
    // Documents below this many characters are saved at once: they take too little time for a
    // progress dialog to be more than a flicker.
    static constexpr int KMinimumCharacters = 200000;

    // Whether a save of the pane to the file can go to a worker: rich text of the whole
    // document, with no conversion of its own for the extension, and a document large enough.
    static bool Suits(const TRichEditEx &pane, const QString &fileName);
    // Writes the pane to the file; returns when it is written. Throws what SaveFile throws
    // (EFileStreamError with the file's name and the system's reason).
    static void Save(TRichEditEx &pane, const QString &fileName, QWidget *window);

    // For tests: runs on the worker before it makes the rich text, so that a test can look at
    // the window while a save is under way. Empty: none.
    static void SetWorkerHook(std::function<void()> hook);
};
