#pragma once

#include <QByteArray>
#include <QFont>

class QWidget;
class TRichEditEx;

// "Insert Table": asks for the number of rows and columns and puts an empty table with thin
// borders, as wide as the text area, at the pane's selection. The table goes in as rich text,
// so that it is built, saved, printed and merged exactly as a table read from a file.
class TInsertTable
{
public:
    // Runs the dialog (through the dialog seam); false when the user cancelled. The table is
    // no wider than the page's text, given in twips (0: not known), and the caret ends in its
    // first cell.
    static bool Run(QWidget *parent, TRichEditEx &pane, int pageTextTwips);

    // The rich text of an empty table of rows x columns, each column width/columns twips wide,
    // its cells in the font.
    static QByteArray TableRtf(int rows, int columns, int widthTwips, const QFont &font);

    static constexpr int MaxRows = 100;
    static constexpr int MaxColumns = 20;
};
