#include "CliMergeTable.h"

#include "CliArguments.h"
#include "CliCommand.h"
#include "CliLetterFile.h"
#include "CliOutputBatch.h"
#include "CliOutputFile.h"
#include "CliPath.h"
#include "CliProgressLine.h"

#include "assembly/AssemblyTexts.h"
#include "assembly/MergeTextFile.h"
#include "assembly/TCaseTable.h"
#include "assembly/TMergeEngine.h"
#include "assembly/TMergeTemplate.h"
#include "assembly/TSpreadsheetTable.h"
#include "assembly/TTemplateCheck.h"
#include "assembly/TemplateCheckReport.h"
#include "text/StringUtils.h"

#include <QString>

#include <cstdio>
#include <map>
#include <set>

namespace {
struct TTableOptions
{
    std::string Template;
    std::string Table;
    std::string OutputDir;
    std::string NameColumn;
    std::string Rows;
    TLetterFormat Format = TLetterFormat::Rtf;
    bool Overwrite = false;
};

TLetterFormat FormatNamed(const std::string &name)
{
    if (name.empty() || name == "rtf")
        return TLetterFormat::Rtf;
    if (name == "html")
        return TLetterFormat::Html;
    if (name == "pdf")
        return TLetterFormat::Pdf;
    throw CliUsageError("--format is rtf, html or pdf");
}

const char *SuffixOf(TLetterFormat format)
{
    switch (format) {
    case TLetterFormat::Html:
        return ".html";
    case TLetterFormat::Pdf:
        return ".pdf";
    case TLetterFormat::Rtf:
        break;
    }
    return ".rtf";
}

TTableOptions ParseTableOptions(const std::vector<std::string> &args)
{
    TTableOptions options;
    std::vector<std::string> files;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &arg = args[i];
        if (arg == "--out-dir")
            options.OutputDir = NeedValue(args, i);
        else if (arg == "--format")
            options.Format = FormatNamed(NeedValue(args, i));
        else if (arg == "--name")
            options.NameColumn = NeedValue(args, i);
        else if (arg == "--rows")
            options.Rows = NeedValue(args, i);
        else if (arg == "--overwrite")
            options.Overwrite = true;
        else if (arg == "-o" || arg == "--output")
            throw CliUsageError("a table gives one letter per row: use --out-dir DIR");
        else if (CliCommand::IsOption(arg))
            throw CliUsageError("unknown option " + arg + " for a table");
        else
            files.push_back(arg);
    }
    if (files.size() != 2)
        throw CliUsageError("a template and one table are needed");
    if (options.OutputDir.empty())
        throw CliUsageError("give --out-dir DIR for the letters of a table");
    options.Template = files[0];
    options.Table = files[1];
    return options;
}

std::size_t RowNumber(const std::string &text, std::size_t rowCount)
{
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos ||
        text.size() > 12)
        throw CliUsageError("--rows takes row numbers and ranges such as 1-5,8,10-: " + text);
    const std::size_t row = std::stoul(text);
    if (row < 1 || row > rowCount)
        throw CliUsageError("--rows: the table has no row " + text + "; its rows are 1 to " +
                            std::to_string(rowCount));
    return row;
}

// The rows of a list such as "1-5,8,10-" (from 1, the first row under the header), as indexes
// from 0 in the order given, each once.
std::vector<std::size_t> SelectedRows(const std::string &list, std::size_t rowCount)
{
    std::vector<std::size_t> rows;
    std::set<std::size_t> seen;
    const auto add = [&](std::size_t row) {
        if (seen.insert(row).second)
            rows.push_back(row - 1);
    };
    if (list.empty()) {
        for (std::size_t row = 1; row <= rowCount; ++row)
            add(row);
        return rows;
    }
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t end = list.find(',', start);
        if (end == std::string::npos)
            end = list.size();
        const std::string item = TrimSpaces(list.substr(start, end - start));
        const std::size_t dash = item.find('-');
        if (dash == std::string::npos)
            add(RowNumber(item, rowCount));
        else {
            const std::size_t first = dash == 0 ? 1 : RowNumber(item.substr(0, dash), rowCount);
            const std::size_t last =
                dash + 1 == item.size() ? rowCount : RowNumber(item.substr(dash + 1), rowCount);
            for (std::size_t row = first; row <= last; ++row)
                add(row);
        }
        start = end + 1;
    }
    return rows;
}

// The column of --name: a heading of the header row, or a column's number.
std::size_t NameColumn(const TCaseTable &table, const std::string &name)
{
    for (std::size_t column = 0; column < table.ColumnCount(); ++column)
        if (table.Headings()[column] == name)
            return column;
    if (!name.empty() && name.find_first_not_of("0123456789") == std::string::npos &&
        name.size() < 6) {
        const std::size_t column = std::stoul(name);
        if (column >= 1 && column <= table.ColumnCount())
            return column - 1;
    }
    std::string headings;
    for (const std::string &heading : table.Headings())
        headings += (headings.empty() ? "" : ", ") + heading;
    throw CliUsageError("--name " + name + ": the table has no such column; its headings are " +
                        headings + " (or give a column's number)");
}

// A cell's value as a file name: no folder separators, no characters other systems refuse, no
// control characters, no leading dot (a hidden file) and a bounded length.
QString SafeFileName(const std::string &value)
{
    static const QString refused = QStringLiteral("/\\:*?\"<>|");
    QString name;
    for (const QChar c : QString::fromStdString(value))
        name += c.unicode() < 32 || c.unicode() == 127 || refused.contains(c) ? QChar(u'_') : c;
    const auto trimmable = [](QChar c) { return c == u'.' || c.isSpace(); };
    while (!name.isEmpty() && trimmable(name.front()))
        name.remove(0, 1);
    while (!name.isEmpty() && trimmable(name.back()))
        name.chop(1);
    constexpr qsizetype limit = 100;
    if (name.size() > limit) {
        name.truncate(name.at(limit - 1).isHighSurrogate() ? limit - 1 : limit);
        while (!name.isEmpty() && trimmable(name.back()))
            name.chop(1);
    }
    return name;
}

// The file name of each selected row, without its suffix: the row's number, zero-padded to
// the width of the largest, or the value of the --name column. Names that differ only in case
// are duplicates too (other systems do not tell them apart).
std::vector<std::string> LetterNames(const TCaseTable &table, const std::vector<std::size_t> &rows,
                                     const std::string &nameColumn)
{
    const int width = static_cast<int>(std::to_string(table.RowCount()).size());
    const auto numbered = [width](std::size_t row) {
        return QStringLiteral("%1").arg(static_cast<qulonglong>(row + 1), width, 10, QChar(u'0'));
    };
    const std::size_t column = nameColumn.empty() ? std::size_t(0) : NameColumn(table, nameColumn);
    std::set<QString> taken;
    std::vector<std::string> names;
    names.reserve(rows.size());
    for (const std::size_t row : rows) {
        QString name = nameColumn.empty() ? QString() : SafeFileName(table.Cell(row, column));
        if (name.isEmpty())
            name = numbered(row);
        QString unique = name;
        for (int n = 2; !taken.insert(unique.toCaseFolded()).second; ++n)
            unique = QStringLiteral("%1 (%2)").arg(name).arg(n);
        names.push_back(unique.toStdString());
    }
    return names;
}

std::string RowLabel(const std::string &table, std::size_t row)
{
    return table + " row " + std::to_string(row + 1);
}

void PrintWarnings(const TCaseTable &table)
{
    for (const std::string &warning : table.Warnings())
        std::fprintf(stderr, "zarvel-cli: %s\n", ForTerminal(warning).c_str());
}

// One row: merge, then write. False, with the reason on stderr, when it stopped.
bool MergeRow(const TTableOptions &options, const TMergeTemplate &mergeTemplate,
              const TCaseTable &table, std::size_t row, const std::string &path,
              CliProgressLine &progress, CliOutputBatch &batch)
{
    const std::string label = RowLabel(options.Table, row);
    try {
        TMergeEngine engine(table.InformationLines(row));
        engine.SetOverwriteMode(options.Overwrite);
        const TMergeResult result = engine.Merge(mergeTemplate);
        if (!result.Finished()) {
            progress.Clear();
            std::fprintf(stderr, "zarvel-cli merge: %s: %s\n", label.c_str(),
                         ForTerminal(result.MessageText).c_str());
            return false;
        }
        const std::string &outputName = path;
        const CliOutputFile output(outputName, "stdout", &batch);
        WriteLetterFile(output.Path(), result.Text, options.Format);
        output.Finish();
        progress.Clear();
        std::fprintf(stdout, "%s: %d replacements -> %s\n", label.c_str(), result.Count,
                     outputName.c_str());
        const std::string notes = MergeNotesLines(result);
        if (!notes.empty())
            std::fprintf(stderr, "zarvel-cli merge: %s: please check:\n%s", label.c_str(),
                         ForTerminal(notes).c_str());
        return true;
    } catch (const std::exception &e) {
        progress.Clear();
        std::fprintf(stderr, "zarvel-cli merge: %s: %s\n", label.c_str(), e.what());
        return false;
    }
}

// What a check of one row finds that may differ from row to row, one sentence each.
std::vector<std::string> RowIssues(const TTemplateCheck &check, const TCaseTable &table,
                                   std::size_t row)
{
    std::vector<std::string> issues;
    const auto named = [&table](long pair) {
        const auto column = static_cast<std::size_t>(pair - 1);
        return "@" + std::to_string(pair) + " (" + table.Headings()[column] + ")";
    };
    std::set<long> pairs;
    for (const TTemplateCheck::TPlaceholder &placeholder : check.Placeholders())
        if (placeholder.HasValue && pairs.insert(placeholder.Pair).second &&
            table.Cell(row, static_cast<std::size_t>(placeholder.Pair - 1)).empty())
            issues.push_back(named(placeholder.Pair) + " is empty");
    for (const TTemplateCheck::TEvaluatedValue &value : check.EvaluatedValues()) {
        if (!value.Error.empty() && !value.Quoted && !value.Spaced)
            issues.push_back(named(value.Pair) + " \"" + value.Value +
                             "\" cannot be computed and is merged as written: " + value.Error);
        else if (value.LooksLikeDateOrCode)
            issues.push_back(named(value.Pair) + " \"" + value.Value + "\" is computed as " +
                             TrimSpaces(value.Merged) + ", though it looks like a date or a code");
    }
    if (!check.MergeRunsToEnd()) {
        std::string message = check.Outcome().MessageText;
        for (char &c : message)
            if (c == ';')
                c = ' ';
        issues.push_back("the merge stops: " + message);
    }
    return issues;
}

std::string ListOrNone(const std::string &lines)
{
    return lines.empty() ? std::string("  (none)\n") : lines;
}
} // namespace

int RunTableMerge(const std::vector<std::string> &args)
{
    const TTableOptions options = ParseTableOptions(args);
    const TMergeTemplate mergeTemplate(LoadMergeText(options.Template));
    const TCaseTable table = TSpreadsheetTable::Read(options.Table);
    const std::vector<std::size_t> rows = SelectedRows(options.Rows, table.RowCount());
    const std::vector<std::string> names = LetterNames(table, rows, options.NameColumn);
    PrintWarnings(table);

    if (!MakeFolders(options.OutputDir))
        throw EFCreateError(options.OutputDir);
    const std::string suffix = SuffixOf(options.Format);
    int failures = 0;
    CliOutputBatch batch;
    CliProgressLine progress;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        progress.Show("[" + std::to_string(i + 1) + "/" + std::to_string(rows.size()) + "] " +
                      RowLabel(options.Table, rows[i]));
        const std::string path = InFolder(options.OutputDir, names[i] + suffix);
        if (SameFile(path, options.Table) || SameFile(path, options.Template)) {
            progress.Clear();
            std::fprintf(stderr,
                         "zarvel-cli merge: %s: its letter would be written over an input of the "
                         "merge, %s; it is not written\n",
                         RowLabel(options.Table, rows[i]).c_str(), path.c_str());
            ++failures;
            continue;
        }
        if (!MergeRow(options, mergeTemplate, table, rows[i], path, progress, batch))
            ++failures;
    }
    progress.Clear();
    return FinishMergeBatch(batch, failures, rows.size(), "rows");
}

int RunTableCheck(const std::vector<std::string> &args)
{
    bool overwrite = false;
    std::vector<std::string> files;
    for (const std::string &arg : args) {
        if (arg == "--overwrite")
            overwrite = true;
        else if (CliCommand::IsOption(arg))
            throw CliUsageError("unknown option " + arg + " for a table");
        else
            files.push_back(arg);
    }
    if (files.size() != 2)
        throw CliUsageError("a template and one table are needed");
    const std::string mergeText = LoadMergeText(files[0]);
    const TCaseTable table = TSpreadsheetTable::Read(files[1]);
    PrintWarnings(table);

    // The first row's report in full; of the others only what is not the same in every row.
    std::string report;
    std::map<std::string, std::size_t> rowsWith;
    std::vector<std::vector<std::string>> issues(table.RowCount());
    bool runsToEnd = true;
    CliProgressLine progress;
    for (std::size_t row = 0; row < table.RowCount(); ++row) {
        if (row % 64 == 0)
            progress.Show("[" + std::to_string(row + 1) + "/" + std::to_string(table.RowCount()) +
                          "] " + RowLabel(files[1], row));
        const TTemplateCheck check(mergeText, table.InformationLines(row), overwrite);
        if (row == 0)
            report = TemplateCheckReport(check, RowLabel(files[1], row), overwrite);
        runsToEnd = runsToEnd && check.MergeRunsToEnd();
        issues[row] = RowIssues(check, table, row);
        for (const std::string &issue : issues[row])
            ++rowsWith[issue];
    }
    progress.Clear();

    std::string common;
    for (const auto &[issue, count] : rowsWith)
        if (count == table.RowCount())
            common += "  " + issue + "\n";
    std::string differing;
    for (std::size_t row = 0; row < table.RowCount(); ++row)
        for (const std::string &issue : issues[row])
            if (rowsWith[issue] < table.RowCount())
                differing += "  row " + std::to_string(row + 1) + " (line " +
                             std::to_string(table.FileLineOf(row)) + "): " + issue + "\n";
    report += "\nThe " + std::to_string(table.RowCount()) + " rows of " + files[1] +
              "\nIn every row:\n" + ListOrNone(common) + "Only in some rows:\n" +
              ListOrNone(differing);
    std::fputs(ForTerminal(report).c_str(), stdout);
    std::fflush(stdout);
    return runsToEnd ? 0 : 1;
}
