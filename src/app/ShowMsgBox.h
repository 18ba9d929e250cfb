#pragma once

#include <QChar>
#include <QString>

// The program's own message box. A ";" in the message starts a new line; the buttons string
// holds space-separated captions with "&" before the accelerator ("&OK &Cancel"), empty
// meaning one "&OK" button. The icon letter is one of "!", "?", "A", "H", "I" (any case);
// any other letter, or none (QChar()), shows no icon. An empty caption gives a box without a
// title bar. Returns the accelerator letter of the pressed button in upper case ("O", "C",
// "Y", ...), or QChar() if the box was ended without a button (only a test can do that).
// The box is run through TDialogSeam::Exec; its buttons are named "button1", "button2", ...
QChar ShowMsgBox(const QString &Caption, QChar Icon, const QString &Message,
                 const QString &Buttons = QString());

// The same box in input mode: an edit line pre-filled with Text above the buttons "&OK" and
// "&Cancel"; Enter presses OK. Text receives the edited text when OK is pressed.
QChar ShowInputBox(const QString &Caption, QChar Icon, const QString &Message, QString &Text);
