#pragma once

#include <QByteArray>

class QWidget;
class TRichEditEx;

// "Insert Table": asks for the number of rows and columns and puts an empty table with thin
// borders, as wide as the text area, at the pane's selection. The table goes in as rich text,
// so that it is built, saved, printed and merged exactly as a table read from a file.
class TInsertTable
{
public:
    // Runs the dialog (through the dialog seam); false when the user cancelled.
    static bool Run(QWidget *parent, TRichEditEx &pane);

    // The rich text of an empty table of rows x columns, each column width/columns twips wide.
    static QByteArray TableRtf(int rows, int columns, int widthTwips);

    static constexpr int MaxRows = 100;
    static constexpr int MaxColumns = 20;
};
