#include "assembly/AssemblyTexts.h"

std::string OverwriteClashText(const std::string &value, const std::string &placeholder)
{
    return std::string(" There is a problem here; The programme wants to insert ") + value + ";" +
           " into the space of " + placeholder + ";" +
           "Suggest you re-edit either template or INF file;" +
           " OR rerun this merge with overwrite set to false.";
}

namespace {
std::string LinesText(std::size_t count)
{
    return std::to_string(count) + (count == 1 ? " line" : " lines");
}

// Pair numbers whose value line no information file can have: past any count of lines.
constexpr long BeyondAnyFile = 1000000000L;

// How many pairs of a circle the message names before it only counts the rest.
constexpr std::size_t CircleNamed = 6;
} // namespace

std::string MissingValueMessage(const std::string &placeholder, long pair,
                                std::size_t informationLineCount, long origin)
{
    std::string detail;
    if (pair < 1)
        detail =
            placeholder + " names pair 0, but pairs are numbered from 1 (@1 is lines 1 and 2).";
    else if (pair >= BeyondAnyFile)
        detail = placeholder + " names a pair beyond the end of the INFORMATION file, which has " +
                 LinesText(informationLineCount) + ".";
    else
        detail = placeholder + " needs line " +
                 std::to_string(static_cast<unsigned long long>(pair) * 2) +
                 " of the INFORMATION file, which has " + LinesText(informationLineCount) + ".";
    if (origin > 0) {
        const std::string line = std::to_string(static_cast<unsigned long long>(origin) * 2);
        return "A value in the INFORMATION file contains a placeholder;that is not in the "
               "INFORMATION file ;Please correct the error before proceeding;;" +
               placeholder + " comes from the value of @" + std::to_string(origin) + " (line " +
               line + " of the INFORMATION file). " + detail;
    }
    return std::string(MissingValueText) + ";;" + detail;
}

std::string CircleText(const std::vector<long> &circle)
{
    const std::string tail =
        ";so the merge would never end. Please correct the error before proceeding";
    if (circle.size() <= 2) {
        const std::string placeholder = "@" + std::to_string(circle.empty() ? 0 : circle[0]);
        return "The value of " + placeholder + " in the INFORMATION file holds " + placeholder +
               " itself," + tail;
    }
    const std::size_t links = circle.size() - 1;
    std::string way;
    for (std::size_t i = 0; i < links && i < CircleNamed; ++i) {
        if (i > 0)
            way += ", ";
        way += "@" + std::to_string(circle[i]) + " holds @" + std::to_string(circle[i + 1]);
    }
    if (links > CircleNamed)
        way += ", and so on: " + std::to_string(links) + " values in all";
    return "Values in the INFORMATION file refer to each other in a circle:;" + way + tail;
}

std::string TooLongText(const std::string &placeholder)
{
    return "The values in the INFORMATION file hold placeholders of other values so often;that "
           "the merged text would grow without bound at " +
           placeholder + ";Please correct the error before proceeding";
}

std::string MergeProgressCaption(int count)
{
    return std::to_string(count) + "  replacements  ";
}

std::string MergeFinishCaption(int count)
{
    return std::to_string(count) + " replacements were made";
}

namespace {
// How many places of each kind a message names before it only counts the rest.
constexpr std::size_t NotesNamed = 8;

std::vector<std::string> NoteLines(const TMergeResult &result)
{
    std::vector<std::string> lines;
    const auto add = [&lines](const std::vector<TMergeNote> &notes, const std::string &what) {
        for (std::size_t i = 0; i < notes.size() && i < NotesNamed; ++i)
            lines.push_back(notes[i].Placeholder + " on line " + std::to_string(notes[i].Line) +
                            " of the template " + what);
        if (notes.size() > NotesNamed)
            lines.push_back("and " + std::to_string(notes.size() - NotesNamed) + " more");
    };
    add(result.Unmerged, "was not merged: formatting splits it");
    add(result.Pushed, "did not fit: its value pushed the text after it along");
    return lines;
}
} // namespace

std::string MergeNotesText(const TMergeResult &result)
{
    std::string text;
    for (const std::string &line : NoteLines(result))
        text += ";" + line;
    return text.empty() ? text : ";;Please check:" + text;
}

std::string MergeNotesLines(const TMergeResult &result)
{
    std::string text;
    for (const std::string &line : NoteLines(result))
        text += line + "\n";
    return text;
}
