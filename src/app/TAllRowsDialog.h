#pragma once

#include "app/TMergedLetterWriter.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;

// Asks where "Do It for All Rows" writes the letters of a table's rows, and in which format.
class TAllRowsDialog : public QDialog
{
    Q_OBJECT

public:
    // Starts with the folder and format chosen last.
    TAllRowsDialog(QWidget *parent, const QString &folder, TMergedLetterWriter::TFormat format);

    QString Folder() const;
    TMergedLetterWriter::TFormat Format() const;

private:
    void Browse();

    QLineEdit *FFolder = nullptr;
    QComboBox *FFormat = nullptr;
    QPushButton *FOk = nullptr;
};
