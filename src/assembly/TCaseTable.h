#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

// A table that is refused, with the reason in the user's words (naming the file and the row).
class ECaseTableError : public std::runtime_error
{
public:
    explicit ECaseTableError(const std::string &message) : std::runtime_error(message) {}
};

// Cases kept as the rows of a table (a spreadsheet's CSV export, or a tab-separated file) with
// a header row. Column n of a row is the value of pair n and its header cell the heading, so
// that a row merges as the information file of those pairs does (InformationLines).
//
// The file: ".tsv" is separated by tabs; ".csv" by commas, or by semicolons when the header row
// holds semicolons and no commas (as spreadsheets in many locales write it). A quoted cell may
// hold separators, line breaks and quotes (doubled). UTF-16 after its byte order mark, UTF-8
// with or without one, else code page 1252; lines end with CR LF, LF or CR; blank lines at the
// end are ignored. An information line has no line break, so each line break inside a cell (CR
// LF, CR, LF, and the manual line breaks VT, U+2028, U+2029) becomes one space.
//
// A row with fewer cells than the header row gets empty values and a warning; one with more is
// refused, as is anything that is no table of these forms: nothing is then read at all.
class TCaseTable
{
public:
    // Whether the file's name ends in ".csv" or ".tsv" (in any case).
    static bool IsTableName(const std::string &fileName);
    // Whether the file's name ends in ".ods" or ".xlsx" (in any case): a spreadsheet, read as a
    // table through LibreOffice.
    static bool IsSpreadsheetName(const std::string &fileName);
    // A table of cases of any form: CSV, TSV or a spreadsheet.
    static bool IsCaseSourceName(const std::string &fileName);
    // Reads the file. Throws EFOpenError "Cannot open file <name>" or ECaseTableError.
    static TCaseTable ReadFile(const std::string &fileName);
    // The same for the bytes of a file of that name: its extension gives the separator, unless
    // one is given.
    static TCaseTable Parse(const std::string &bytes, const std::string &fileName,
                            char separator = 0);
    // The text of a file's bytes as UTF-8 (the byte order mark taken away).
    static std::string DecodeText(const std::string &bytes);

    std::size_t ColumnCount() const { return FHeadings.size(); }
    // The rows under the header row.
    std::size_t RowCount() const { return FRowLines.size(); }
    const std::vector<std::string> &Headings() const { return FHeadings; }
    // A cell (UTF-8) of a row, both counted from 0.
    const std::string &Cell(std::size_t row, std::size_t column) const
    {
        return FCells[row * FHeadings.size() + column];
    }
    // The information lines of a row, numbered from 0: heading 1, value 1, heading 2, ...
    std::vector<std::string> InformationLines(std::size_t row) const;
    // The line of the file (from 1) on which a row starts.
    std::size_t FileLineOf(std::size_t row) const { return FRowLines[row]; }
    char Separator() const { return FSeparator; }
    // Rows that were completed with empty values, one sentence each.
    const std::vector<std::string> &Warnings() const { return FWarnings; }

private:
    TCaseTable() = default;
    void AddRecord(std::vector<std::string> &cells, std::size_t line, const std::string &fileName);

    std::vector<std::string> FHeadings;
    std::vector<std::string> FCells; // row after row, ColumnCount() cells each
    std::vector<std::size_t> FRowLines;
    std::vector<std::string> FWarnings;
    char FSeparator = ',';
};
