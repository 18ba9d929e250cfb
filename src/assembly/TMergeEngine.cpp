#include "assembly/TMergeEngine.h"

#include "assembly/AssemblyTexts.h"
#include "assembly/MergeTextFile.h"
#include "assembly/TMergeTemplate.h"
#include "assembly/TMergeText.h"
#include "assembly/TSplitPlaceholders.h"
#include "assembly/TValueGraph.h"
#include "text/StringUtils.h"
#include "text/UnicodeText.h"

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
    const std::string &value = values.Encoded(placeholder.Number, placeholder.UnicodeSkip);
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
        return MissingValueMessage(placeholder.Text, placeholder.Number, lineCount,
                                   placeholder.Origin);
    return CircleText(values.Circle(placeholder.Number));
}

// The line of the merge text at a place, for places met in order: counted on from the last
// place asked for (what lies before it does not change again), not from the start each time.
class TLineCounter
{
public:
    std::size_t LineAt(const std::string &text, std::size_t offset)
    {
        if (offset < FOffset) {
            FOffset = 0;
            FLine = 1;
        }
        FLine += static_cast<std::size_t>(std::count(text.begin() + static_cast<long>(FOffset),
                                                     text.begin() + static_cast<long>(offset),
                                                     '\n'));
        FOffset = offset;
        return FLine;
    }

private:
    std::size_t FOffset = 0;
    std::size_t FLine = 1;
};

// The raw stretch of one visible character that a value in overwrite mode may cover.
struct TCoverable
{
    std::size_t Start = 0;
    std::size_t End = 0;
};

// Up to limit characters after from that a value may cover: in plain text every character up
// to the line's end; in rich text characters that stand as themselves and escapes of one
// character ("\\'e9", "\\{"), up to the first control word, group brace or paragraph end. Raw
// line ends of rich text show nothing and are passed over.
std::vector<TCoverable> CoverableAfter(const std::string &text, TPlaceholderScanner::TTextKind kind,
                                       std::size_t from, std::size_t limit)
{
    std::vector<TCoverable> units;
    const std::size_t n = text.size();
    std::size_t i = from;
    while (i < n && units.size() < limit) {
        const char c = text[i];
        std::size_t length = 1;
        if (kind != TPlaceholderScanner::TTextKind::Rich) {
            if (c == '\r' || c == '\n')
                break;
            if (kind == TPlaceholderScanner::TTextKind::PlainUtf8) {
                std::size_t next = i;
                DecodeUtf8(text, next);
                length = next - i;
            }
        } else if (c == '\r' || c == '\n') {
            ++i;
            continue;
        } else if (c == '{' || c == '}') {
            break;
        } else if (c == '\\') {
            const char symbol = i + 1 < n ? text[i + 1] : '\0';
            if (symbol == '\\' || symbol == '{' || symbol == '}')
                length = 2;
            else if (symbol == '\'' && i + 3 < n && HexDigitValue(text[i + 2]) >= 0 &&
                     HexDigitValue(text[i + 3]) >= 0)
                length = 4;
            else
                break;
        }
        units.push_back({i, i + length});
        i += length;
    }
    return units;
}

bool IsDigitAt(const std::string &text, std::size_t at)
{
    return at < text.size() && text[at] >= '0' && text[at] <= '9';
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

TMergeEngine::TOverwrite TMergeEngine::OverwriteValue(std::string &text,
                                                     const TMergeValueEncoder &encoder,
                                                     const TPlaceholderScanner::TMatch &placeholder,
                                                     const std::string &value,
                                                     std::size_t &valueEnd)
{
    const std::size_t length = placeholder.Text.size();
    const std::size_t characters = Utf8Length(value);
    const std::size_t area = std::max(characters, length);
    const std::size_t after = std::min(placeholder.Position + length, text.size());
    const std::vector<TCoverable> units = CoverableAfter(text, encoder.Kind(), after, area);
    for (const TCoverable &unit : units)
        if (text[unit.Start] == '@' && unit.End == unit.Start + 1 && IsDigitAt(text, unit.End))
            return TOverwrite::Clash;
    std::string covering = placeholder.AfterControlWord ? " " : "";
    covering += encoder.Encode(value, placeholder.UnicodeSkip);
    if (characters < length)
        covering.append(length - characters, ' ');
    const std::size_t covered = characters > length ? std::min(characters - length, units.size()) : 0;
    // Raw line ends between the covered characters stay: they show nothing.
    std::string kept;
    const std::size_t end = covered > 0 ? units[covered - 1].End : after;
    for (std::size_t k = 0, at = after; at < end; ++at) {
        while (k < covered && units[k].End <= at)
            ++k;
        if (k < covered && at >= units[k].Start)
            continue;
        kept += text[at];
    }
    text.replace(placeholder.Position, end - placeholder.Position, covering + kept);
    valueEnd = placeholder.Position + covering.size();
    return characters > length && characters - length > units.size() ? TOverwrite::Pushed
                                                                     : TOverwrite::Covered;
}

void TMergeEngine::WriteDebugFile(const std::string &mergeText)
{
    SaveTextFile(MergeDebugFileName, mergeText);
}

TMergeResult TMergeEngine::MergeFile(const std::string &templateFileName) const
{
    return Merge(LoadMergeText(templateFileName));
}

TMergeResult TMergeEngine::Merge(std::string mergeText) const
{
    std::vector<TMergeNote> unmerged = TSplitPlaceholders::Join(mergeText, FOverwriteMode);
    return MergeJoined(std::move(mergeText), std::move(unmerged));
}

TMergeResult TMergeEngine::MergeJoined(std::string mergeText, std::vector<TMergeNote> unmerged) const
{
    TMergeResult result =
        FOverwriteMode
            ? OverwriteMerge(std::move(mergeText))
            : InsertMerge(mergeText,
                          TMergeText(mergeText, TPlaceholderScanner::KindOf(mergeText), false));
    result.Unmerged = std::move(unmerged);
    return result;
}

TMergeResult TMergeEngine::Merge(const TMergeTemplate &mergeTemplate) const
{
    TMergeResult result = FOverwriteMode
                              ? OverwriteMerge(mergeTemplate.Text())
                              : InsertMerge(mergeTemplate.Text(), mergeTemplate.InsertPieces());
    result.Unmerged = mergeTemplate.Unmerged(FOverwriteMode);
    return result;
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
    const TMergeValueEncoder encoder(mergeText);
    TValueGraph values(FLines, encoder, false);
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
        const long pair = placeholder.Number;
        count += static_cast<int>(text.ReplaceAll(
            placeholder.Text,
            [&values, pair](int unicodeSkip) -> const std::string & {
                return values.Encoded(pair, unicodeSkip);
            },
            pair));
        AfterStep(count, FStepHook ? text.Text() : std::string());
    }
    TMergeResult result;
    result.Text = text.Text();
    result.Count = count;
    return result;
}

TMergeResult TMergeEngine::OverwriteMerge(std::string mergeText) const
{
    const TMergeValueEncoder encoder(mergeText);
    const auto kind = encoder.Kind();
    TValueGraph values(FLines, encoder, true);
    TMergeResult result;
    int count = 0;
    // Nothing before the placeholder replaced last changes again; its value may hold the next.
    std::size_t from = 0;
    // The value written last, whose placeholders were brought in by its pair.
    std::size_t valueStart = 0;
    std::size_t valueEnd = 0;
    long valuePair = 0;
    TLineCounter lines;
    for (;;) {
        TPlaceholderScanner scanner(mergeText, kind, true, from);
        auto placeholder = scanner.Next();
        if (!placeholder)
            break;
        if (placeholder->Position >= valueStart && placeholder->Position < valueEnd)
            placeholder->Origin = valuePair;
        if (const TMergeStop reason = Blocked(values, *placeholder); reason != TMergeStop::None)
            return Stop(std::move(mergeText), count, reason, *placeholder,
                        BlockedMessage(reason, values, *placeholder, FLines.size()));
        const std::string &value = values.Merged(placeholder->Number);
        std::size_t end = 0;
        const TOverwrite outcome = OverwriteValue(mergeText, encoder, *placeholder, value, end);
        if (outcome == TOverwrite::Clash)
            return Stop(std::move(mergeText), count, TMergeStop::OverwriteClash, *placeholder,
                        OverwriteClashText(value, placeholder->Text));
        if (outcome == TOverwrite::Pushed)
            result.Pushed.push_back(
                {placeholder->Text, lines.LineAt(mergeText, placeholder->Position)});
        // The control word's delimiter, when one was written, is no part of the value.
        from = placeholder->Position + (placeholder->AfterControlWord ? 1 : 0);
        valueStart = from;
        valueEnd = end;
        valuePair = placeholder->Number;
        ++count;
        AfterStep(count, mergeText);
    }
    result.Text = std::move(mergeText);
    result.Count = count;
    return result;
}
