// zarvel-cli merge and check: the merge of "Do It" without a window, for one case or a batch
// of information files, and a check of what a merge will meet.
#include "CliCommand.h"

#include "assembly/InformationFile.h"
#include "assembly/TMergeEngine.h"
#include "assembly/TTemplateCheck.h"
#include "rtf2html/StringUtils.h"

#if __has_include("rtf2html/RtfToHtml.h")
#include "rtf2html/RtfToHtml.h"
#define ZARVEL_HAS_HTML_CONVERTER 1
#endif

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryDir>

#include <cstdio>
#include <optional>
#include <set>
#include <stdexcept>

namespace {
enum class TOutputFormat { Rtf, Html };

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

QString ToQString(const std::string &path)
{
    return QString::fromLocal8Bit(path.c_str());
}

std::string FromQString(const QString &path)
{
    return path.toLocal8Bit().toStdString();
}

// A text for a terminal line: control characters and bytes above 126 written as escapes.
std::string Printable(const std::string &text)
{
    std::string out;
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\t')
            out += "\\t";
        else if (c < 32 || c > 126) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        } else
            out += ch;
    }
    return out;
}

std::string NeedValue(const std::vector<std::string> &args, std::size_t &i)
{
    if (i + 1 >= args.size())
        throw CliUsageError(args[i] + " needs a value");
    return args[++i];
}

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
    if (!options.Output.empty() && !options.Format.empty())
        throw CliUsageError("--format goes with --out-dir; -o takes the format from the name");
    if (!options.Format.empty() && options.Format != "rtf" && options.Format != "html")
        throw CliUsageError("--format is rtf or html");
    return options;
}

TOutputFormat FormatOfName(const std::string &name)
{
    const QString suffix = QFileInfo(ToQString(name)).suffix().toLower();
    if (suffix == "rtf" || suffix == "tem")
        return TOutputFormat::Rtf;
    if (suffix == "htm" || suffix == "html")
        return TOutputFormat::Html;
    throw CliUsageError("the output name must end in .rtf, .tem, .htm or .html: " + name);
}

void WriteFileAtomically(const QString &path, const std::string &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw EFCreateError(FromQString(path));
    if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
            static_cast<qint64>(bytes.size()) ||
        !file.commit())
        throw EWriteError(FromQString(path));
}

// The merged rich text converted by the program's converter. The rich text goes to a scratch
// folder under the output's name (the page's title is that file's name); the page is written
// beside its final name and renamed only once the conversion has succeeded, so a failed case
// leaves no page behind.
void WriteHtml(const QString &path, const std::string &richText)
{
#ifdef ZARVEL_HAS_HTML_CONVERTER
    QTemporaryDir scratch;
    if (!scratch.isValid())
        throw EFCreateError(FromQString(scratch.path()));
    const QFileInfo target(path);
    const QString rtf = scratch.filePath(target.completeBaseName() + ".rtf");
    SaveTextFile(FromQString(rtf), richText);
    const QString partial = target.absoluteDir().filePath(
        "." + target.fileName() + "." + QFileInfo(scratch.path()).fileName() + ".part");
    try {
        ConvertRtfToHtml(FromQString(rtf), FromQString(partial), {std::string()});
    } catch (...) {
        QFile::remove(partial);
        throw;
    }
    if (std::rename(FromQString(partial).c_str(), FromQString(path).c_str()) != 0) {
        QFile::remove(partial);
        throw EFCreateError(FromQString(path));
    }
#else
    (void)path;
    (void)richText;
    throw std::runtime_error("HTML output needs the rich text to HTML converter, which this "
                             "build does not have");
#endif
}

void WriteOutput(const QString &path, const std::string &richText, TOutputFormat format)
{
    if (format == TOutputFormat::Rtf)
        WriteFileAtomically(path, richText);
    else
        WriteHtml(path, richText);
}

// One case: merge, then write. Returns false, with the reason on stderr, when it stopped.
bool MergeCase(const TMergeOptions &options, const std::string &mergeText,
               const std::string &informationFile, const QString &outputPath, TOutputFormat format)
{
    try {
        TMergeEngine engine(ReadInformationFile(informationFile));
        engine.SetOverwriteMode(options.Overwrite);
        if (!options.DebugFile.empty())
            engine.SetStepHook(
                [&](const std::string &text) { SaveTextFile(options.DebugFile, text); });
        const TMergeResult result = engine.Merge(mergeText);
        if (!result.Finished()) {
            std::fprintf(stderr, "zarvel-cli merge: %s: %s\n", informationFile.c_str(),
                         result.MessageText.c_str());
            return false;
        }
        WriteOutput(outputPath, result.Text, format);
        std::printf("%s: %d replacements -> %s\n", informationFile.c_str(), result.Count,
                    FromQString(outputPath).c_str());
        return true;
    } catch (const CliUsageError &) {
        throw;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "zarvel-cli merge: %s: %s\n", informationFile.c_str(), e.what());
        return false;
    }
}

int RunMerge(const std::vector<std::string> &args)
{
    const TMergeOptions options = ParseMergeOptions(args);
    const std::string mergeText = LoadTextFile(options.Template);

    if (!options.Output.empty()) {
        const TOutputFormat format = FormatOfName(options.Output);
        return MergeCase(options, mergeText, options.InformationFiles.front(),
                         ToQString(options.Output), format)
                   ? 0
                   : 1;
    }

    const TOutputFormat format =
        options.Format == "html" ? TOutputFormat::Html : TOutputFormat::Rtf;
    const QString suffix = format == TOutputFormat::Html ? ".html" : ".rtf";
    QDir folder(ToQString(options.OutputDir));
    if (!folder.exists() && !QDir().mkpath(folder.path()))
        throw EFCreateError(options.OutputDir);

    int failures = 0;
    std::set<QString> written;
    for (const std::string &informationFile : options.InformationFiles) {
        const QString path =
            folder.filePath(QFileInfo(ToQString(informationFile)).completeBaseName() + suffix);
        if (!written.insert(QFileInfo(path).absoluteFilePath()).second) {
            std::fprintf(stderr,
                         "zarvel-cli merge: %s: another information file of this batch has the "
                         "same name; %s is not written twice\n",
                         informationFile.c_str(), FromQString(path).c_str());
            ++failures;
            continue;
        }
        if (!MergeCase(options, mergeText, informationFile, path, format))
            ++failures;
    }
    if (failures > 0)
        std::fprintf(stderr, "zarvel-cli merge: %d of %zu cases stopped\n", failures,
                     options.InformationFiles.size());
    return failures > 0 ? 1 : 0;
}

void PrintMessage(const std::string &message)
{
    // The message box breaks lines at ";".
    std::string line;
    for (const char c : message) {
        if (c == ';') {
            std::printf("    %s\n", line.c_str());
            line.clear();
        } else {
            line += c;
        }
    }
    std::printf("    %s\n", line.c_str());
}

void PrintCheck(const TTemplateCheck &check, const std::string &informationFile, bool overwrite)
{
    std::printf("Placeholders the merge will see, in order of first appearance:\n");
    if (check.Placeholders().empty())
        std::printf("  (none)\n");
    for (const auto &placeholder : check.Placeholders())
        std::printf("  %-12s %d time%s\n", Printable(placeholder.Text).c_str(), placeholder.Count,
                    placeholder.Count == 1 ? "" : "s");

    if (check.HasInformation()) {
        const auto missing = check.MissingValues();
        std::printf("\nPlaceholders without a value in %s:\n", informationFile.c_str());
        if (missing.empty())
            std::printf("  (none)\n");
        for (const auto &placeholder : missing) {
            if (placeholder.Pair < 1)
                std::printf("  %s (no pair number)\n", Printable(placeholder.Text).c_str());
            else
                std::printf("  %s (needs line %ld; the file has %zu lines)\n",
                            Printable(placeholder.Text).c_str(), placeholder.Pair * 2,
                            check.InformationLineCount());
        }

        std::printf("\nPairs that no placeholder uses:\n");
        if (check.UnusedPairs().empty())
            std::printf("  (none)\n");
        for (const auto &pair : check.UnusedPairs())
            std::printf("  pair %ld (@%ld): \"%s\" = \"%s\"\n", pair.Pair, pair.Pair,
                        Printable(pair.Heading).c_str(), Printable(pair.Value).c_str());

        std::printf("\nValues that will be evaluated:\n");
        if (check.EvaluatedValues().empty())
            std::printf("  (none)\n");
        for (const auto &value : check.EvaluatedValues()) {
            if (value.Error.empty())
                std::printf("  @%ld \"%s\" -> \"%s\"\n", value.Pair, Printable(value.Value).c_str(),
                            Printable(value.Merged).c_str());
            else
                std::printf("  @%ld \"%s\" -> kept as written (%s)\n", value.Pair,
                            Printable(value.Value).c_str(), value.Error.c_str());
        }
    } else {
        std::printf("\nNo information file given: the template alone is checked.\n");
    }

    std::printf("\nPlaceholders split by formatting in the rich text:\n");
    if (check.SplitPlaceholders().empty())
        std::printf("  (none)\n");
    for (const auto &split : check.SplitPlaceholders()) {
        if (split.MergeReads.empty())
            std::printf("  line %zu: \"%s\" is not seen by the merge at all\n", split.Line,
                        Printable(split.Visible).c_str());
        else
            std::printf("  line %zu: \"%s\" is read by the merge as \"%s\"\n", split.Line,
                        Printable(split.Visible).c_str(), Printable(split.MergeReads).c_str());
    }

    const TMergeResult &outcome = check.Outcome();
    const char *mode = overwrite ? "Overwrite mode" : "Insert mode";
    if (outcome.Finished()) {
        std::printf("\n%s: the merge runs to the end with %d replacements.\n", mode, outcome.Count);
    } else {
        std::printf("\n%s: the merge stops at %s after %d replacements:\n", mode,
                    Printable(outcome.Placeholder).c_str(), outcome.Count);
        PrintMessage(outcome.MessageText);
    }
}

int RunCheck(const std::vector<std::string> &args)
{
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
    const std::string mergeText = LoadTextFile(files[0]);
    std::optional<std::vector<std::string>> lines;
    if (files.size() == 2)
        lines = ReadInformationFile(files[1]);
    const TTemplateCheck check(mergeText, std::move(lines), overwrite);
    PrintCheck(check, files.size() == 2 ? files[1] : std::string(), overwrite);
    std::fflush(stdout);
    return check.MergeRunsToEnd() ? 0 : 1;
}

const CliCommand
    MergeCommand("merge",
                 "TEMPLATE INF... (-o OUT | --out-dir DIR [--format rtf|html]) [--overwrite] "
                 "[--debug-file FILE]",
                 RunMerge);
const CliCommand CheckCommand("check", "TEMPLATE [INF] [--overwrite]", RunCheck);
} // namespace
