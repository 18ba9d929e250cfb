#pragma once

#include "rtf/TRtfRowDefinition.h"

#include <QTextCharFormat>

#include <vector>

class QTextCursor;
class QTextTable;
class QTextTableCell;

// Builds the tables of rich text in a document while the reader goes through it. Rich text
// states a table row by row: a row definition (\trowd ... \cellx), then the content of each
// cell ended by \cell (\nestcell in a nested table), then \row (\nestrow). The reader fills the
// row definitions, asks Enter for the place of every piece of content at its nesting depth
// (0: outside tables) and reports cell and row ends; the builder opens and closes the tables,
// adds rows, keeps one grid of columns for rows with unequal cells and merges cells that span
// several columns or rows.
//
//     builder.Definition(1) = ...;        // \trowd ... \cellx
//     builder.Enter(1, format);           // before each piece of content of a cell
//     builder.EndCell(1);                 // \cell
//     builder.EndRow(1);                  // \row
//     builder.Leave(0);                   // content after the table closes it
class TRtfTableBuilder
{
public:
    // Deeper nesting is read as this depth; wider rows put their further cells into the
    // last column.
    static constexpr int MaxDepth = RtfTableGeometry::MaxDepth;
    static constexpr int MaxColumns = RtfTableGeometry::MaxColumns;

    // Gives a cell a new format (padding, borders, shading, alignment); the cell keeps the
    // rows and columns it spans and its first paragraph mark's character format, which Qt keeps
    // in the same format.
    static void SetCellFormat(QTextTableCell &cell, const QTextCharFormat &format);

    // Sets the character format of the cursor's paragraph mark. The first paragraph of a cell
    // of the table has the cell's own mark, which also holds the cell's format: that is kept.
    // (The table is named: while an edit block is open the document does not know its tables.)
    static void SetBlockCharFormat(QTextCursor &cursor, const QTextTable *table,
                                   const QTextCharFormat &format);
    // Gives a new cell of the table the look of a model cell: its format (padding, borders,
    // shading, row properties) without its spans, its last paragraph's format, and the
    // character format at its end for the new cell's paragraph mark, so that typing there
    // goes on in the model's font.
    static void FormatLike(const QTextTable &table, QTextTableCell &cell,
                           const QTextTableCell &model);
    // Adds columns at the right of a table. (Qt puts the new cell of a row before the next
    // row's first cell; when one cell covers the whole width of both rows, that is the cell
    // itself, and the new cell lands left of it. Such cells are split for the time of it.)
    static void AppendColumns(QTextTable &table, int count);
    // Removes rows or columns of a table. (Qt 6.4 leaves a stray cell, which breaks the layout,
    // when a merged cell lies wholly among the removed ones. Such cells are split first.)
    static void RemoveRows(QTextTable &table, int row, int count);
    static void RemoveColumns(QTextTable &table, int column, int count);
    // The same for the cursor of the builder, in the innermost open table.
    void SetBlockCharFormat(const QTextCharFormat &format);

    explicit TRtfTableBuilder(QTextCursor &cursor);
    ~TRtfTableBuilder();
    TRtfTableBuilder(const TRtfTableBuilder &) = delete;
    TRtfTableBuilder &operator=(const TRtfTableBuilder &) = delete;

    // The row definition being read for tables of a nesting level (1 = outermost).
    TRtfRowDefinition &Definition(int level);
    // Number of tables open around the cursor.
    int Depth() const { return static_cast<int>(FOpen.size()); }

    // Closes the tables deeper than depth; the cursor goes after the outermost of them, into
    // the empty paragraph that a document keeps after every table. True when one was open.
    bool Leave(int depth);
    // True when content of the depth opens a table right at the cursor.
    bool OpensHere(int depth) const;
    // Puts the cursor where content of the depth goes (call Leave first): opens tables,
    // begins a row after a row end, enters the current cell. A table opens at the cursor,
    // which is then the empty paragraph that a document keeps before every table. New cells'
    // empty paragraphs get cellFormat. Returns true when it opened a table or entered a cell.
    bool Enter(int depth, const QTextCharFormat &cellFormat);
    // True while the current cell is merged into another one and nothing of it was placed:
    // the cursor then stands at the end of the covering cell.
    bool InCoveredCell() const;
    // Content of a covered cell goes into the covering cell, as paragraphs of their own.
    void UseCoveredCell(const QTextBlockFormat &blockFormat, const QTextCharFormat &charFormat);

    // The current cell of the level ends; the next content goes into the next cell.
    void EndCell(int level);
    // The current row of the level ends; the next content of that level begins a row.
    void EndRow(int level);

    // Nested rows state their definition after their cells. The definitions met at the ends
    // of nested rows, in the order the rows began; a second reading of the same data that is
    // given them lays each nested row out by its own definition from its start.
    const std::vector<TRtfRowDefinition> &NestedRows() const { return FNestedRows; }
    void UseNestedRows(std::vector<TRtfRowDefinition> rows);

private:
    struct Slot
    {
        int First = 0; // grid columns [First, Last)
        int Last = 1;
        bool Covered = false; // merged into another cell
    };
    struct Level
    {
        QTextTable *Table = nullptr;
        std::vector<int> Bounds; // grid column boundaries in twips, increasing
        int Row = -1;
        bool RowOpen = false;
        int Cell = 0;
        bool CellEntered = false;
        bool Covered = false;
        bool CoveredUsed = false;
        bool Guessed = false; // the row began without a definition of its own
        int Gap = 0;          // of the current row, for cells it gives no definition for
        std::vector<Slot> Slots;
        TRtfRowDefinition Last; // the last row was laid out by
        int Nested = -1;        // the current row's number among the nested rows begun
        // Rows added ahead, after the current one: Qt works out a table's grid again after
        // every row it adds, so adding rows one at a time costs time in the square of the rows.
        int Spare = 0;
    };

    void Open(int level);
    // Numbers a nested row as it begins; its definition when a reading before gave it.
    TRtfRowDefinition BeginNested(Level &table);
    void Close();
    void BeginRow(Level &table, int level);
    // Moves to the next row, adding rows ahead when none is left; and removes those not used.
    void NextRow(Level &table);
    void RemoveSpareRows(Level &table);
    void EnterCell(Level &table);
    void LayRow(Level &table, const TRtfRowDefinition &definition);
    void AddSlot(Level &table);
    void FormatCell(Level &table, int row, int column, const TRtfRowDefinition &definition,
                    const TRtfCellDefinition &cell);
    void MarkFillers(Level &table, int row, int fromColumn);
    void ClearNewCells(Level &table, int row);
    // The index of boundary x in the grid, adding it (and a column) when it is new; cells of
    // rows other than layingRow go on covering what they covered.
    int EnsureBoundary(Level &table, int x, int layingRow);
    void ApplyWidths(Level &table);
    bool MergeAbove(Level &table, const Slot &slot, const TRtfCellDefinition &cell);
    void RegridFirstRow(Level &table, const TRtfRowDefinition &definition);
    // The cells of the current row as a definition: their boundaries only.
    TRtfRowDefinition LaidOut(const Level &table) const;

    QTextCursor &FCursor;
    std::vector<Level> FOpen;
    std::vector<TRtfRowDefinition> FDefinitions;
    QTextCharFormat FCellFormat;
    std::vector<TRtfRowDefinition> FNestedRows; // met at the rows' ends
    std::vector<TRtfRowDefinition> FKnownRows;  // given by a reading before
    int FNestedBegun = 0;
};
