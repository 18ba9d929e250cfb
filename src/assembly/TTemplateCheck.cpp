#include "assembly/TTemplateCheck.h"

#include "assembly/MergedValue.h"
#include "assembly/TMergeEngine.h"
#include "assembly/TPlaceholderScanner.h"
#include "assembly/TRtfTextMap.h"
#include "assembly/TSplitPlaceholders.h"
#include "assembly/TValueGraph.h"
#include "calc/ExpressionEvaluator.h"

#include <algorithm>
#include <map>
#include <set>

namespace {
// Without an information file the check invents values for pairs up to this number; a
// template that names higher pairs is reported as missing them.
constexpr long SyntheticPairLimit = 10000;
} // namespace

TTemplateCheck::TTemplateCheck(const std::string &templateText,
                               std::optional<std::vector<std::string>> informationLines,
                               bool overwriteMode)
    : FHasInformation(informationLines.has_value())
{
    // What the merge reads: the placeholders that only neutral formatting splits are joined.
    std::string mergeText = templateText;
    TSplitPlaceholders::Join(mergeText, overwriteMode);
    if (informationLines)
        FLines = std::move(*informationLines);
    FindPlaceholders(mergeText, overwriteMode);
    if (!FHasInformation)
        FLines = SyntheticLines();
    FindSplits(mergeText, overwriteMode);
    if (FHasInformation)
        FindPairUse(mergeText, overwriteMode);

    TMergeEngine engine(FLines);
    engine.SetOverwriteMode(overwriteMode);
    FOutcome = engine.Merge(templateText);
}

void TTemplateCheck::FindPlaceholders(const std::string &mergeText, bool overwriteMode)
{
    const TMergeValueEncoder encoder(mergeText);
    const TValueGraph lookup(FLines, encoder, overwriteMode);
    std::map<std::string, std::size_t> seen;
    TPlaceholderScanner scanner(mergeText, TPlaceholderScanner::KindOf(mergeText), overwriteMode);
    while (const auto match = scanner.Next()) {
        FPlaceholderAt.emplace(match->Position, match->Text);
        const auto found = seen.find(match->Text);
        if (found != seen.end()) {
            ++FPlaceholders[found->second].Count;
            continue;
        }
        seen.emplace(match->Text, FPlaceholders.size());
        TPlaceholder placeholder;
        placeholder.Text = match->Text;
        placeholder.Count = 1;
        placeholder.Pair = match->Number;
        placeholder.HasValue = FHasInformation && lookup.HasPair(match->Number);
        FPlaceholders.push_back(placeholder);
    }
}

std::vector<std::string> TTemplateCheck::SyntheticLines() const
{
    long highest = 0;
    for (const TPlaceholder &placeholder : FPlaceholders)
        if (placeholder.Pair <= SyntheticPairLimit)
            highest = std::max(highest, placeholder.Pair);
    std::vector<std::string> lines;
    lines.reserve(static_cast<std::size_t>(highest) * 2);
    for (long n = 1; n <= highest; ++n) {
        lines.emplace_back();
        lines.emplace_back(std::to_string(n).size() + 1, 'x');
    }
    return lines;
}

std::vector<TTemplateCheck::TPlaceholder> TTemplateCheck::MissingValues() const
{
    std::vector<TPlaceholder> missing;
    for (const TPlaceholder &placeholder : FPlaceholders)
        if (!placeholder.HasValue)
            missing.push_back(placeholder);
    return missing;
}

// A placeholder of the visible text is split when its characters do not stand together, as
// themselves, in the raw text, so that the merge reads something else there or nothing.
void TTemplateCheck::FindSplits(const std::string &mergeText, bool overwriteMode)
{
    const TRtfTextMap map(mergeText);
    const std::string &visible = map.Text();
    TPlaceholderScanner scanner(visible, TPlaceholderScanner::TTextKind::Plain, overwriteMode);
    while (const auto match = scanner.Next()) {
        const std::size_t k = match->Position;
        const std::size_t offset = map.RawOffset(k);
        const auto read = map.IsLiteral(k) ? FPlaceholderAt.find(offset) : FPlaceholderAt.end();
        bool whole = read != FPlaceholderAt.end() && read->second == match->Text;
        for (std::size_t j = k; j < k + match->Text.size() && whole; ++j)
            whole = map.IsLiteral(j) && map.RawOffset(j) == offset + (j - k);
        if (whole)
            continue;
        TSplitPlaceholder split;
        split.Visible = match->Text;
        if (read != FPlaceholderAt.end())
            split.MergeReads = read->second;
        split.Line =
            1 + static_cast<std::size_t>(std::count(
                    mergeText.begin(), mergeText.begin() + static_cast<long>(offset), '\n'));
        FSplits.push_back(split);
    }
}

void TTemplateCheck::FindPairUse(const std::string &mergeText, bool overwriteMode)
{
    const TMergeValueEncoder encoder(mergeText);
    TValueGraph values(FLines, encoder, overwriteMode);
    std::set<long> used;
    std::vector<long> pending;
    for (const TPlaceholder &placeholder : FPlaceholders)
        if (values.HasPair(placeholder.Pair) && used.insert(placeholder.Pair).second)
            pending.push_back(placeholder.Pair);
    // Placeholders inside used values are merged in later steps and use their pairs too.
    while (!pending.empty()) {
        const long pair = pending.back();
        pending.pop_back();
        for (const long n : values.Targets(pair))
            if (used.insert(n).second)
                pending.push_back(n);
    }
    const long pairs = static_cast<long>(FLines.size() / 2);
    for (long n = 1; n <= pairs; ++n) {
        const std::string &value = FLines[values.ValueLineIndex(n)];
        if (!used.count(n)) {
            FUnusedPairs.push_back({n, FLines[values.ValueLineIndex(n) - 1], value});
            continue;
        }
        if (!HasOperator(value))
            continue;
        TEvaluatedValue evaluated;
        evaluated.Pair = n;
        evaluated.Value = value;
        evaluated.Merged = values.Merged(n);
        evaluated.Quoted = IsQuotedValue(value);
        evaluated.Spaced = !evaluated.Quoted && !IsComputedValue(value);
        if (!evaluated.Quoted && !evaluated.Spaced && evaluated.Merged == value) {
            EvaluateExpression(value);
            evaluated.Error = GetExpressionError();
        }
        evaluated.LooksLikeDateOrCode =
            !evaluated.Quoted && !evaluated.Spaced && evaluated.Error.empty() &&
            LooksLikeDateOrCode(value);
        FEvaluated.push_back(evaluated);
    }
}
