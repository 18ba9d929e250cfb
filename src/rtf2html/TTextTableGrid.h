#pragma once

#include "rtf/RtfTableGeometry.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace Rtf2Html {

// A table of rich text laid out as the document model lays it out, for the model's text of
// it. The model keeps one grid of columns for a table whose rows state other cells: a new
// boundary splits a column, the cells of the other rows that cover it go on covering it, and
// rows that end left of the grid's edge end with empty filler cells, made one cell when the
// table ends. Cells merged into others (\clmrg, \clvmrg) leave no cell of their own; their
// content goes into the covering cell, in paragraphs of its own after that cell's.
//
// The grid follows what the model does while no cell spans rows when a column is added; a
// layout it does not follow throws EUnfollowed.
//
//     TTextTableGrid grid(definition);  // the table opens with its first row
//     std::u16string *text = grid.EnterCell(covered);
//     grid.EndCell();                   // \cell
//     grid.BeginRow(definition);        // content after a \row
//     grid.AppendText(document);        // the table ends
class TTextTableGrid
{
public:
    enum class TMerge { None, ContinueVertical, ContinueHorizontal };
    struct TCellDefinition
    {
        int32_t Right = 0; // \cellx
        TMerge Merge = TMerge::None;
    };
    struct TRowDefinition
    {
        int32_t Left = 0; // \trleft
        std::vector<TCellDefinition> Cells;
    };
    struct EUnfollowed
    {
        const char *Reason;
    };

    // The widest grid; further boundaries go to the nearest column.
    static constexpr int KMaxColumns = RtfTableGeometry::MaxColumns;
    // The most places (rows times columns) the grid follows: a table of more is the model's,
    // and a hostile file costs the reader little time and memory before it says so.
    static constexpr size_t KMaxPlaces = size_t(1) << 20;

    // Opens the table with its first row; the definition states at least one cell.
    explicit TTextTableGrid(const TRowDefinition &definition);

    // Adds a row laid out by the definition, which states at least one cell.
    void BeginRow(const TRowDefinition &definition);
    // The text that the current cell's content goes to. A cell merged into another is
    // covered: its content goes after the covering cell's, and starts a paragraph there.
    std::u16string *EnterCell(bool &covered);
    void EndCell() { ++FCell; }
    // The cells made so far, merged ones too: what the grid holds.
    size_t CellCount() const { return FCells.size(); }
    // The table's text after text: a cell mark and its content for each cell, row by row,
    // then the table's end.
    void AppendText(std::u16string &text);

private:
    struct TCell
    {
        int Row = 0;
        int Column = 0;
        int Rows = 1;
        int Columns = 1;
        bool Filler = false; // a row's empty end
        std::u16string Text;
    };
    struct TSlot
    {
        int First = 0; // grid columns [First, Last)
        int Last = 1;
        bool Covered = false;
    };

    int Columns() const { return static_cast<int>(FBounds.size()) - 1; }
    int Row() const { return static_cast<int>(FGrid.size()) - 1; } // the current row
    TCell *CellAt(int row, int column);                            // null outside the grid
    TCell &Cell(int row, int column);
    bool IsTopLeft(const TCell *cell, int row, int column) const
    {
        return cell && cell->Row == row && cell->Column == column;
    }
    uint32_t NewCell(int row, int column);
    // Throws when the grid would hold more places than it follows.
    void CheckPlaces(size_t rows, size_t columns) const;
    void LayRow(const TRowDefinition &definition);
    void AddSlot();
    size_t LastOpenSlot() const;
    bool MergeAbove(const TSlot &slot);
    void MergeCells(int row, int column, int rows, int columns);
    int EnsureBoundary(int32_t x);
    void InsertColumn(int index);
    void MergeFillers();

    std::deque<TCell> FCells;                 // stays where it is while cells are added
    std::vector<std::vector<uint32_t>> FGrid; // [row][column]: the cell there
    std::vector<int> FBounds;                 // column boundaries, increasing
    std::vector<TSlot> FSlots;                // the current row's cells
    size_t FCell = 0;
    bool FSpansRows = false;
};

} // namespace Rtf2Html
