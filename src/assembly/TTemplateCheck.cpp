#include "assembly/TTemplateCheck.h"

#include "assembly/TMergeEngine.h"
#include "assembly/TRtfTextMap.h"
#include "calc/ExpressionEvaluator.h"

#include <algorithm>
#include <map>
#include <set>

namespace {
// Without an information file the check invents values for pairs up to this number; a
// template that names higher pairs is reported as missing them.
constexpr long SyntheticPairLimit = 10000;

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}
} // namespace

TTemplateCheck::TTemplateCheck(const std::string &mergeText,
                               std::optional<std::vector<std::string>> informationLines,
                               bool overwriteMode)
    : FHasInformation(informationLines.has_value())
{
    if (informationLines)
        FLines = std::move(*informationLines);
    FindPlaceholders(mergeText);
    if (!FHasInformation)
        FLines = SyntheticLines();
    const TMergeEngine lookup(FLines);
    for (TPlaceholder &placeholder : FPlaceholders) {
        std::size_t index = 0;
        placeholder.HasValue = FHasInformation && lookup.ValueLineIndex(placeholder.Text, index);
    }
    FindSplits(mergeText);
    if (FHasInformation)
        FindPairUse();

    TMergeEngine engine(FLines);
    engine.SetOverwriteMode(overwriteMode);
    FOutcome = engine.Merge(mergeText);
}

void TTemplateCheck::FindPlaceholders(const std::string &mergeText)
{
    std::map<std::string, std::size_t> seen;
    std::size_t p = 0;
    while (TMergeEngine::FindPlaceholder(mergeText, p, p)) {
        const std::string text = TMergeEngine::ExtractPlaceholder(mergeText, p);
        const auto found = seen.find(text);
        if (found == seen.end()) {
            seen.emplace(text, FPlaceholders.size());
            TPlaceholder placeholder;
            placeholder.Text = text;
            placeholder.Count = 1;
            placeholder.Pair = TMergeEngine::PairNumber(text);
            FPlaceholders.push_back(placeholder);
        } else {
            ++FPlaceholders[found->second].Count;
        }
        ++p;
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

void TTemplateCheck::FindSplits(const std::string &mergeText)
{
    const TRtfTextMap map(mergeText);
    const std::string &visible = map.Text();
    for (std::size_t k = 0; k < visible.size(); ++k) {
        if (visible[k] != '@')
            continue;
        std::size_t end = k + 1;
        while (end < visible.size() && IsDigit(visible[end]))
            ++end;
        if (end == k + 1)
            continue;
        bool whole = true;
        for (std::size_t j = k; j < end && whole; ++j)
            whole = map.IsLiteral(j) && map.RawOffset(j) == map.RawOffset(k) + (j - k);
        if (whole)
            continue;
        TSplitPlaceholder split;
        split.Visible = visible.substr(k, end - k);
        const std::size_t offset = map.RawOffset(k);
        if (map.IsLiteral(k))
            split.MergeReads = TMergeEngine::ExtractPlaceholder(mergeText, offset);
        split.Line =
            1 + static_cast<std::size_t>(std::count(
                    mergeText.begin(), mergeText.begin() + static_cast<long>(offset), '\n'));
        FSplits.push_back(split);
    }
}

void TTemplateCheck::FindPairUse()
{
    const long pairs = static_cast<long>(FLines.size() / 2);
    std::set<long> used;
    std::vector<long> pending;
    for (const TPlaceholder &placeholder : FPlaceholders)
        if (placeholder.Pair >= 1 && placeholder.Pair <= pairs &&
            used.insert(placeholder.Pair).second)
            pending.push_back(placeholder.Pair);
    // Placeholders inside used values are merged in later passes and use their pairs too.
    while (!pending.empty()) {
        const long pair = pending.back();
        pending.pop_back();
        const std::string value = TMergeEngine::PrepareValue(FLines[2 * pair - 1]);
        std::size_t p = 0;
        while (TMergeEngine::FindPlaceholder(value, p, p)) {
            const long n = TMergeEngine::PairNumber(TMergeEngine::ExtractPlaceholder(value, p));
            if (n >= 1 && n <= pairs && used.insert(n).second)
                pending.push_back(n);
            ++p;
        }
    }
    for (long n = 1; n <= pairs; ++n) {
        const std::string &value = FLines[2 * n - 1];
        if (!used.count(n)) {
            FUnusedPairs.push_back({n, FLines[2 * n - 2], value});
            continue;
        }
        if (value.find_first_of("*+-/^") == std::string::npos)
            continue;
        TEvaluatedValue evaluated;
        evaluated.Pair = n;
        evaluated.Value = value;
        evaluated.Merged = TMergeEngine::PrepareValue(value);
        if (evaluated.Merged == value) {
            EvaluateExpression(value);
            evaluated.Error = GetExpressionError();
        }
        FEvaluated.push_back(evaluated);
    }
}
