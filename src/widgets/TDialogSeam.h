#pragma once

#include <functional>

class QDialog;

// Every modal question the program puts to the user (message boxes, file, print, page set-up,
// font and colour dialogs) is run through Exec, so that a test can answer it in place of a user.
class TDialogSeam
{
public:
    // Receives the fully prepared dialog and returns what QDialog::exec would have returned.
    using Handler = std::function<int(QDialog &)>;

    static int Exec(QDialog &dialog);

    // An empty handler restores the real, interactive dialogs.
    static void SetHandler(Handler handler);
    static bool HasHandler();
};
