#pragma once

#include <string>
#include <vector>

// zarvel-cli merge and check for a table of cases (TCaseTable): one letter per row, and a
// check of every row.

// The arguments of merge or check name a table (.csv, .tsv, or a spreadsheet, .ods or .xlsx,
// read with LibreOffice where it is installed) as the file of values.
bool NamesCaseTable(const std::vector<std::string> &args);
// merge TEMPLATE TABLE --out-dir DIR [--name COLUMN] [--rows LIST] [--format rtf|html|pdf]
// [--overwrite]. Returns the exit status; throws CliUsageError for wrong arguments.
int RunTableMerge(const std::vector<std::string> &args);
// check TEMPLATE TABLE [--overwrite]: the template's report for the first row, then what
// differs between rows.
int RunTableCheck(const std::vector<std::string> &args);
