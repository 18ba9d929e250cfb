#pragma once

#include <QMessageBox>
#include <QString>

class QWidget;

// A confirmation box with the buttons Yes, No and Cancel, run through the dialog seam. Closing
// the box without a button counts as Cancel. The buttons are named "Yes", "No" and "Cancel".
QMessageBox::StandardButton AskYesNoCancel(QWidget *parent, const QString &text);
