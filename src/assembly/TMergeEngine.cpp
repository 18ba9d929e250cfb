#include "assembly/TMergeEngine.h"

#include "assembly/AssemblyTexts.h"
#include "assembly/TMergeTemplate.h"
#include "assembly/TMergeText.h"
#include "assembly/TValueGraph.h"
#include "text/StringUtils.h"

#include <algorithm>

namespace {
using TMatch = TPlaceholderScanner::TMatch;

// Values may add this many placeholders to those of the template, however deep they nest.
constexpr std::size_t PlaceholderLimit = 250000;

// Why the merge cannot replace the placeholder, or None.
TMergeStop Blocked(TValueGraph &values, const TMatch &placeholder)
{
    if (!values.HasPair(placeholder.Number))
        return TMergeStop::MissingValue;
    if (values.OnCycle(placeholder.Number))
        return TMergeStop::Circle;
    return TMergeStop::None;
}

// Whether replacing every occurrence of the placeholder would take the text past the limits:
// its length, or as many placeholders as no real template holds.
bool WouldGrowTooFar(const TMergeText &text, TValueGraph &values, const TMatch &placeholder,
                     std::size_t sizeLimit, std::size_t placeholderLimit)
{
    const std::string &value = values.Merged(placeholder.Number);
    const std::size_t occurrences = text.Occurrences(placeholder.Text);
    const std::size_t inValue = values.PlaceholderCount(placeholder.Number);
    const bool longer =
        value.size() > placeholder.Text.size() &&
        text.Size() + occurrences * (value.size() - placeholder.Text.size()) > sizeLimit;
    const bool more =
        inValue > 1 && text.PlaceholderCount() + occurrences * (inValue - 1) > placeholderLimit;
    return longer || more;
}

std::string BlockedMessage(TMergeStop reason, TValueGraph &values, const TMatch &placeholder,
                           std::size_t lineCount)
{
    if (reason == TMergeStop::MissingValue)
        return MissingValueMessage(placeholder.Text, placeholder.Number, lineCount);
    return CircleText(values.Circle(placeholder.Number));
}
} // namespace

std::size_t TMergeEngine::SizeBound(std::size_t templateSize)
{
    // Values that hold several placeholders of the next layer double the text with every
    // layer; no real letter or form comes near this.
    constexpr std::size_t Base = 64u << 20;
    return Base + 16 * templateSize;
}

TMergeEngine::TMergeEngine(std::vector<std::string> informationLines)
    : FLines(std::move(informationLines))
{
}

bool TMergeEngine::OverwriteValue(std::string &text, TPlaceholderScanner::TTextKind kind,
                                  std::size_t position, std::size_t length,
                                  const std::string &value)
{
    const std::size_t covered = std::max(value.size(), length);
    const std::size_t after = std::min(position + length, text.size());
    // One character more than the area: an "@" at its end with a digit after it is a
    // placeholder in the area too.
    const std::string area = text.substr(after, covered + 1);
    TPlaceholderScanner scanner(area, kind, true);
    if (const auto next = scanner.Next(); next && next->Position < covered)
        return false;
    std::string covering = value;
    if (covering.size() < length)
        covering.append(length - covering.size(), ' ');
    text.replace(position, std::min(covered, text.size() - position), covering);
    return true;
}

void TMergeEngine::WriteDebugFile(const std::string &mergeText)
{
    SaveTextFile(MergeDebugFileName, mergeText);
}

TMergeResult TMergeEngine::MergeFile(const std::string &templateFileName) const
{
    return Merge(LoadTextFile(templateFileName));
}

TMergeResult TMergeEngine::Merge(std::string mergeText) const
{
    if (FOverwriteMode)
        return OverwriteMerge(std::move(mergeText));
    return InsertMerge(mergeText,
                       TMergeText(mergeText, TPlaceholderScanner::KindOf(mergeText), false));
}

TMergeResult TMergeEngine::Merge(const TMergeTemplate &mergeTemplate) const
{
    if (FOverwriteMode)
        return OverwriteMerge(mergeTemplate.Text());
    return InsertMerge(mergeTemplate.Text(), mergeTemplate.InsertPieces());
}

void TMergeEngine::AfterStep(int count, const std::string &mergeText) const
{
    if (FProgressHook)
        FProgressHook(count);
    if (FStepHook)
        FStepHook(mergeText);
}

TMergeResult TMergeEngine::Stop(std::string text, int count, TMergeStop reason,
                                const TMatch &placeholder, std::string message)
{
    TMergeResult result;
    result.Text = std::move(text);
    result.Count = count;
    result.Stop = reason;
    result.Placeholder = placeholder.Text;
    result.MessageIcon = 'H';
    result.MessageCaption = reason == TMergeStop::OverwriteClash ? "" : MergeCaption;
    result.MessageText = std::move(message);
    return result;
}

TMergeResult TMergeEngine::InsertMerge(const std::string &mergeText, TMergeText text) const
{
    TValueGraph values(FLines, TPlaceholderScanner::KindOf(mergeText), false);
    const std::size_t sizeLimit = SizeBound(mergeText.size());
    const std::size_t placeholderLimit = PlaceholderLimit + text.PlaceholderCount();
    int count = 0;
    while (const auto first = text.FirstPlaceholder()) {
        const TMatch &placeholder = *first;
        if (const TMergeStop reason = Blocked(values, placeholder); reason != TMergeStop::None)
            return Stop(text.Text(), count, reason, placeholder,
                        BlockedMessage(reason, values, placeholder, FLines.size()));
        if (WouldGrowTooFar(text, values, placeholder, sizeLimit, placeholderLimit))
            return Stop(text.Text(), count, TMergeStop::TooLong, placeholder,
                        TooLongText(placeholder.Text));
        count +=
            static_cast<int>(text.ReplaceAll(placeholder.Text, values.Merged(placeholder.Number)));
        AfterStep(count, FStepHook ? text.Text() : std::string());
    }
    TMergeResult result;
    result.Text = text.Text();
    result.Count = count;
    return result;
}

TMergeResult TMergeEngine::OverwriteMerge(std::string mergeText) const
{
    const auto kind = TPlaceholderScanner::KindOf(mergeText);
    TValueGraph values(FLines, kind, true);
    int count = 0;
    // Nothing before the placeholder replaced last changes again; its value may hold the next.
    std::size_t from = 0;
    for (;;) {
        TPlaceholderScanner scanner(mergeText, kind, true, from);
        const auto placeholder = scanner.Next();
        if (!placeholder)
            break;
        from = placeholder->Position;
        if (const TMergeStop reason = Blocked(values, *placeholder); reason != TMergeStop::None)
            return Stop(std::move(mergeText), count, reason, *placeholder,
                        BlockedMessage(reason, values, *placeholder, FLines.size()));
        const std::string &value = values.Merged(placeholder->Number);
        if (!OverwriteValue(mergeText, kind, from, placeholder->Text.size(), value))
            return Stop(std::move(mergeText), count, TMergeStop::OverwriteClash, *placeholder,
                        OverwriteClashText(value, placeholder->Text));
        ++count;
        AfterStep(count, mergeText);
    }
    TMergeResult result;
    result.Text = std::move(mergeText);
    result.Count = count;
    return result;
}
