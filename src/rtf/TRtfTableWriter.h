#pragma once

#include <QByteArray>
#include <QTextTable>

#include <functional>
#include <vector>

class QColor;

// The rich text of a table's structure: which cells make up a row and the row definition
// (\trowd ... \cellx) that states them, with the cells' borders, shading and merges.
class TRtfTableWriter
{
public:
    // A cell of a row as rich text sees it: a cell of its own, or the place of a cell that a
    // cell of a row above covers (merged downwards). Cells that only fill the grid right of a
    // shorter row are not part of it.
    struct TSlot
    {
        QTextTableCell Cell;
        int First = 0; // grid column
        int Span = 1;
        bool Covered = false;
    };

    static std::vector<TSlot> Slots(const QTextTable &table, int row);
    // The width of each grid column in twips, as the row definitions state them: the fixed
    // width the table gives it, or an inch.
    static std::vector<int> ColumnWidths(const QTextTable &table);
    // \trowd with the row's properties and one \cellx per slot. colorIndex gives the number of
    // a colour in the colour table.
    static QByteArray RowDefinition(const QTextTable &table, int row,
                                    const std::function<int(const QColor &)> &colorIndex);
};
