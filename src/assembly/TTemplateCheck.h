#pragma once

#include "assembly/TMergeResult.h"

#include <cstddef>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

// What a merge of a template will meet, found before running it: the placeholders as the
// merge reads them in the raw rich text, the pairs missing from or unused in the information
// file, the values that will be computed (with their results, and whether they look like a
// date or a code rather than a sum), and the placeholders that the rich text splits with
// formatting so that the merge does not see them as the reader does. The outcome is the merge
// itself, run in memory without working files. TemplateCheckReport puts it into words.
class TTemplateCheck
{
public:
    struct TPlaceholder
    {
        std::string Text; // as the merge reads it
        int Count = 0;
        long Pair = 0;
        bool HasValue = false; // the information lines hold its pair
    };
    struct TUnusedPair
    {
        long Pair = 0;
        std::string Heading;
        std::string Value;
    };
    // A value with an operator character.
    struct TEvaluatedValue
    {
        long Pair = 0;
        std::string Value;
        std::string Merged;               // what takes the placeholder's place
        std::string Error;                // the evaluator's message when it keeps the text
        bool Quoted = false;              // its apostrophe keeps it from the evaluator
        bool Spaced = false;              // numbers with only spaces between: kept as written
        bool LooksLikeDateOrCode = false; // computed, though it looks like no sum
    };
    struct TSplitPlaceholder
    {
        std::string Visible;    // "@" and digits as a reader sees them
        std::string MergeReads; // the placeholder the merge reads there; empty when none
        std::size_t Line = 0;   // line of the template file, from 1
    };

    // Information lines absent: the template alone is checked, as if every pair it names had
    // a plain value as long as its placeholder.
    TTemplateCheck(const std::string &templateText,
                   std::optional<std::vector<std::string>> informationLines, bool overwriteMode);

    const std::vector<TPlaceholder> &Placeholders() const { return FPlaceholders; }
    std::vector<TPlaceholder> MissingValues() const;
    const std::vector<TUnusedPair> &UnusedPairs() const { return FUnusedPairs; }
    const std::vector<TEvaluatedValue> &EvaluatedValues() const { return FEvaluated; }
    const std::vector<TSplitPlaceholder> &SplitPlaceholders() const { return FSplits; }
    bool HasInformation() const { return FHasInformation; }
    std::size_t InformationLineCount() const { return FLines.size(); }
    // An information file of an odd number of lines: a line is missing or one too many, and
    // every pair after it is shifted.
    bool OddLineCount() const { return FHasInformation && FLines.size() % 2 == 1; }
    // The merge, run to its end or its stop.
    const TMergeResult &Outcome() const { return FOutcome; }

    // The merge would run to the end.
    bool MergeRunsToEnd() const { return FOutcome.Finished(); }

private:
    void FindPlaceholders(const std::string &mergeText, bool overwriteMode);
    void FindSplits(const std::string &mergeText, bool overwriteMode);
    void FindPairUse(const std::string &mergeText, bool overwriteMode);
    std::vector<std::string> SyntheticLines() const;

    bool FHasInformation;
    std::vector<std::string> FLines;
    std::vector<TPlaceholder> FPlaceholders;
    std::unordered_map<std::size_t, std::string> FPlaceholderAt; // by position in the raw text
    std::vector<TUnusedPair> FUnusedPairs;
    std::vector<TEvaluatedValue> FEvaluated;
    std::vector<TSplitPlaceholder> FSplits;
    TMergeResult FOutcome;
};
