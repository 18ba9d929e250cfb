// zarvel-cli merge and check: the merge of "Do It" without a window, for one case or a batch
// of information files, and a check of what a merge will meet.
#include "CliArguments.h"
#include "CliCommand.h"
#include "CliInformationReader.h"
#include "CliLetterFile.h"
#include "CliMergeTable.h"
#include "CliOutputBatch.h"
#include "CliOutputFile.h"
#include "CliPath.h"
#include "CliProgressLine.h"

#include "assembly/AssemblyTexts.h"
#include "assembly/MergeTextFile.h"
#include "assembly/TPlainInformationFile.h"
#include "assembly/TMergeEngine.h"
#include "assembly/TMergeTemplate.h"
#include "assembly/TTemplateCheck.h"
#include "assembly/TemplateCheckReport.h"
#include "text/StringUtils.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <optional>
#include <set>
#include <stdexcept>

namespace {
using TOutputFormat = TLetterFormat;

struct TMergeOptions
{
    std::string Template;
    std::vector<std::string> InformationFiles;
    std::string Output;    // -o
    std::string OutputDir; // --out-dir
    std::string Format;    // --format
    std::string DebugFile; // --debug-file
    bool Overwrite = false;
};

// A line in which a pair's heading became a value: say so, as the window does when the file is
// selected. The merge still runs.
void WarnOddLines(const char *command, const std::string &informationFile,
                  const std::vector<std::string> &lines)
{
    if (lines.size() % 2 == 0)
        return;
    std::fprintf(stderr,
                 "zarvel-cli %s: %s: the information file has an odd number of lines (%zu); "
                 "there must be an even number, with the information on the even lines, or "
                 "every pair after the odd line is shifted\n",
                 command, informationFile.c_str(), lines.size());
}

// Whether two names lead to the same existing file.
TMergeOptions ParseMergeOptions(const std::vector<std::string> &args)
{
    TMergeOptions options;
    std::vector<std::string> files;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &arg = args[i];
        if (arg == "-o" || arg == "--output")
            options.Output = NeedValue(args, i);
        else if (arg == "--out-dir")
            options.OutputDir = NeedValue(args, i);
        else if (arg == "--format")
            options.Format = NeedValue(args, i);
        else if (arg == "--debug-file")
            options.DebugFile = NeedValue(args, i);
        else if (arg == "--overwrite")
            options.Overwrite = true;
        else if (arg.size() > 1 && arg[0] == '-')
            throw CliUsageError("unknown option " + arg);
        else
            files.push_back(arg);
    }
    if (files.size() < 2)
        throw CliUsageError("a template and at least one information file are needed");
    options.Template = files.front();
    options.InformationFiles.assign(files.begin() + 1, files.end());
    if (options.Output.empty() == options.OutputDir.empty())
        throw CliUsageError("give either -o OUT or --out-dir DIR");
    if (!options.Output.empty() && options.InformationFiles.size() > 1)
        throw CliUsageError("-o takes one information file; use --out-dir for a batch");
    if (!options.Output.empty() && options.Output != "-" && !options.Format.empty())
        throw CliUsageError("--format goes with --out-dir or -o -; -o takes the format from the "
                            "name");
    if (!options.Format.empty() && options.Format != "rtf" && options.Format != "html")
        throw CliUsageError("--format is rtf or html");
    return options;
}

TOutputFormat FormatOfName(const std::string &name)
{
    std::string suffix = SuffixOf(name);
    // Only the four ASCII suffixes count, so ASCII case is all there is to fold.
    std::transform(suffix.begin(), suffix.end(), suffix.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (suffix == "rtf" || suffix == "tem")
        return TOutputFormat::Rtf;
    if (suffix == "htm" || suffix == "html")
        return TOutputFormat::Html;
    throw CliUsageError("the output name must end in .rtf, .tem, .htm or .html: " + name);
}

// One case: merge, then write. Returns false, with the reason on stderr, when it stopped. The
// line that reports a case goes to standard output, or to standard error when the merged text
// itself goes to standard output. Without a batch, the letter is flushed to the disk on its own.
bool MergeCase(const TMergeOptions &options, const TMergeTemplate &mergeTemplate,
               CliInformationReader &reader, const std::string &informationFile,
               const std::string &outputName, TOutputFormat format, CliProgressLine &progress,
               CliOutputBatch *batch = nullptr)
{
    try {
        std::vector<std::string> lines = reader.Read(informationFile);
        if (lines.size() % 2 != 0) {
            progress.Clear();
            WarnOddLines("merge", informationFile, lines);
        }
        TMergeEngine engine(std::move(lines));
        engine.SetOverwriteMode(options.Overwrite);
        if (!options.DebugFile.empty())
            engine.SetStepHook(
                [&](const std::string &text) { SaveTextFile(options.DebugFile, text); });
        const TMergeResult result = engine.Merge(mergeTemplate);
        if (!result.Finished()) {
            progress.Clear();
            std::fprintf(stderr, "zarvel-cli merge: %s: %s\n", informationFile.c_str(),
                         ForTerminal(result.MessageText).c_str());
            return false;
        }
        const CliOutputFile output(outputName,
                                   CompleteBaseNameOf(informationFile) +
                                       (format == TOutputFormat::Html ? ".html" : ".rtf"),
                                   batch);
        WriteLetterFile(output.Path(), result.Text, format);
        output.Finish();
        progress.Clear();
        std::fprintf(output.IsStdout() ? stderr : stdout, "%s: %d replacements -> %s\n",
                     informationFile.c_str(), result.Count,
                     output.IsStdout() ? "standard output" : outputName.c_str());
        const std::string notes = MergeNotesLines(result);
        if (!notes.empty())
            std::fprintf(stderr, "zarvel-cli merge: %s: please check:\n%s", informationFile.c_str(),
                         ForTerminal(notes).c_str());
        return true;
    } catch (const CliUsageError &) {
        throw;
    } catch (const std::exception &e) {
        progress.Clear();
        std::fprintf(stderr, "zarvel-cli merge: %s: %s\n", informationFile.c_str(), e.what());
        return false;
    }
}

int RunMerge(const std::vector<std::string> &args)
{
    if (NamesCaseTable(args))
        return RunTableMerge(args);
    const TMergeOptions options = ParseMergeOptions(args);
    if (!options.Output.empty() && options.Output != "-") {
        const std::string &output = options.Output;
        if (SameFile(output, options.Template))
            throw CliUsageError("-o names the template " + options.Template +
                                "; the merge never writes over its own input");
        if (SameFile(output, options.InformationFiles.front()))
            throw CliUsageError("-o names the information file " +
                                options.InformationFiles.front() +
                                "; the merge never writes over its own input");
    }
    // Its placeholders are found once for the whole batch.
    const TMergeTemplate mergeTemplate(LoadMergeText(options.Template));
    CliInformationReader reader;

    const TOutputFormat format =
        options.Format == "html" ? TOutputFormat::Html : TOutputFormat::Rtf;
    if (!options.Output.empty()) {
        CliProgressLine noProgress;
        return MergeCase(options, mergeTemplate, reader, options.InformationFiles.front(),
                         options.Output,
                         options.Output == "-" ? format : FormatOfName(options.Output), noProgress)
                   ? 0
                   : 1;
    }

    const std::string suffix = format == TOutputFormat::Html ? ".html" : ".rtf";
    if (!MakeFolders(options.OutputDir))
        throw EFCreateError(options.OutputDir);

    int failures = 0;
    std::set<std::string> written;
    CliOutputBatch batch;
    CliProgressLine progress;
    const std::size_t total = options.InformationFiles.size();
    for (std::size_t i = 0; i < total; ++i) {
        const std::string &informationFile = options.InformationFiles[i];
        progress.Show("[" + std::to_string(i + 1) + "/" + std::to_string(total) + "] " +
                      informationFile);
        const std::string path =
            InFolder(options.OutputDir, CompleteBaseNameOf(informationFile) + suffix);
        if (SameFile(path, informationFile) || SameFile(path, options.Template)) {
            progress.Clear();
            std::fprintf(stderr,
                         "zarvel-cli merge: %s: its letter would be written over an input of the "
                         "merge, %s; it is not written\n",
                         informationFile.c_str(), path.c_str());
            ++failures;
            continue;
        }
        if (!written.insert(AbsolutePath(path)).second) {
            progress.Clear();
            std::fprintf(stderr,
                         "zarvel-cli merge: %s: another information file of this batch has the "
                         "same name; %s is not written twice\n",
                         informationFile.c_str(), path.c_str());
            ++failures;
            continue;
        }
        if (!MergeCase(options, mergeTemplate, reader, informationFile, path, format, progress,
                       &batch))
            ++failures;
    }
    progress.Clear();
    return FinishMergeBatch(batch, failures, options.InformationFiles.size(), "cases");
}

// Whether reading one of the information files takes the document model: all but plain text.
bool InformationNeedsDocumentModel(const std::vector<std::string> &fileNames)
{
    return std::any_of(fileNames.begin(), fileNames.end(), [](const std::string &name) {
        return !TPlainInformationFile::LinesOfFile(name).has_value();
    });
}

// The information files of a merge need the document model; wrong arguments do not. A
// table's letters may be printed, and a spreadsheet is read through LibreOffice.
bool MergeNeedsDocumentModel(const std::vector<std::string> &args)
{
    if (NamesCaseTable(args))
        return true;
    try {
        return InformationNeedsDocumentModel(ParseMergeOptions(args).InformationFiles);
    } catch (const CliUsageError &) {
        return false;
    }
}

// The information file of check, the one after its template, may need the document model.
bool CheckNeedsDocumentModel(const std::vector<std::string> &args)
{
    if (NamesCaseTable(args))
        return true;
    std::vector<std::string> files;
    for (const std::string &arg : args)
        if (arg.size() < 2 || arg[0] != '-')
            files.push_back(arg);
    return files.size() == 2 && InformationNeedsDocumentModel({files[1]});
}

int RunCheck(const std::vector<std::string> &args)
{
    if (NamesCaseTable(args))
        return RunTableCheck(args);
    std::vector<std::string> files;
    bool overwrite = false;
    for (const std::string &arg : args) {
        if (arg == "--overwrite")
            overwrite = true;
        else if (arg.size() > 1 && arg[0] == '-')
            throw CliUsageError("unknown option " + arg);
        else
            files.push_back(arg);
    }
    if (files.empty() || files.size() > 2)
        throw CliUsageError("a template and at most one information file are needed");
    const std::string mergeText = LoadMergeText(files[0]);
    std::optional<std::vector<std::string>> lines;
    if (files.size() == 2) {
        lines = CliInformationReader().Read(files[1]);
        WarnOddLines("check", files[1], *lines);
    }
    const TTemplateCheck check(mergeText, std::move(lines), overwrite);
    const std::string informationName = files.size() == 2 ? files[1] : std::string();
    const std::string report = TemplateCheckReport(check, informationName, overwrite);
    std::fputs(ForTerminal(report).c_str(), stdout);
    std::fflush(stdout);
    return check.MergeRunsToEnd() ? 0 : 1;
}

const CliCommand MergeCommand(
    "merge",
    "TEMPLATE INF...|TABLE (-o OUT | --out-dir DIR) [--format rtf|html|pdf] [--overwrite] "
    "[--debug-file FILE] [--name COLUMN] [--rows LIST]",
    RunMerge,
    "Merges TEMPLATE with the values of each information file INF, as \"Do It\" does.\n"
    "  -o OUT             one case, written to OUT: rich text for .rtf or .tem, HTML for .htm\n"
    "                     or .html; -o - writes it to standard output (rich text, or HTML\n"
    "                     with --format html)\n"
    "  --out-dir DIR      a batch: each case to DIR, named after its information file\n"
    "  --format rtf|html  the format of a batch or of -o - (rich text when not given)\n"
    "  --overwrite        overwrite mode: a value longer than its placeholder covers the\n"
    "                     template's text after it instead of pushing it along\n"
    "  --debug-file FILE  writes the merge text after every step to FILE\n"
    "TABLE, a .csv or .tsv file with a header row, holds one case per row: column n is the\n"
    "value of @n and its header cell the heading. A line break in a cell becomes a space.\n"
    "A spreadsheet (.ods, .xlsx) is read as a table where LibreOffice is installed.\n"
    "A table takes --out-dir and --overwrite, and these:\n"
    "  --out-dir DIR      one letter per row, named by the row's number (zero-padded)\n"
    "  --name COLUMN      names the letters by the values of a column (its heading or its\n"
    "                     number), made safe as file names; duplicates get \" (2)\", ...\n"
    "  --rows LIST        only these rows, counted from 1 under the header: 1-5,8,10-\n"
    "  --format pdf       prints each row's letter to PDF as print-pdf does\n"
    "A batch shows how far it has got on standard error when that is a terminal.\n"
    "Exit status: 0 every case merged, 1 a case stopped or failed, 2 wrong arguments.",
    // A table's letters may be printed.
    MergeNeedsDocumentModel, NamesCaseTable);
const CliCommand CheckCommand(
    "check", "TEMPLATE [INF | TABLE] [--overwrite]", RunCheck,
    "Reports what a merge of TEMPLATE (with the values of INF) will meet: its placeholders,\n"
    "values that are missing, pairs no placeholder uses, values that will be evaluated,\n"
    "placeholders split by formatting, and where the merge stops if it does.\n"
    "With a TABLE: that report for its first row, then what differs between rows (values\n"
    "that cannot be computed, empty cells that placeholders use, rows where the merge stops).\n"
    "Exit status: 0 the merge runs to the end, 1 it stops, 2 wrong arguments.",
    CheckNeedsDocumentModel, CliCommand::NoWidgets);
} // namespace
