#pragma once

#include <string>

class TCaseTable;

// Tables of cases kept as spreadsheets (.ods, .xlsx): where LibreOffice is installed, the first
// sheet is converted to CSV with it, headless, and read as a CSV file is. Each conversion runs
// in a private LibreOffice profile in the user's cache folder (never the user's own profile,
// which a running LibreOffice may hold) and within a time limit. Where it is not installed, the
// message says to save the sheet as CSV. Nothing here requires LibreOffice.
class TSpreadsheetTable
{
public:
    // The LibreOffice program found on the search path; empty when it is not installed.
    static std::string OfficeProgram();
    // Reads a table of cases of any form. Throws EFOpenError or ECaseTableError (a spreadsheet
    // without LibreOffice, a conversion that fails or passes the time limit, no table).
    static TCaseTable Read(const std::string &fileName);
    // The first sheet of a spreadsheet as CSV bytes (UTF-8, commas, quotes as needed).
    static std::string ConvertToCsv(const std::string &fileName);

    // How long one conversion may take, in milliseconds (the first start of a new profile
    // takes the longest).
    static constexpr int TimeLimit = 120000;
};
