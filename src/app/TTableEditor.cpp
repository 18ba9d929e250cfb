#include "app/TTableEditor.h"

#include "rtf/TRtfFormatProperties.h"
#include "rtf/TRtfTableBuilder.h"
#include "rtf/TRtfTableWriter.h"

#include <QPointer>
#include <QTextCursor>
#include <QTextTable>

#include <algorithm>
#include <numeric>
#include <vector>

namespace {

using namespace TRtfFormatProperties;

// A rectangle of grid places.
struct TArea
{
    int Row = 0;
    int Rows = 0;
    int Column = 0;
    int Columns = 0;

    int EndRow() const { return Row + Rows; }
    int EndColumn() const { return Column + Columns; }
};

TArea CellArea(const QTextTableCell &cell)
{
    return {cell.row(), cell.rowSpan(), cell.column(), cell.columnSpan()};
}

// The selected cells, or the cell at the caret when the selection stays within one cell.
TArea Selected(const QTextCursor &cursor, const QTextTable &table)
{
    TArea area;
    cursor.selectedTableCells(&area.Row, &area.Rows, &area.Column, &area.Columns);
    if (area.Row < 0 || area.Rows < 1 || area.Columns < 1)
        return CellArea(table.cellAt(cursor));
    return area;
}

// The area grown until no merged cell crosses its edges.
TArea Covering(const QTextTable &table, TArea area)
{
    for (bool grown = true; grown;) {
        grown = false;
        for (int row = area.Row; row < area.EndRow() && !grown; ++row) {
            for (int column = area.Column; column < area.EndColumn() && !grown; ++column) {
                const TArea cell = CellArea(table.cellAt(row, column));
                const TArea both{std::min(area.Row, cell.Row),
                                 std::max(area.EndRow(), cell.EndRow()) -
                                     std::min(area.Row, cell.Row),
                                 std::min(area.Column, cell.Column),
                                 std::max(area.EndColumn(), cell.EndColumn()) -
                                     std::min(area.Column, cell.Column)};
                grown = both.Row != area.Row || both.Rows != area.Rows ||
                        both.Column != area.Column || both.Columns != area.Columns;
                area = both;
            }
        }
    }
    return area;
}

bool IsTopLeft(const QTextTableCell &cell, int row, int column)
{
    return cell.isValid() && cell.row() == row && cell.column() == column;
}

// Column widths in twips that add up to total, in the proportions of widths.
void SetColumnWidths(QTextTable &table, const std::vector<int> &widths, int total)
{
    const long long sum = std::accumulate(widths.begin(), widths.end(), 0LL);
    QList<QTextLength> lengths;
    long long before = 0;
    int left = 0;
    for (const int width : widths) {
        before += width;
        // Boundaries rounded, not widths, so that the last column ends at the total.
        const int right = std::max(left + 1, int((before * total + sum / 2) / std::max(1LL, sum)));
        lengths.append(QTextLength(QTextLength::FixedLength, TwipsToPixels(right - left)));
        left = right;
    }
    QTextTableFormat format = table.format();
    format.setColumnWidthConstraints(lengths);
    table.setFormat(format);
}

int Total(const std::vector<int> &widths)
{
    return std::accumulate(widths.begin(), widths.end(), 0);
}

// Merges the places [column, column + span) of a row into one cell, when they are single
// cells of that row.
void MergeAcross(QTextTable &table, int row, int column, int span)
{
    for (int c = column; c < column + span; ++c) {
        const QTextTableCell cell = table.cellAt(row, c);
        if (!IsTopLeft(cell, row, c) || cell.rowSpan() != 1 || cell.columnSpan() != 1)
            return;
    }
    table.mergeCells(row, column, 1, span);
}

void MergeDown(QTextTable &table, int row, int column, int span)
{
    for (int r = row; r < row + span; ++r) {
        const QTextTableCell cell = table.cellAt(r, column);
        if (!IsTopLeft(cell, r, column) || cell.rowSpan() != 1 || cell.columnSpan() != 1)
            return;
    }
    table.mergeCells(row, column, span, 1);
}

// After a merge the cell's right and bottom edges are those of the cells that were there.
void KeepOuterEdges(QTextTable &table, const TArea &area, const QTextTableCellFormat &right,
                    const QTextTableCellFormat &bottom)
{
    QTextTableCell merged = table.cellAt(area.Row, area.Column);
    QTextTableCellFormat format = merged.format().toTableCellFormat();
    format.setRightBorder(right.rightBorder());
    format.setRightBorderStyle(right.rightBorderStyle());
    format.setRightBorderBrush(right.rightBorderBrush());
    format.setBottomBorder(bottom.bottomBorder());
    format.setBottomBorderStyle(bottom.bottomBorderStyle());
    format.setBottomBorderBrush(bottom.bottomBorderBrush());
    format.clearProperty(TableFiller);
    merged.setFormat(format);
}

} // namespace

bool TTableEditor::InTable(const QTextCursor &cursor)
{
    return cursor.currentTable() != nullptr;
}

bool TTableEditor::CanMerge(const QTextCursor &cursor)
{
    const QTextTable *table = cursor.currentTable();
    if (!table)
        return false;
    const TArea area = Covering(*table, Selected(cursor, *table));
    const TArea first = CellArea(table->cellAt(area.Row, area.Column));
    return area.Rows != first.Rows || area.Columns != first.Columns;
}

bool TTableEditor::CanSplit(const QTextCursor &cursor)
{
    const QTextTable *table = cursor.currentTable();
    if (!table)
        return false;
    const QTextTableCell cell = table->cellAt(cursor);
    return cell.rowSpan() > 1 || cell.columnSpan() > 1;
}

bool TTableEditor::CanInsertColumn(const QTextCursor &cursor)
{
    const QTextTable *table = cursor.currentTable();
    return table && table->columns() < TRtfTableBuilder::MaxColumns;
}

bool TTableEditor::InsertRow(QTextCursor &cursor, TSide side)
{
    QTextTable *table = cursor.currentTable();
    if (!table)
        return false;
    const TArea at = CellArea(table->cellAt(cursor));
    const int row = side == TSide::Before ? at.Row : at.EndRow();
    cursor.beginEditBlock();
    table->insertRows(row, 1);
    // The row beside the new one, in its place after the insertion.
    const int model = side == TSide::Before ? row + 1 : row - 1;
    for (int column = 0; column < table->columns(); ++column) {
        QTextTableCell cell = table->cellAt(row, column);
        if (IsTopLeft(cell, row, column))
            TRtfTableBuilder::FormatLike(*table, cell, table->cellAt(model, column));
    }
    for (const TRtfTableWriter::TSlot &slot : TRtfTableWriter::Slots(*table, model))
        if (slot.Span > 1)
            MergeAcross(*table, row, slot.First, slot.Span);
    cursor.endEditBlock();
    cursor = table->cellAt(row, at.Column).firstCursorPosition();
    return true;
}

bool TTableEditor::InsertColumn(QTextCursor &cursor, TSide side)
{
    QTextTable *table = cursor.currentTable();
    if (!table || !CanInsertColumn(cursor))
        return false;
    const TArea at = CellArea(table->cellAt(cursor));
    const int column = side == TSide::Before ? at.Column : at.EndColumn();
    const int model = side == TSide::Before ? at.Column : at.EndColumn() - 1;
    std::vector<int> widths = TRtfTableWriter::ColumnWidths(*table);
    const int total = Total(widths);
    widths.insert(widths.begin() + column, widths[static_cast<size_t>(model)]);
    cursor.beginEditBlock();
    if (column == table->columns())
        TRtfTableBuilder::AppendColumns(*table, 1);
    else
        table->insertColumns(column, 1);
    SetColumnWidths(*table, widths, total);
    const int modelAfter = model < column ? model : model + 1;
    for (int row = 0; row < table->rows(); ++row) {
        QTextTableCell cell = table->cellAt(row, column);
        if (IsTopLeft(cell, row, column))
            TRtfTableBuilder::FormatLike(*table, cell, table->cellAt(row, modelAfter));
    }
    for (int row = 0; row < table->rows(); ++row) {
        const QTextTableCell beside = table->cellAt(row, modelAfter);
        if (beside.row() == row && beside.rowSpan() > 1)
            MergeDown(*table, row, column, beside.rowSpan());
    }
    cursor.endEditBlock();
    cursor = table->cellAt(at.Row, column).firstCursorPosition();
    return true;
}

bool TTableEditor::DeleteRows(QTextCursor &cursor)
{
    QPointer<QTextTable> table = cursor.currentTable();
    if (!table)
        return false;
    const TArea area = Selected(cursor, *table);
    const int column = table->cellAt(cursor).column();
    cursor.beginEditBlock();
    TRtfTableBuilder::RemoveRows(*table, area.Row, area.Rows);
    cursor.endEditBlock();
    // The table may be gone with its last row; the cursor then stands where it was.
    if (table && table->rows() > 0)
        cursor = table->cellAt(std::min(area.Row, table->rows() - 1), column).firstCursorPosition();
    else
        cursor.clearSelection();
    return true;
}

bool TTableEditor::DeleteColumns(QTextCursor &cursor)
{
    QPointer<QTextTable> table = cursor.currentTable();
    if (!table)
        return false;
    const TArea area = Selected(cursor, *table);
    const int row = table->cellAt(cursor).row();
    std::vector<int> widths = TRtfTableWriter::ColumnWidths(*table);
    const int total = Total(widths);
    const bool all = area.Column == 0 && area.Columns >= table->columns();
    cursor.beginEditBlock();
    TRtfTableBuilder::RemoveColumns(*table, area.Column, area.Columns);
    if (!all && table) {
        widths.erase(widths.begin() + area.Column, widths.begin() + area.EndColumn());
        SetColumnWidths(*table, widths, total);
    }
    cursor.endEditBlock();
    if (table && table->columns() > 0)
        cursor =
            table->cellAt(row, std::min(area.Column, table->columns() - 1)).firstCursorPosition();
    else
        cursor.clearSelection();
    return true;
}

bool TTableEditor::MergeCells(QTextCursor &cursor)
{
    QTextTable *table = cursor.currentTable();
    if (!table || !CanMerge(cursor))
        return false;
    const TArea area = Covering(*table, Selected(cursor, *table));
    const QTextTableCellFormat right =
        table->cellAt(area.Row, area.EndColumn() - 1).format().toTableCellFormat();
    const QTextTableCellFormat bottom =
        table->cellAt(area.EndRow() - 1, area.Column).format().toTableCellFormat();
    cursor.beginEditBlock();
    table->mergeCells(area.Row, area.Column, area.Rows, area.Columns);
    KeepOuterEdges(*table, area, right, bottom);
    cursor.endEditBlock();
    cursor = table->cellAt(area.Row, area.Column).firstCursorPosition();
    return true;
}

bool TTableEditor::SplitCell(QTextCursor &cursor)
{
    QTextTable *table = cursor.currentTable();
    if (!table || !CanSplit(cursor))
        return false;
    const TArea area = CellArea(table->cellAt(cursor));
    cursor.beginEditBlock();
    table->splitCell(area.Row, area.Column, 1, 1);
    const QTextTableCell first = table->cellAt(area.Row, area.Column);
    for (int row = area.Row; row < area.EndRow(); ++row) {
        for (int column = area.Column; column < area.EndColumn(); ++column) {
            QTextTableCell cell = table->cellAt(row, column);
            if (row != area.Row || column != area.Column)
                TRtfTableBuilder::FormatLike(*table, cell, first);
        }
    }
    cursor.endEditBlock();
    cursor = table->cellAt(area.Row, area.Column).firstCursorPosition();
    return true;
}
