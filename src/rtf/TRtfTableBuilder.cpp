#include "rtf/TRtfTableBuilder.h"

#include "rtf/RtfTableGeometry.h"
#include "rtf/TRtfFormatProperties.h"

#include <QTextCursor>
#include <QTextTable>

#include <algorithm>

namespace {

using namespace TRtfFormatProperties;

using RtfTableGeometry::DefaultCellWidth;
using RtfTableGeometry::NarrowestCell;
using RtfTableGeometry::RightOf;

bool IsFiller(const QTextTableCell &cell)
{
    return cell.format().boolProperty(TableFiller);
}

bool IsTopLeft(const QTextTableCell &cell, int row, int column)
{
    return cell.isValid() && cell.row() == row && cell.column() == column;
}

// A filler of one grid place that nothing was put into.
bool IsEmptyFiller(const QTextTableCell &cell, int row, int column)
{
    return IsTopLeft(cell, row, column) && cell.rowSpan() == 1 && cell.columnSpan() == 1 &&
           IsFiller(cell) && cell.firstPosition() == cell.lastPosition();
}

// Makes the fillers at the end of each row of a finished table one cell.
void MergeFillers(QTextTable &grid)
{
    // A row's empty end is laid out anew on loading a saved table, by the boundaries that
    // the saved cells state, which need not be the ones it was cut by here: as one cell it
    // loads the same either way.
    const int columns = grid.columns();
    for (int row = 0; row < grid.rows(); ++row) {
        int first = columns;
        while (first > 0 && IsEmptyFiller(grid.cellAt(row, first - 1), row, first - 1))
            --first;
        if (columns - first > 1)
            grid.mergeCells(row, first, 1, columns - first);
    }
}

void SetBorder(QTextTableCellFormat &format, TRtfCellDefinition::TEdge edge,
               const TRtfBorder &border)
{
    if (!border.IsSet())
        return;
    const qreal width = TwipsToPixels(std::max(1, border.Width));
    const QBrush brush(border.Color.isValid() ? border.Color : QColor(Qt::black));
    switch (edge) {
    case TRtfCellDefinition::EdgeTop:
        format.setTopBorder(width);
        format.setTopBorderStyle(border.Style);
        format.setTopBorderBrush(brush);
        break;
    case TRtfCellDefinition::EdgeLeft:
        format.setLeftBorder(width);
        format.setLeftBorderStyle(border.Style);
        format.setLeftBorderBrush(brush);
        break;
    case TRtfCellDefinition::EdgeBottom:
        format.setBottomBorder(width);
        format.setBottomBorderStyle(border.Style);
        format.setBottomBorderBrush(brush);
        break;
    case TRtfCellDefinition::EdgeRight:
        format.setRightBorder(width);
        format.setRightBorderStyle(border.Style);
        format.setRightBorderBrush(brush);
        break;
    }
}

// Splits the merged cells that lie wholly within rows [row, row + rows) and columns
// [column, column + columns).
void SplitCellsWithin(QTextTable &table, int row, int rows, int column, int columns)
{
    for (int r = row; r < row + rows; ++r) {
        for (int c = column; c < column + columns; ++c) {
            const QTextTableCell cell = table.cellAt(r, c);
            const bool merged = cell.rowSpan() > 1 || cell.columnSpan() > 1;
            if (merged && IsTopLeft(cell, r, c) && r + cell.rowSpan() <= row + rows &&
                c + cell.columnSpan() <= column + columns)
                table.splitCell(r, c, 1, 1);
        }
    }
}

} // namespace

void TRtfTableBuilder::AppendColumns(QTextTable &table, int count)
{
    struct Whole
    {
        int Row;
        int Rows;
    };
    std::vector<Whole> split;
    const int columns = table.columns();
    for (int row = 0; row < table.rows(); ++row) {
        const QTextTableCell cell = table.cellAt(row, 0);
        if (IsTopLeft(cell, row, 0) && cell.columnSpan() == columns && cell.rowSpan() > 1) {
            split.push_back({row, cell.rowSpan()});
            table.splitCell(row, 0, 1, columns);
        }
    }
    table.appendColumns(count);
    for (const Whole &cell : split)
        table.mergeCells(cell.Row, 0, cell.Rows, columns);
}

void TRtfTableBuilder::RemoveRows(QTextTable &table, int row, int count)
{
    if (row > 0 || count < table.rows())
        SplitCellsWithin(table, row, count, 0, table.columns());
    table.removeRows(row, count);
}

void TRtfTableBuilder::RemoveColumns(QTextTable &table, int column, int count)
{
    if (column > 0 || count < table.columns())
        SplitCellsWithin(table, 0, table.rows(), column, count);
    table.removeColumns(column, count);
}

void TRtfTableBuilder::SetCellFormat(QTextTableCell &cell, const QTextCharFormat &format)
{
    // The cell's format is also the character format of its first paragraph's mark: that
    // part stays, and so do the rows and columns the cell spans.
    static const int CellProperties[] = {QTextFormat::TableCellTopPadding,
                                         QTextFormat::TableCellBottomPadding,
                                         QTextFormat::TableCellLeftPadding,
                                         QTextFormat::TableCellRightPadding,
                                         QTextFormat::TableCellTopBorder,
                                         QTextFormat::TableCellBottomBorder,
                                         QTextFormat::TableCellLeftBorder,
                                         QTextFormat::TableCellRightBorder,
                                         QTextFormat::TableCellTopBorderStyle,
                                         QTextFormat::TableCellBottomBorderStyle,
                                         QTextFormat::TableCellLeftBorderStyle,
                                         QTextFormat::TableCellRightBorderStyle,
                                         QTextFormat::TableCellTopBorderBrush,
                                         QTextFormat::TableCellBottomBorderBrush,
                                         QTextFormat::TableCellLeftBorderBrush,
                                         QTextFormat::TableCellRightBorderBrush,
                                         QTextFormat::BackgroundBrush,
                                         QTextFormat::TextVerticalAlignment,
                                         TableRowHeight,
                                         TableHeaderRow,
                                         TableFiller};
    QTextCharFormat merged = cell.format();
    for (const int property : CellProperties)
        merged.clearProperty(property);
    QTextCharFormat own = format;
    own.clearProperty(QTextFormat::TableCellRowSpan);
    own.clearProperty(QTextFormat::TableCellColumnSpan);
    merged.merge(own);
    cell.setFormat(merged);
}

void TRtfTableBuilder::SetBlockCharFormat(QTextCursor &cursor, const QTextTable *table,
                                          const QTextCharFormat &format)
{
    if (table) {
        const QTextTableCell cell = table->cellAt(cursor);
        if (cell.isValid() && cursor.block().position() == cell.firstPosition()) {
            QTextCharFormat merged = cell.format();
            merged.merge(format);
            // The cell's vertical alignment and the characters' raising share one property:
            // the cell's stays.
            const QVariant alignment = cell.format().property(QTextFormat::TextVerticalAlignment);
            if (alignment.isValid())
                merged.setProperty(QTextFormat::TextVerticalAlignment, alignment);
            // Text typed into a merged cell carries its spans; this cell keeps its own.
            for (const int span : {QTextFormat::TableCellRowSpan, QTextFormat::TableCellColumnSpan})
                merged.setProperty(span, cell.format().property(span));
            cursor.setBlockCharFormat(merged);
            return;
        }
    }
    cursor.setBlockCharFormat(format);
}

void TRtfTableBuilder::FormatLike(const QTextTable &table, QTextTableCell &cell,
                                  const QTextTableCell &model)
{
    QTextCharFormat format = model.format();
    format.clearProperty(TableFiller);
    SetCellFormat(cell, format);
    const QTextCursor end = model.lastCursorPosition();
    QTextCursor target = cell.firstCursorPosition();
    target.setBlockFormat(end.blockFormat());
    SetBlockCharFormat(target, &table, end.charFormat());
}

void TRtfTableBuilder::SetBlockCharFormat(const QTextCharFormat &format)
{
    SetBlockCharFormat(FCursor, FOpen.empty() ? nullptr : FOpen.back().Table, format);
}

TRtfTableBuilder::TRtfTableBuilder(QTextCursor &cursor) : FCursor(cursor), FDefinitions(MaxDepth)
{
    FOpen.reserve(MaxDepth); // levels are referred to while deeper ones open
}

TRtfTableBuilder::~TRtfTableBuilder()
{
    // A reading cut short leaves no rows that were never read.
    for (Level &table : FOpen)
        RemoveSpareRows(table);
}

TRtfRowDefinition &TRtfTableBuilder::Definition(int level)
{
    return FDefinitions[static_cast<size_t>(std::clamp(level, 1, MaxDepth) - 1)];
}

bool TRtfTableBuilder::Leave(int depth)
{
    const bool closing = Depth() > depth;
    while (Depth() > std::max(0, depth))
        Close();
    return closing;
}

bool TRtfTableBuilder::OpensHere(int depth) const
{
    if (std::min(depth, MaxDepth) <= Depth())
        return false;
    for (const Level &table : FOpen) {
        if (!table.RowOpen || !table.CellEntered)
            return false;
    }
    return true;
}

bool TRtfTableBuilder::Enter(int depth, const QTextCharFormat &cellFormat)
{
    depth = std::clamp(depth, 0, MaxDepth);
    FCellFormat = cellFormat;
    bool changed = false;
    for (int level = 1; level <= depth; ++level) {
        if (Depth() < level) {
            if (InCoveredCell())
                UseCoveredCell(QTextBlockFormat(), FCellFormat);
            Open(level);
            changed = true;
            continue;
        }
        Level &table = FOpen[static_cast<size_t>(level - 1)];
        if (table.RowOpen && table.CellEntered)
            continue;
        while (Depth() > level)
            Close();
        if (!table.RowOpen)
            BeginRow(table, level);
        EnterCell(table);
        changed = true;
    }
    return changed;
}

bool TRtfTableBuilder::InCoveredCell() const
{
    return !FOpen.empty() && FOpen.back().Covered && !FOpen.back().CoveredUsed;
}

void TRtfTableBuilder::UseCoveredCell(const QTextBlockFormat &blockFormat,
                                      const QTextCharFormat &charFormat)
{
    if (!InCoveredCell())
        return;
    FCursor.insertBlock(blockFormat, charFormat);
    FOpen.back().CoveredUsed = true;
}

void TRtfTableBuilder::EndCell(int level)
{
    if (level < 1 || level > Depth())
        return;
    while (Depth() > level)
        Close();
    Level &table = FOpen.back();
    ++table.Cell;
    table.CellEntered = false;
    table.Covered = false;
}

void TRtfTableBuilder::EndRow(int level)
{
    if (level < 1 || level > Depth())
        return;
    while (Depth() > level)
        Close();
    Level &table = FOpen.back();
    if (!table.RowOpen)
        return;
    if (table.Nested >= 0) {
        const size_t nested = static_cast<size_t>(table.Nested);
        if (FNestedRows.size() <= nested)
            FNestedRows.resize(nested + 1);
        TRtfRowDefinition &kept = FNestedRows[nested];
        kept = Definition(level);
        // A cell past the grid's last column lays out as any other past it: one is enough,
        // and a file of many rows keeps a small copy of each.
        const size_t enough = static_cast<size_t>(MaxColumns) + 1;
        if (kept.Cells.size() > enough)
            kept.Cells.resize(enough);
    }
    // Nested rows state their definition after their cells.
    if (table.Guessed && table.Row == 0) {
        RegridFirstRow(table, Definition(level));
        table.Last = Definition(level).Cells.empty() ? LaidOut(table) : Definition(level);
    }
    table.RowOpen = false;
    table.CellEntered = false;
    table.Covered = false;
}

void TRtfTableBuilder::UseNestedRows(std::vector<TRtfRowDefinition> rows)
{
    FKnownRows = std::move(rows);
}

TRtfRowDefinition TRtfTableBuilder::BeginNested(Level &table)
{
    table.Nested = FNestedBegun++;
    const size_t nested = static_cast<size_t>(table.Nested);
    return nested < FKnownRows.size() ? FKnownRows[nested] : TRtfRowDefinition();
}

void TRtfTableBuilder::Open(int level)
{
    // Nested rows state their definition after their cells: unless a reading before gave it,
    // the first is laid out by its own at its end, the others as the one before.
    Level table;
    const TRtfRowDefinition definition = level == 1 ? Definition(level) : BeginNested(table);
    const int left = definition.Left;
    const int right = definition.Cells.empty() ? left + DefaultCellWidth
                                               : RightOf(definition.Cells.front().Right, left);
    QTextTableFormat format;
    format.setBorderCollapse(true);
    format.setBorder(0);
    format.setCellSpacing(0);
    format.setCellPadding(0);
    format.setMargin(0);
    format.setLeftMargin(TwipsToPixels(left));
    format.setAlignment(definition.Alignment);
    format.setColumnWidthConstraints(
        {QTextLength(QTextLength::FixedLength, TwipsToPixels(right - left))});
    table.Table = FCursor.insertTable(1, 1, format);
    table.Bounds = {left, right};
    table.Row = 0;
    table.RowOpen = true;
    table.Guessed = definition.Cells.empty();
    table.Last = definition;
    FOpen.push_back(std::move(table));
    Level &added = FOpen.back();
    ClearNewCells(added, 0);
    LayRow(added, definition);
    EnterCell(added);
}

void TRtfTableBuilder::Close()
{
    Level &table = FOpen.back();
    RemoveSpareRows(table);
    MergeFillers(*table.Table);
    FCursor.setPosition(table.Table->lastPosition() + 1);
    // The next table of this level states its own rows.
    Definition(Depth()) = TRtfRowDefinition();
    FOpen.pop_back();
}

void TRtfTableBuilder::BeginRow(Level &table, int level)
{
    TRtfRowDefinition definition = level == 1 ? Definition(level) : BeginNested(table);
    if (level > 1 && definition.Cells.empty())
        definition = table.Last;
    NextRow(table);
    table.RowOpen = true;
    table.Cell = 0;
    table.CellEntered = false;
    table.Guessed = definition.Cells.empty();
    table.Last = definition;
    ClearNewCells(table, table.Row);
    LayRow(table, definition);
}

void TRtfTableBuilder::NextRow(Level &table)
{
    if (table.Spare == 0) {
        // As many rows as the table has, up to a bound: the grid is worked out again once for
        // so many rows, and a table holds at most that many rows it does not use.
        constexpr int MaxAhead = 1024;
        table.Spare = std::clamp(table.Row + 1, 1, MaxAhead);
        table.Table->appendRows(table.Spare);
    }
    --table.Spare;
    ++table.Row;
}

void TRtfTableBuilder::RemoveSpareRows(Level &table)
{
    if (table.Spare > 0)
        RemoveRows(*table.Table, table.Row + 1, table.Spare);
    table.Spare = 0;
}

void TRtfTableBuilder::EnterCell(Level &table)
{
    while (table.Cell >= static_cast<int>(table.Slots.size()))
        AddSlot(table);
    const Slot &slot = table.Slots[static_cast<size_t>(table.Cell)];
    const QTextTableCell cell = table.Table->cellAt(table.Row, slot.First);
    table.Covered = slot.Covered || !IsTopLeft(cell, table.Row, slot.First);
    table.CoveredUsed = false;
    FCursor = table.Covered ? cell.lastCursorPosition() : cell.firstCursorPosition();
    table.CellEntered = true;
}

void TRtfTableBuilder::LayRow(Level &table, const TRtfRowDefinition &definition)
{
    table.Gap = definition.PaddingLeft >= 0 ? definition.PaddingLeft : definition.Gap;
    table.Slots.clear();
    const std::vector<int> rights =
        RtfTableGeometry::Rights(definition.Cells, table.Bounds.front());
    for (const int right : rights)
        if (right >= 0)
            EnsureBoundary(table, right, table.Row);
    const int columns = table.Table->columns();
    int first = 0;
    for (size_t j = 0; j < rights.size(); ++j) {
        const int last = std::min(
            columns, std::max(first + 1, RtfTableGeometry::ColumnOf(table.Bounds, rights[j])));
        const bool continues =
            definition.Cells[j].Merge == TRtfCellDefinition::TMerge::ContinueHorizontal ||
            rights[j] < 0;
        if (!table.Slots.empty() && (continues || first >= columns)) {
            // Merged into the cell on its left, or no column is left for it.
            size_t k = table.Slots.size() - 1;
            while (k > 0 && table.Slots[k].Covered)
                --k;
            table.Slots[k].Last = std::max(table.Slots[k].Last, last);
            const Slot covered{table.Slots[k].First, table.Slots[k].Last, true};
            table.Slots.push_back(covered);
        } else {
            table.Slots.push_back({first, last, false});
        }
        first = std::max(first, last);
    }
    for (size_t j = 0; j < table.Slots.size(); ++j) {
        Slot &slot = table.Slots[j];
        if (slot.Covered)
            continue;
        if (slot.Last - slot.First > 1)
            table.Table->mergeCells(table.Row, slot.First, 1, slot.Last - slot.First);
        const TRtfCellDefinition &cell = definition.Cells[j];
        if (cell.Merge == TRtfCellDefinition::TMerge::ContinueVertical &&
            MergeAbove(table, slot, cell)) {
            slot.Covered = true;
            continue;
        }
        FormatCell(table, table.Row, slot.First, definition, cell);
    }
    MarkFillers(table, table.Row, first);
}

void TRtfTableBuilder::AddSlot(Level &table)
{
    const int first = table.Slots.empty() ? 0 : table.Slots.back().Last;
    // A cell beyond those its row states is a cell of its own, as long as the grid has room;
    // past that, content goes into the row's last cell.
    const bool room =
        table.Bounds.size() <= MaxColumns && table.Bounds.back() + NarrowestCell <= MaxCellBoundary;
    if (!table.Slots.empty() && first >= table.Table->columns() && !room) {
        size_t k = table.Slots.size() - 1;
        while (k > 0 && table.Slots[k].Covered)
            --k;
        Slot covered = table.Slots[k];
        covered.Covered = true;
        table.Slots.push_back(covered);
        return;
    }
    if (first >= table.Table->columns())
        EnsureBoundary(table, std::min(table.Bounds.back() + DefaultCellWidth, MaxCellBoundary),
                       table.Row);
    table.Slots.push_back({first, first + 1, false});
    TRtfRowDefinition definition;
    definition.Gap = table.Gap;
    FormatCell(table, table.Row, first, definition, TRtfCellDefinition());
}

void TRtfTableBuilder::FormatCell(Level &table, int row, int column,
                                  const TRtfRowDefinition &definition,
                                  const TRtfCellDefinition &cell)
{
    QTextTableCell target = table.Table->cellAt(row, column);
    if (!target.isValid())
        return;
    QTextTableCellFormat format;
    const int left = definition.PaddingLeft >= 0 ? definition.PaddingLeft : definition.Gap;
    const int right = definition.PaddingRight >= 0 ? definition.PaddingRight : definition.Gap;
    format.setLeftPadding(TwipsToPixels(left));
    format.setRightPadding(TwipsToPixels(right));
    format.setTopPadding(0);
    format.setBottomPadding(0);
    for (int edge = TRtfCellDefinition::EdgeTop; edge <= TRtfCellDefinition::EdgeRight; ++edge)
        SetBorder(format, static_cast<TRtfCellDefinition::TEdge>(edge),
                  cell.Borders[static_cast<size_t>(edge)]);
    if (cell.Shading.isValid())
        format.setBackground(cell.Shading);
    if (cell.VerticalAlignment != QTextCharFormat::AlignTop)
        format.setVerticalAlignment(cell.VerticalAlignment);
    if (definition.Height != 0)
        format.setProperty(TableRowHeight, definition.Height);
    if (definition.Header)
        format.setProperty(TableHeaderRow, true);
    SetCellFormat(target, format);
}

void TRtfTableBuilder::MarkFillers(Level &table, int row, int fromColumn)
{
    for (int column = fromColumn; column < table.Table->columns(); ++column) {
        QTextTableCell cell = table.Table->cellAt(row, column);
        if (!IsTopLeft(cell, row, column))
            continue;
        QTextCharFormat format = cell.format();
        format.setProperty(TableFiller, true);
        cell.setFormat(format);
    }
}

void TRtfTableBuilder::ClearNewCells(Level &table, int row)
{
    for (int column = 0; column < table.Table->columns(); ++column) {
        const QTextTableCell cell = table.Table->cellAt(row, column);
        if (!IsTopLeft(cell, row, column))
            continue;
        QTextCursor cursor = cell.firstCursorPosition();
        cursor.setBlockFormat(QTextBlockFormat());
        SetBlockCharFormat(cursor, table.Table, FCellFormat);
    }
}

int TRtfTableBuilder::EnsureBoundary(Level &table, int x, int layingRow)
{
    std::vector<int> &bounds = table.Bounds;
    const auto at = std::lower_bound(bounds.begin(), bounds.end(), x);
    if (at != bounds.end() && *at == x)
        return static_cast<int>(at - bounds.begin());
    const int index = static_cast<int>(at - bounds.begin());
    if (bounds.size() > MaxColumns || index == 0)
        return RtfTableGeometry::ColumnOf(table.Bounds, x);
    // Rows ahead begin as new rows do, with a cell for each column of their time.
    RemoveSpareRows(table);
    QTextTable &grid = *table.Table;
    const int rows = grid.rows();
    if (index == static_cast<int>(bounds.size())) {
        // Right of every row so far: the other rows end before it.
        const int column = grid.columns();
        AppendColumns(grid, 1);
        for (int row = 0; row < rows; ++row) {
            QTextTableCell cell = grid.cellAt(row, column);
            QTextCursor cursor = cell.firstCursorPosition();
            cursor.setBlockFormat(QTextBlockFormat());
            SetBlockCharFormat(cursor, table.Table, FCellFormat);
            if (row != layingRow) {
                QTextCharFormat format = cell.format();
                format.setProperty(TableFiller, true);
                cell.setFormat(format);
            }
        }
    } else {
        // Splits a column: cells of the other rows that cover it go on covering all of it.
        if (index == grid.columns())
            AppendColumns(grid, 1);
        else
            grid.insertColumns(index, 1);
        for (int row = 0; row < rows; ++row) {
            const QTextTableCell added = grid.cellAt(row, index);
            if (IsTopLeft(added, row, index)) {
                QTextCursor cursor = added.firstCursorPosition();
                cursor.setBlockFormat(QTextBlockFormat());
                SetBlockCharFormat(cursor, table.Table, FCellFormat);
            }
            const QTextTableCell left = grid.cellAt(row, index - 1);
            if (row == layingRow || left.row() != row || left.column() + left.columnSpan() != index)
                continue;
            if (IsFiller(left)) {
                QTextTableCell filler = grid.cellAt(row, index);
                SetCellFormat(filler, left.format());
            } else {
                grid.mergeCells(row, left.column(), left.rowSpan(), left.columnSpan() + 1);
            }
        }
    }
    bounds.insert(bounds.begin() + index, x);
    ApplyWidths(table);
    return index;
}

void TRtfTableBuilder::ApplyWidths(Level &table)
{
    QTextTableFormat format = table.Table->format();
    QList<QTextLength> widths;
    for (size_t i = 0; i + 1 < table.Bounds.size(); ++i)
        widths.append(QTextLength(QTextLength::FixedLength,
                                  TwipsToPixels(table.Bounds[i + 1] - table.Bounds[i])));
    format.setColumnWidthConstraints(widths);
    table.Table->setFormat(format);
}

bool TRtfTableBuilder::MergeAbove(Level &table, const Slot &slot, const TRtfCellDefinition &cell)
{
    if (table.Row == 0)
        return false;
    const int span = slot.Last - slot.First;
    const QTextTableCell above = table.Table->cellAt(table.Row - 1, slot.First);
    if (!above.isValid() || above.column() != slot.First || above.columnSpan() != span ||
        IsFiller(above))
        return false;
    const int top = above.row();
    table.Table->mergeCells(top, slot.First, table.Row - top + 1, span);
    // The merged cell's lower edge is this row's.
    QTextTableCell merged = table.Table->cellAt(top, slot.First);
    QTextTableCellFormat format = merged.format().toTableCellFormat();
    const TRtfBorder &bottom = cell.Borders[TRtfCellDefinition::EdgeBottom];
    if (bottom.IsSet()) {
        SetBorder(format, TRtfCellDefinition::EdgeBottom, bottom);
        merged.setFormat(format);
    }
    return true;
}

TRtfRowDefinition TRtfTableBuilder::LaidOut(const Level &table) const
{
    TRtfRowDefinition definition;
    definition.Left = table.Bounds.front();
    definition.Gap = table.Gap;
    for (const Slot &slot : table.Slots) {
        if (slot.Covered)
            continue;
        TRtfCellDefinition cell;
        cell.Right = table.Bounds[static_cast<size_t>(slot.Last)];
        definition.Cells.push_back(cell);
    }
    return definition;
}

void TRtfTableBuilder::RegridFirstRow(Level &table, const TRtfRowDefinition &definition)
{
    table.Guessed = false;
    if (definition.Cells.empty())
        return;
    const int left = definition.Left;
    std::vector<int> bounds{left};
    std::vector<size_t> cells; // the definition's cell of each column
    const std::vector<int> rights = RtfTableGeometry::Rights(definition.Cells, left);
    for (size_t j = 0; j < rights.size(); ++j) {
        if (rights[j] >= 0) {
            bounds.push_back(rights[j]);
            cells.push_back(j);
        }
    }
    const int placed = table.Table->columns();
    // More cells than the definition states: the widths already given stand.
    if (static_cast<int>(bounds.size()) - 1 < placed)
        return;
    const int wanted = std::min(static_cast<int>(bounds.size()) - 1, MaxColumns);
    bounds.resize(static_cast<size_t>(wanted) + 1);
    if (wanted > placed) {
        AppendColumns(*table.Table, wanted - placed);
        ClearNewCells(table, 0);
    }
    table.Bounds = bounds;
    QTextTableFormat format = table.Table->format();
    format.setLeftMargin(TwipsToPixels(left));
    format.setAlignment(definition.Alignment);
    table.Table->setFormat(format);
    ApplyWidths(table);
    for (int column = 0; column < wanted; ++column)
        FormatCell(table, 0, column, definition,
                   definition.Cells[cells[static_cast<size_t>(column)]]);
}
