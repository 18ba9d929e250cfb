// Arbitrary template bytes and information lines through the merge in both modes and through
// the template check: every merge ends, stays within the engine's size bound, a template
// prepared for a batch merges the same, and the check reaches the same outcome as the merge it
// forecasts.
//
// Input: the first byte holds the options (bit 0 overwrite mode); the rest is the template,
// then a NUL byte, then the information file (lines broken at LF).
#include "assembly/TMergeEngine.h"
#include "assembly/TMergeTemplate.h"
#include "assembly/TTemplateCheck.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {
std::vector<std::string> SplitAtLineFeeds(const std::string &text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

TMergeResult MergeAndCheck(const std::string &mergeText, const std::vector<std::string> &lines,
                           bool overwrite)
{
    TMergeEngine engine(lines);
    engine.SetOverwriteMode(overwrite);
    TMergeResult result = engine.Merge(mergeText);
    Require(result.Text.size() <= TMergeEngine::SizeBound(mergeText.size()));
    Require(result.Count >= 0);
    Require(result.Finished() == result.MessageText.empty());

    // A template prepared once for a batch merges the same, each time it is merged.
    const TMergeTemplate prepared(mergeText);
    for (int time = 0; time < 2; ++time) {
        const TMergeResult again = engine.Merge(prepared);
        Require(again.Text == result.Text && again.Count == result.Count &&
                again.Stop == result.Stop && again.MessageText == result.MessageText);
    }

    const TTemplateCheck check(mergeText, lines, overwrite);
    Require(check.Outcome().Stop == result.Stop);
    Require(check.Outcome().Count == result.Count);
    Require(check.Outcome().Text == result.Text);
    Require(check.MergeRunsToEnd() == result.Finished());
    return result;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const bool overwriteFirst = data[0] & 1;
    const std::string rest(reinterpret_cast<const char *>(data + 1), size - 1);
    const std::size_t separator = rest.find('\0');
    const std::string mergeText = rest.substr(0, separator);
    const std::vector<std::string> lines = separator == std::string::npos
                                               ? std::vector<std::string>()
                                               : SplitAtLineFeeds(rest.substr(separator + 1));

    const TMergeResult first = MergeAndCheck(mergeText, lines, overwriteFirst);
    MergeAndCheck(mergeText, lines, !overwriteFirst);

    // Without an "@" insert mode has nothing to do: the template comes back as it was.
    if (mergeText.find('@') == std::string::npos) {
        const TMergeResult insert = overwriteFirst ? TMergeEngine(lines).Merge(mergeText) : first;
        Require(insert.Finished() && insert.Count == 0 && insert.Text == mergeText);
    }

    // The template alone, every pair given a plain value of its placeholder's length.
    const TTemplateCheck alone(mergeText, std::nullopt, overwriteFirst);
    Require(alone.Outcome().Text.size() <= TMergeEngine::SizeBound(mergeText.size()));
    return 0;
}
