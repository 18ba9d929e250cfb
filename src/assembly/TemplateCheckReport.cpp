#include "assembly/TemplateCheckReport.h"

#include "assembly/TTemplateCheck.h"

#include <cstdio>

namespace {
// A text of the files for one line of the report.
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
        else if (c < 32 || c == 127) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        } else
            out += ch;
    }
    return out;
}

std::string Quoted(const std::string &text)
{
    return "\"" + Printable(text) + "\"";
}

std::string Plural(std::size_t count, const char *word)
{
    return std::to_string(count) + " " + word + (count == 1 ? "" : "s");
}

// The message box breaks lines at ";".
std::string MessageLines(const std::string &message)
{
    std::string out = "    ";
    for (const char c : message)
        out += c == ';' ? std::string("\n    ") : std::string(1, c);
    return out + "\n";
}

// Two columns: the placeholder, then how often it occurs.
std::string PlaceholderLine(const std::string &text, int count)
{
    std::string name = Printable(text);
    if (name.size() < 12)
        name.append(12 - name.size(), ' ');
    return "  " + name + " " + Plural(static_cast<std::size_t>(count), "time") + "\n";
}

std::string Section(const std::string &heading, const std::string &lines)
{
    return "\n" + heading + "\n" + (lines.empty() ? std::string("  (none)\n") : lines);
}

std::string MissingLines(const TTemplateCheck &check)
{
    std::string lines;
    for (const auto &placeholder : check.MissingValues()) {
        lines += "  " + Printable(placeholder.Text);
        if (placeholder.Pair < 1)
            lines += " (names pair 0; pairs are numbered from 1)\n";
        else
            lines += " (needs line " +
                     std::to_string(static_cast<unsigned long long>(placeholder.Pair) * 2) +
                     "; the file has " + Plural(check.InformationLineCount(), "line") + ")\n";
    }
    return lines;
}

std::string UnusedLines(const TTemplateCheck &check)
{
    std::string lines;
    for (const auto &pair : check.UnusedPairs())
        lines += "  pair " + std::to_string(pair.Pair) + " (@" + std::to_string(pair.Pair) +
                 "): " + Quoted(pair.Heading) + " = " + Quoted(pair.Value) + "\n";
    return lines;
}

std::string ComputedLines(const TTemplateCheck &check)
{
    std::string lines;
    for (const auto &value : check.EvaluatedValues()) {
        lines += "  @" + std::to_string(value.Pair) + " " + Quoted(value.Value) + " -> ";
        if (value.Quoted)
            lines += Quoted(value.Merged) + " as written (it starts with an apostrophe)\n";
        else if (value.Spaced)
            lines += "kept as written (numbers with spaces between them are no sum)\n";
        else if (!value.Error.empty())
            lines += "kept as written (" + value.Error + ")\n";
        else
            lines += Quoted(value.Merged) + "\n";
        if (value.LooksLikeDateOrCode)
            lines += "      warning: this looks like a date, a time, a phone number or a code, "
                     "not a sum;\n      write it as '" +
                     Printable(value.Value) + " to merge it as written\n";
    }
    return lines;
}

std::string SplitLines(const TTemplateCheck &check)
{
    std::string lines;
    for (const auto &split : check.SplitPlaceholders()) {
        lines += "  line " + std::to_string(split.Line) + ": " + Quoted(split.Visible);
        if (split.MergeReads.empty())
            lines += " is not seen by the merge at all\n";
        else
            lines += " is read by the merge as " + Quoted(split.MergeReads) + "\n";
    }
    return lines;
}

std::string PushedLines(const TTemplateCheck &check)
{
    std::string lines;
    for (const auto &pushed : check.Outcome().Pushed)
        lines += "  line " + std::to_string(pushed.Line) + ": the value of " +
                 Printable(pushed.Placeholder) +
                 " meets formatting or the end of its line before it has covered its length; "
                 "the rest of it pushes the text along\n";
    return lines;
}

std::string OutcomeLines(const TTemplateCheck &check, bool overwriteMode)
{
    const TMergeResult &outcome = check.Outcome();
    const std::string mode = overwriteMode ? "Overwrite mode" : "Insert mode";
    if (outcome.Finished())
        return "\n" + mode + ": the merge runs to the end with " +
               Plural(static_cast<std::size_t>(outcome.Count), "replacement") + ".\n";
    return "\n" + mode + ": the merge stops at " + Printable(outcome.Placeholder) + " after " +
           Plural(static_cast<std::size_t>(outcome.Count), "replacement") + ":\n" +
           MessageLines(outcome.MessageText);
}
} // namespace

std::string TemplateCheckReport(const TTemplateCheck &check, const std::string &informationName,
                                bool overwriteMode)
{
    std::string placeholders;
    for (const auto &placeholder : check.Placeholders())
        placeholders += PlaceholderLine(placeholder.Text, placeholder.Count);
    std::string report = "Placeholders the merge will see, in order of first appearance:\n" +
                         (placeholders.empty() ? std::string("  (none)\n") : placeholders);
    if (check.OddLineCount())
        report += "\nThe information file " + informationName + " has an odd number of lines (" +
                  std::to_string(check.InformationLineCount()) +
                  "): a line is missing or one too many, and every pair after it is shifted.\n";
    if (check.HasInformation()) {
        report += Section("Placeholders without a value in " + informationName + ":",
                          MissingLines(check));
        report += Section("Pairs that no placeholder uses:", UnusedLines(check));
        report += Section("Values that will be computed:", ComputedLines(check));
    } else {
        report += "\nNo information file given: the template alone is checked.\n";
    }
    report += Section("Placeholders split by formatting in the rich text:", SplitLines(check));
    if (overwriteMode)
        report += Section("Values that push the text along in overwrite mode:", PushedLines(check));
    return report + OutcomeLines(check, overwriteMode);
}
