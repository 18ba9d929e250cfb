#include "assembly/TCaseTable.h"

#include "text/StringUtils.h"
#include "text/UnicodeText.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace {
bool EndsWithNoCase(const std::string &text, const char *suffix)
{
    const std::size_t length = std::strlen(suffix);
    if (text.size() < length)
        return false;
    return std::equal(
        text.end() - static_cast<std::ptrdiff_t>(length), text.end(), suffix,
        [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
}

std::string Utf8FromUtf16(const std::string &bytes, bool littleEndian)
{
    std::string text;
    text.reserve(bytes.size());
    const auto unitAt = [&](std::size_t i) -> char32_t {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        return littleEndian ? char32_t(first | second << 8) : char32_t(first << 8 | second);
    };
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
        char32_t c = unitAt(i);
        if (c >= 0xD800 && c < 0xDC00 && i + 3 < bytes.size()) {
            const char32_t low = unitAt(i + 2);
            if (low >= 0xDC00 && low < 0xE000) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        if (c >= 0xD800 && c < 0xE000)
            c = 0xFFFD; // a lone half of a pair
        AppendUtf8(text, c);
    }
    return text;
}

// Where a spreadsheet's header row holds semicolons and no commas, it was written in a locale
// whose decimal separator is the comma.
char CsvSeparator(const std::string &text)
{
    bool quoted = false;
    bool semicolon = false;
    for (const char c : text) {
        if (c == '"')
            quoted = !quoted;
        else if (quoted)
            continue;
        else if (c == ',')
            return ',';
        else if (c == ';')
            semicolon = true;
        else if (c == '\r' || c == '\n')
            break;
    }
    return semicolon ? ';' : ',';
}

// The manual line breaks of the information pane other than CR and LF (VT, U+2028, U+2029):
// their length in UTF-8 at position, 0 when none starts there.
std::size_t OtherBreakAt(const std::string &text, std::size_t position)
{
    if (text[position] == '\v')
        return 1;
    if (text.compare(position, 3, "\xE2\x80\xA8") == 0 ||
        text.compare(position, 3, "\xE2\x80\xA9") == 0)
        return 3;
    return 0;
}

std::string RowName(std::size_t row, std::size_t line)
{
    return "row " + std::to_string(row) + " (line " + std::to_string(line) + " of the file)";
}

// Reads the records of a decoded table one after another.
class TRecordReader
{
public:
    TRecordReader(const std::string &text, char separator, const std::string &fileName)
        : FText(text), FSeparator(separator), FFileName(fileName)
    {
    }

    bool AtEnd() const { return FPosition >= FText.size(); }
    std::size_t Line() const { return FLine; }

    // The cells of the next record; blank is set for an empty line.
    void Next(std::vector<std::string> &cells, bool &blank, std::size_t row)
    {
        cells.clear();
        blank = true;
        for (;;) {
            cells.emplace_back();
            if (FPosition < FText.size() && FText[FPosition] == '"') {
                blank = false;
                ReadQuoted(cells.back(), row);
            } else
                ReadPlain(cells.back());
            if (!cells.back().empty())
                blank = false;
            if (FPosition >= FText.size())
                return;
            const char c = FText[FPosition++];
            if (c == FSeparator) {
                blank = false;
                continue;
            }
            EndLine(c);
            return;
        }
    }

private:
    void EndLine(char c)
    {
        if (c == '\r' && FPosition < FText.size() && FText[FPosition] == '\n')
            ++FPosition;
        ++FLine;
    }

    void ReadPlain(std::string &cell)
    {
        const std::size_t start = FPosition;
        while (FPosition < FText.size()) {
            const char c = FText[FPosition];
            if (c == FSeparator || c == '\r' || c == '\n')
                break;
            ++FPosition;
        }
        cell.assign(FText, start, FPosition - start);
        SpaceOtherBreaks(cell);
    }

    void ReadQuoted(std::string &cell, std::size_t row)
    {
        const std::size_t line = FLine;
        ++FPosition;
        for (;;) {
            const std::size_t quote = FText.find('"', FPosition);
            if (quote == std::string::npos)
                throw ECaseTableError(FFileName + " is not a table that Zarvel can read: in " +
                                      RowName(row, line) +
                                      " a quoted cell is not closed. Save it again as CSV.");
            AppendSpacingBreaks(cell, FPosition, quote);
            FPosition = quote + 1;
            if (FPosition < FText.size() && FText[FPosition] == '"') {
                cell += '"';
                ++FPosition;
                continue;
            }
            break;
        }
        if (FPosition < FText.size()) {
            const char c = FText[FPosition];
            if (c != FSeparator && c != '\r' && c != '\n')
                throw ECaseTableError(FFileName + " is not a table that Zarvel can read: in " +
                                      RowName(row, line) +
                                      " text follows the closing quote of a cell. Save it "
                                      "again as CSV.");
        }
    }

    // The quoted text [start, end) with each line break made one space.
    void AppendSpacingBreaks(std::string &cell, std::size_t start, std::size_t end)
    {
        cell.reserve(cell.size() + (end - start));
        for (std::size_t i = start; i < end; ++i) {
            const char c = FText[i];
            if (c == '\r' || c == '\n') {
                if (c == '\r' && i + 1 < end && FText[i + 1] == '\n')
                    ++i;
                ++FLine;
                cell += ' ';
            } else if (const std::size_t length = OtherBreakAt(FText, i)) {
                i += length - 1;
                cell += ' ';
            } else
                cell += c;
        }
    }

    static void SpaceOtherBreaks(std::string &cell)
    {
        if (cell.find('\v') == std::string::npos && cell.find('\xE2') == std::string::npos)
            return;
        std::string spaced;
        for (std::size_t i = 0; i < cell.size(); ++i) {
            if (const std::size_t length = OtherBreakAt(cell, i)) {
                i += length - 1;
                spaced += ' ';
            } else
                spaced += cell[i];
        }
        cell = std::move(spaced);
    }

    const std::string &FText;
    const char FSeparator;
    const std::string &FFileName;
    std::size_t FPosition = 0;
    std::size_t FLine = 1;
};
} // namespace

bool TCaseTable::IsTableName(const std::string &fileName)
{
    return EndsWithNoCase(fileName, ".csv") || EndsWithNoCase(fileName, ".tsv");
}

bool TCaseTable::IsSpreadsheetName(const std::string &fileName)
{
    return EndsWithNoCase(fileName, ".ods") || EndsWithNoCase(fileName, ".xlsx");
}

bool TCaseTable::IsCaseSourceName(const std::string &fileName)
{
    return IsTableName(fileName) || IsSpreadsheetName(fileName);
}

TCaseTable TCaseTable::ReadFile(const std::string &fileName)
{
    return Parse(LoadFileBytes(fileName), fileName);
}

std::string TCaseTable::DecodeText(const std::string &bytes)
{
    if (bytes.compare(0, 2, "\xFF\xFE") == 0)
        return Utf8FromUtf16(bytes, true);
    if (bytes.compare(0, 2, "\xFE\xFF") == 0)
        return Utf8FromUtf16(bytes, false);
    const bool mark = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0;
    const std::string_view text = std::string_view(bytes).substr(mark ? 3 : 0);
    if (IsValidUtf8(text))
        return std::string(text);
    return Utf8From1252(bytes);
}

TCaseTable TCaseTable::Parse(const std::string &bytes, const std::string &fileName, char separator)
{
    const std::string text = DecodeText(bytes);
    const std::string notTable = fileName + " is not a table that Zarvel can read";
    if (text.find('\0') != std::string::npos)
        throw ECaseTableError(notTable + ": it holds zero bytes, as no text does. Save it as "
                                         "CSV (comma- or semicolon-separated) and choose it "
                                         "again.");
    if (text.compare(0, 5, "{\\rtf") == 0)
        throw ECaseTableError(notTable + ": it is rich text. Save the table as CSV and choose "
                                         "it again.");

    if (text.find_first_not_of("\r\n") == std::string::npos)
        throw ECaseTableError(notTable + ": it is empty. A table starts with its header row.");

    TCaseTable table;
    if (separator != 0)
        table.FSeparator = separator;
    else
        table.FSeparator = EndsWithNoCase(fileName, ".tsv") ? '\t' : CsvSeparator(text);
    TRecordReader reader(text, table.FSeparator, fileName);
    std::vector<std::string> cells;
    bool blank = false;
    reader.Next(cells, blank, 0);
    if (blank)
        throw ECaseTableError(notTable + ": its first line is empty, where the header row "
                                         "belongs.");
    table.FHeadings = std::move(cells);
    table.FCells.reserve(text.size() / 8);

    // Blank lines are kept until a row follows them: those at the end are no rows.
    std::vector<std::size_t> blankLines;
    while (!reader.AtEnd()) {
        const std::size_t line = reader.Line();
        reader.Next(cells, blank, table.RowCount() + blankLines.size() + 1);
        if (blank) {
            blankLines.push_back(line);
            continue;
        }
        for (const std::size_t blankLine : blankLines) {
            std::vector<std::string> empty(1);
            table.AddRecord(empty, blankLine, fileName);
        }
        blankLines.clear();
        table.AddRecord(cells, line, fileName);
    }
    if (table.RowCount() == 0)
        throw ECaseTableError(fileName + " holds a header row but no rows of cases under it.");
    return table;
}

void TCaseTable::AddRecord(std::vector<std::string> &cells, std::size_t line,
                           const std::string &fileName)
{
    const std::size_t row = RowCount() + 1;
    const std::size_t columns = ColumnCount();
    if (cells.size() > columns)
        throw ECaseTableError(fileName + ": " + RowName(row, line) + " has " +
                              std::to_string(cells.size()) + " cells, more than the " +
                              std::to_string(columns) +
                              " of the header row; a separator in a cell needs quotes around "
                              "the cell. The table is not read.");
    if (cells.size() < columns)
        FWarnings.push_back(fileName + ": " + RowName(row, line) + " has " +
                            std::to_string(cells.size()) + " of the " + std::to_string(columns) +
                            " cells of the header row; the others are empty.");
    for (std::string &cell : cells)
        FCells.push_back(std::move(cell));
    FCells.resize(FCells.size() + (columns - cells.size()));
    FRowLines.push_back(line);
}

std::vector<std::string> TCaseTable::InformationLines(std::size_t row) const
{
    std::vector<std::string> lines;
    lines.reserve(2 * ColumnCount());
    for (std::size_t column = 0; column < ColumnCount(); ++column) {
        lines.push_back(FHeadings[column]);
        lines.push_back(Cell(row, column));
    }
    return lines;
}
