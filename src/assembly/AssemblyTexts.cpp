#include "assembly/AssemblyTexts.h"

std::string OverwriteClashText(const std::string &value, const std::string &placeholder)
{
    return std::string(" There is a problem here; The programme wants to insert ") + value + ";" +
           " into the space of " + placeholder + ";" +
           "Suggest you re-edit either template or INF file;" +
           " OR rerun this merge with overwrite set to false.";
}

std::string MissingValueMessage(const std::string &placeholder, long pair,
                                std::size_t informationLineCount)
{
    std::string detail;
    if (pair < 1)
        detail =
            placeholder + " names pair 0, but pairs are numbered from 1 (@1 is lines 1 and 2).";
    else
        detail = placeholder + " needs line " +
                 std::to_string(static_cast<unsigned long long>(pair) * 2) +
                 " of the INFORMATION file, which has " + std::to_string(informationLineCount) +
                 (informationLineCount == 1 ? " line." : " lines.");
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
    std::string way;
    for (std::size_t i = 0; i + 1 < circle.size(); ++i) {
        if (i > 0)
            way += ", ";
        way += "@" + std::to_string(circle[i]) + " holds @" + std::to_string(circle[i + 1]);
    }
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
