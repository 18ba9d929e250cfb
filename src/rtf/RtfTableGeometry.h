#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

// How the cell boundaries of rich text make the columns of a table. The document reader's
// table builder and the plain text reader's grid both lay tables out by these, and must agree.
namespace RtfTableGeometry {

// Width of a cell that the rich text gives no boundary for.
constexpr int DefaultCellWidth = 1440;
// Width of a cell whose boundary is not right of its predecessor's.
constexpr int NarrowestCell = 75;
// Cell boundaries lie within this many twips of the left margin, either side.
constexpr int MaxCellBoundary = 31680 * 4;
// The deepest nesting of tables; deeper tables are read as tables of this depth.
constexpr int MaxDepth = 16;
// The most columns of a table; rows with more boundaries share the nearest columns.
constexpr int MaxColumns = 63;

// The right boundary of a cell: where the rich text puts it, unless that is not right of the
// cell before, however narrow the cell then is.
inline int RightOf(int stated, int previous)
{
    return stated > previous ? stated : previous + NarrowestCell;
}

// The right boundaries of a row's cells (each with its stated Right), each right of the one
// before; -1 for a cell that finds no room left of the greatest boundary.
template <class Cells> std::vector<int> Rights(const Cells &cells, int left)
{
    std::vector<int> rights;
    int previous = left;
    for (const auto &cell : cells) {
        const int right = RightOf(cell.Right, previous);
        if (right > MaxCellBoundary) {
            rights.push_back(-1);
            continue;
        }
        previous = right;
        rights.push_back(right);
    }
    return rights;
}

// The grid column whose right boundary lies nearest x, among bounds (the left edge, then the
// right boundary of each column, increasing); the last column for x right of them all.
inline int ColumnOf(const std::vector<int> &bounds, int x)
{
    const auto at = std::lower_bound(bounds.begin() + 1, bounds.end(), x);
    if (at == bounds.end())
        return static_cast<int>(bounds.size()) - 1;
    const int index = static_cast<int>(at - bounds.begin());
    if (index > 1 && x - bounds[static_cast<std::size_t>(index - 1)] < *at - x)
        return index - 1;
    return index;
}

} // namespace RtfTableGeometry
