#include "rtf2html/TTextTableGrid.h"

#include "rtf/RtfTableGeometry.h"

#include <algorithm>

namespace Rtf2Html {

namespace {
using RtfTableGeometry::DefaultCellWidth;
using RtfTableGeometry::MaxCellBoundary;
using RtfTableGeometry::NarrowestCell;
using RtfTableGeometry::RightOf;
} // namespace

TTextTableGrid::TTextTableGrid(const TRowDefinition &definition)
{
    const int32_t left = definition.Left;
    FBounds = {left, RightOf(definition.Cells.front().Right, left)};
    FGrid.push_back({NewCell(0, 0)});
    LayRow(definition);
}

uint32_t TTextTableGrid::NewCell(int row, int column)
{
    TCell cell;
    cell.Row = row;
    cell.Column = column;
    FCells.push_back(std::move(cell));
    return static_cast<uint32_t>(FCells.size() - 1);
}

void TTextTableGrid::CheckPlaces(size_t rows, size_t columns) const
{
    // Merges leave cells behind: their count is bounded too.
    if (rows * columns > KMaxPlaces || FCells.size() + rows > 2 * KMaxPlaces)
        throw EUnfollowed{"table too large"};
}

TTextTableGrid::TCell &TTextTableGrid::Cell(int row, int column)
{
    return FCells[FGrid[static_cast<size_t>(row)][static_cast<size_t>(column)]];
}

TTextTableGrid::TCell *TTextTableGrid::CellAt(int row, int column)
{
    if (row < 0 || column < 0 || row >= static_cast<int>(FGrid.size()) || column >= Columns())
        return nullptr;
    return &Cell(row, column);
}

void TTextTableGrid::BeginRow(const TRowDefinition &definition)
{
    CheckPlaces(FGrid.size() + 1, static_cast<size_t>(Columns()));
    const int added = static_cast<int>(FGrid.size());
    std::vector<uint32_t> row;
    for (int column = 0; column < Columns(); ++column)
        row.push_back(NewCell(added, column));
    FGrid.push_back(std::move(row));
    FCell = 0;
    LayRow(definition);
}

std::u16string *TTextTableGrid::EnterCell(bool &covered)
{
    while (FCell >= FSlots.size())
        AddSlot();
    const TSlot &slot = FSlots[FCell];
    TCell *cell = CellAt(Row(), slot.First);
    if (!cell)
        throw EUnfollowed{"cell outside the grid"};
    covered = slot.Covered || !IsTopLeft(cell, Row(), slot.First);
    // A cell of its own is entered once, and its content starts it.
    if (!covered && !cell->Text.empty())
        throw EUnfollowed{"cell entered again"};
    return &cell->Text;
}

void TTextTableGrid::LayRow(const TRowDefinition &definition)
{
    FSlots.clear();
    const std::vector<int32_t> rights = RtfTableGeometry::Rights(definition.Cells, FBounds.front());
    for (const int32_t right : rights)
        if (right >= 0)
            EnsureBoundary(right);
    const int columns = Columns();
    int first = 0;
    for (size_t j = 0; j < rights.size(); ++j) {
        const int last =
            std::min(columns, std::max(first + 1, RtfTableGeometry::ColumnOf(FBounds, rights[j])));
        const bool continues =
            definition.Cells[j].Merge == TMerge::ContinueHorizontal || rights[j] < 0;
        if (!FSlots.empty() && (continues || first >= columns)) {
            // Merged into the cell on its left, or no column is left for it.
            TSlot &open = FSlots[LastOpenSlot()];
            open.Last = std::max(open.Last, last);
            FSlots.push_back({open.First, open.Last, true});
        } else {
            FSlots.push_back({first, last, false});
        }
        first = std::max(first, last);
    }
    for (size_t j = 0; j < FSlots.size(); ++j) {
        TSlot &slot = FSlots[j];
        if (slot.Covered)
            continue;
        if (slot.Last - slot.First > 1)
            MergeCells(Row(), slot.First, 1, slot.Last - slot.First);
        if (definition.Cells[j].Merge == TMerge::ContinueVertical && MergeAbove(slot)) {
            slot.Covered = true;
            continue;
        }
        if (TCell *cell = CellAt(Row(), slot.First))
            cell->Filler = false;
    }
    for (int column = first; column < columns; ++column) {
        TCell *cell = CellAt(Row(), column);
        if (IsTopLeft(cell, Row(), column))
            cell->Filler = true;
    }
}

size_t TTextTableGrid::LastOpenSlot() const
{
    size_t k = FSlots.size() - 1;
    while (k > 0 && FSlots[k].Covered)
        --k;
    return k;
}

// A cell past those its row states is a cell of its own while the grid has room; past that,
// its content goes into the row's last cell.
void TTextTableGrid::AddSlot()
{
    const int first = FSlots.empty() ? 0 : FSlots.back().Last;
    const bool room = FBounds.size() <= static_cast<size_t>(KMaxColumns) &&
                      FBounds.back() + NarrowestCell <= MaxCellBoundary;
    if (!FSlots.empty() && first >= Columns() && !room) {
        TSlot covered = FSlots[LastOpenSlot()];
        covered.Covered = true;
        FSlots.push_back(covered);
        return;
    }
    if (first >= Columns())
        EnsureBoundary(std::min(FBounds.back() + DefaultCellWidth, MaxCellBoundary));
    FSlots.push_back({first, first + 1, false});
    if (TCell *cell = CellAt(Row(), first))
        cell->Filler = false;
}

bool TTextTableGrid::MergeAbove(const TSlot &slot)
{
    if (Row() == 0)
        return false;
    const int span = slot.Last - slot.First;
    const TCell *above = CellAt(Row() - 1, slot.First);
    if (!above || above->Column != slot.First || above->Columns != span || above->Filler)
        return false;
    const int top = above->Row;
    MergeCells(top, slot.First, Row() - top + 1, span);
    FSpansRows = true;
    return true;
}

// The cell at row and column comes to cover the others of the area, which the layout has
// left empty: they leave no trace in the text.
void TTextTableGrid::MergeCells(int row, int column, int rows, int columns)
{
    const uint32_t target = FGrid[static_cast<size_t>(row)][static_cast<size_t>(column)];
    for (int r = row; r < row + rows; ++r) {
        for (int c = column; c < column + columns; ++c) {
            uint32_t &place = FGrid[static_cast<size_t>(r)][static_cast<size_t>(c)];
            if (place == target)
                continue;
            TCell &merged = FCells[place];
            if (!merged.Text.empty())
                throw EUnfollowed{"cell merged with its content"};
            place = target;
        }
    }
    FCells[target].Rows = rows;
    FCells[target].Columns = columns;
}

int TTextTableGrid::EnsureBoundary(int32_t x)
{
    const auto at = std::lower_bound(FBounds.begin(), FBounds.end(), x);
    if (at != FBounds.end() && *at == x)
        return static_cast<int>(at - FBounds.begin());
    const int index = static_cast<int>(at - FBounds.begin());
    if (FBounds.size() > static_cast<size_t>(KMaxColumns) || index == 0)
        return RtfTableGeometry::ColumnOf(FBounds, x);
    // The model's new columns keep the order of the cells only while no cell spans rows.
    if (FSpansRows)
        throw EUnfollowed{"new column beside merged rows"};
    CheckPlaces(FGrid.size(), static_cast<size_t>(Columns()) + 1);
    if (index == static_cast<int>(FBounds.size())) {
        // Right of every row so far: the other rows end before it, with a filler.
        const int column = Columns();
        InsertColumn(column);
        for (int row = 0; row < static_cast<int>(FGrid.size()); ++row) {
            if (row != Row())
                Cell(row, column).Filler = true;
        }
    } else {
        // Splits a column: the cells of the other rows that cover it go on covering all of it.
        InsertColumn(index);
        for (int row = 0; row < static_cast<int>(FGrid.size()); ++row) {
            const TCell &left = Cell(row, index - 1);
            if (row == Row() || left.Row != row || left.Column + left.Columns != index)
                continue;
            if (left.Filler)
                Cell(row, index).Filler = true;
            else
                MergeCells(row, left.Column, left.Rows, left.Columns + 1);
        }
    }
    FBounds.insert(FBounds.begin() + index, x);
    return index;
}

// A new column at index of the grid: a new cell in every row, except where one cell lies on
// both sides of it, which then covers it too.
void TTextTableGrid::InsertColumn(int index)
{
    for (int row = 0; row < static_cast<int>(FGrid.size()); ++row) {
        std::vector<uint32_t> &cells = FGrid[static_cast<size_t>(row)];
        const size_t at = static_cast<size_t>(index);
        if (at > 0 && at < cells.size() && cells[at - 1] == cells[at]) {
            const uint32_t across = cells[at];
            ++FCells[across].Columns;
            cells.insert(cells.begin() + index, across);
        } else {
            cells.insert(cells.begin() + index, NewCell(row, index));
        }
        // The cells right of it move one column on.
        for (size_t c = at + 1; c < cells.size(); ++c) {
            TCell &moved = FCells[cells[c]];
            if (cells[c] != cells[c - 1] && moved.Row == row)
                ++moved.Column;
        }
    }
}

void TTextTableGrid::MergeFillers()
{
    const int columns = Columns();
    for (int row = 0; row < static_cast<int>(FGrid.size()); ++row) {
        int first = columns;
        while (first > 0) {
            const TCell *cell = CellAt(row, first - 1);
            if (!IsTopLeft(cell, row, first - 1) || cell->Rows != 1 || cell->Columns != 1 ||
                !cell->Filler || !cell->Text.empty())
                break;
            --first;
        }
        if (columns - first > 1)
            MergeCells(row, first, 1, columns - first);
    }
}

void TTextTableGrid::AppendText(std::u16string &text)
{
    MergeFillers();
    for (int row = 0; row < static_cast<int>(FGrid.size()); ++row) {
        for (int column = 0; column < Columns(); ++column) {
            const TCell *cell = CellAt(row, column);
            if (!IsTopLeft(cell, row, column))
                continue;
            text.push_back(u'\r');
            text += cell->Text;
        }
    }
    text.push_back(u'\r');
}

} // namespace Rtf2Html
