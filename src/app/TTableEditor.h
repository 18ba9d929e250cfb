#pragma once

class QTextCursor;

// Rows, columns and cells of the table at a cursor: insert, delete, merge and split, each one
// undo step. New cells look like the cells beside them. The table keeps its width: a column
// added or removed takes its width from the others, or gives it to them, in proportion. What
// these make reads back from rich text as it was made, so the table is never given more
// columns than a reader takes back.
//
// Each operation works on the table at the cursor's position, on the cells its selection
// covers or else on the cell at the caret, and returns false, changing nothing, when it does
// not apply. Afterwards the cursor stands where typing goes on: in the new row or column, the
// merged or split cell, or the cell after the deleted ones.
class TTableEditor
{
public:
    enum class TSide { Before, After };

    static bool InTable(const QTextCursor &cursor);
    // The selection covers more than one cell.
    static bool CanMerge(const QTextCursor &cursor);
    // The cell at the caret spans several rows or columns.
    static bool CanSplit(const QTextCursor &cursor);
    static bool CanInsertColumn(const QTextCursor &cursor);

    // A row above (Before) or below (After) the rows of the caret's cell, shaped like the
    // row beside it, merged cells included.
    static bool InsertRow(QTextCursor &cursor, TSide side);
    // A column left (Before) or right (After) of the caret's cell.
    static bool InsertColumn(QTextCursor &cursor, TSide side);
    // The rows, or the columns, of the selected cells; all of them delete the table.
    static bool DeleteRows(QTextCursor &cursor);
    static bool DeleteColumns(QTextCursor &cursor);
    // The selected cells, grown to take in whole any merged cell they cut, become one cell
    // with the content of them all.
    static bool MergeCells(QTextCursor &cursor);
    // A merged cell becomes single cells again; its content stays in the first.
    static bool SplitCell(QTextCursor &cursor);
};
