// Any bytes as a table of cases: the reader ends, refuses only with its own error, and gives
// every row the header row's number of cells. The same bytes cut into cells and written as a
// spreadsheet writes CSV (every cell quoted, quotes doubled, rows ended by CR LF) read back as
// those cells, each line break inside a cell become one space.
//
// Input: the first byte gives the number of columns (1 to 6); the rest is the file, and, cut
// at each byte 0x1E, the cells of the written table.
#include "assembly/TCaseTable.h"
#include "text/UnicodeText.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {
void ReadsOrRefuses(const std::string &bytes, const char *name)
{
    try {
        const TCaseTable table = TCaseTable::Parse(bytes, name);
        if (table.ColumnCount() == 0 || table.RowCount() == 0)
            std::abort();
        for (std::size_t row = 0; row < table.RowCount(); ++row)
            if (table.InformationLines(row).size() != 2 * table.ColumnCount())
                std::abort();
    } catch (const ECaseTableError &) {
    }
}

std::vector<std::string> CutAt(const std::string &text, char mark)
{
    std::vector<std::string> parts(1);
    for (const char c : text) {
        if (c == mark)
            parts.emplace_back();
        else
            parts.back() += c;
    }
    return parts;
}

// A cell as the reader gives it back: each line break one space.
std::string Spaced(const std::string &cell)
{
    std::string out;
    for (std::size_t i = 0; i < cell.size(); ++i) {
        const char c = cell[i];
        if (c == '\r' && i + 1 < cell.size() && cell[i + 1] == '\n')
            ++i;
        if (c == '\r' || c == '\n' || c == '\v') {
            out += ' ';
        } else if (cell.compare(i, 3, "\xE2\x80\xA8") == 0 ||
                   cell.compare(i, 3, "\xE2\x80\xA9") == 0) {
            out += ' ';
            i += 2;
        } else {
            out += c;
        }
    }
    return out;
}

std::string Quoted(const std::string &cell)
{
    std::string out = "\"";
    for (const char c : cell)
        out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

void WrittenCellsReadBack(const std::string &text, std::size_t columns)
{
    std::vector<std::string> cells = CutAt(text, '\x1E');
    for (const std::string &cell : cells)
        if (!IsValidUtf8(cell) || cell.find('\0') != std::string::npos)
            return; // such a file is read as code page 1252, or refused
    while (cells.size() % columns != 0)
        cells.emplace_back();
    std::string file;
    for (std::size_t column = 0; column < columns; ++column)
        file += (column ? ",h" : "h") + std::to_string(column + 1);
    file += "\r\n";
    for (std::size_t i = 0; i < cells.size(); ++i)
        file += Quoted(cells[i]) + ((i + 1) % columns == 0 ? "\r\n" : ",");
    // The header names the separator; a byte order mark would be taken away.
    if (cells[0].compare(0, 3, "\xEF\xBB\xBF") == 0)
        return;
    const TCaseTable table = TCaseTable::Parse(file, "cases.csv");
    if (table.ColumnCount() != columns || table.RowCount() != cells.size() / columns)
        std::abort();
    for (std::size_t i = 0; i < cells.size(); ++i)
        if (table.Cell(i / columns, i % columns) != Spaced(cells[i]))
            std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const std::size_t columns = 1 + data[0] % 6;
    const std::string text(reinterpret_cast<const char *>(data) + 1, size - 1);
    ReadsOrRefuses(text, "x.csv");
    ReadsOrRefuses(text, "x.tsv");
    WrittenCellsReadBack(text, columns);
    return 0;
}
