#include "richedit/TTableNavigation.h"

#include "rtf/TRtfFormatProperties.h"
#include "rtf/TRtfTableBuilder.h"
#include "rtf/TRtfTableWriter.h"

#include <QTextCursor>
#include <QTextTable>

namespace {

// A cell of the row that the caret may go to: one of its own, not one that only fills the
// grid right of a short row.
bool IsStop(const QTextTableCell &cell, int row, int column)
{
    if (!cell.isValid() || cell.row() != row || cell.column() != column)
        return false;
    const bool empty =
        cell.firstCursorPosition().position() == cell.lastCursorPosition().position();
    return !(empty && cell.format().boolProperty(TRtfFormatProperties::TableFiller));
}

QTextTableCell Step(const QTextTable &table, const QTextTableCell &from, bool forward)
{
    int row = from.row();
    int column = from.column();
    for (;;) {
        if (forward) {
            column += table.cellAt(row, column).columnSpan();
            if (column >= table.columns()) {
                column = 0;
                if (++row >= table.rows())
                    return QTextTableCell();
            }
        } else if (--column < 0) {
            if (--row < 0)
                return QTextTableCell();
            column = table.columns() - 1;
        }
        const QTextTableCell cell = table.cellAt(row, column);
        if (!forward && cell.isValid())
            column = cell.column(); // the start of a cell that spans several columns
        if (IsStop(cell, row, column))
            return cell;
    }
}

// A new last row with the cells of the row above: their spans, formats and paragraph formats.
QTextTableCell AddRow(QTextTable &table)
{
    const int above = table.rows() - 1;
    const std::vector<TRtfTableWriter::TSlot> cells = TRtfTableWriter::Slots(table, above);
    table.appendRows(1);
    const int row = above + 1;
    int end = 0;
    for (const TRtfTableWriter::TSlot &slot : cells) {
        if (slot.Span > 1)
            table.mergeCells(row, slot.First, 1, slot.Span);
        QTextTableCell cell = table.cellAt(row, slot.First);
        TRtfTableBuilder::FormatLike(table, cell, slot.Cell);
        end = slot.First + slot.Span;
    }
    for (int column = end; column < table.columns(); ++column) {
        QTextTableCell cell = table.cellAt(row, column);
        QTextCharFormat format = cell.format();
        format.setProperty(TRtfFormatProperties::TableFiller, true);
        cell.setFormat(format);
    }
    return cells.empty() ? table.cellAt(row, 0) : table.cellAt(row, cells.front().First);
}

} // namespace

TTableNavigation::TMove TTableNavigation::Move(QTextCursor &cursor, bool forward, bool mayAddRow)
{
    QTextTable *table = cursor.currentTable();
    if (!table)
        return TMove::NotInTable;
    const QTextTableCell current = table->cellAt(cursor);
    QTextTableCell next = Step(*table, current, forward);
    TMove result = TMove::Moved;
    if (!next.isValid()) {
        if (!forward || !mayAddRow) {
            cursor.clearSelection();
            return TMove::Stayed;
        }
        cursor.beginEditBlock();
        next = AddRow(*table);
        cursor.endEditBlock();
        result = TMove::AddedRow;
    }
    cursor = next.firstCursorPosition();
    return result;
}
