#include "assembly/TSplitPlaceholders.h"

#include "assembly/TPlaceholderScanner.h"
#include "assembly/TRtfTextMap.h"
#include "assembly/TRtfTokenizer.h"

#include <algorithm>
#include <set>
#include <string_view>

namespace {
// Control words that change neither the characters nor how they look in the letter's usual
// font: font and language choices, direction and the revision marks writers scatter about.
bool IsNeutralWord(std::string_view word)
{
    static constexpr std::string_view Words[] = {
        "f",       "af",      "lang", "langfe",   "langnp", "langfenp", "alang",
        "rtlch",   "ltrch",   "loch", "hich",     "dbch",   "cgrid",    "fcs",
        "noproof", "insrsid", "rsid", "charrsid", "delrsid"};
    return std::find(std::begin(Words), std::end(Words), word) != std::end(Words);
}

// Whether the raw text between two characters of the visible text only holds groups and
// neutral control words.
bool IsNeutralGap(const std::string &raw, std::size_t from, std::size_t to)
{
    const std::string gap = raw.substr(from, to - from);
    TRtfTokenizer tokens(gap);
    TRtfTokenizer::TToken token;
    while (tokens.Next(token)) {
        switch (token.Kind) {
        case TRtfTokenizer::TKind::GroupStart:
        case TRtfTokenizer::TKind::GroupEnd:
            break;
        case TRtfTokenizer::TKind::ControlWord:
            if (!IsNeutralWord(token.Word))
                return false;
            break;
        default:
            return false;
        }
    }
    return true;
}

std::size_t LineOf(const std::string &text, std::size_t offset)
{
    return 1 + static_cast<std::size_t>(
                   std::count(text.begin(), text.begin() + static_cast<long>(offset), '\n'));
}

bool IsAsciiDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Whether what follows position could carry on the digits of a placeholder: a group's start or
// end, a line end, or a control word after which a digit or a group follows ("@1{\\b 2}",
// "@1\\b 2").
bool MayCarryOn(const std::string &text, std::size_t at)
{
    const char next = at < text.size() ? text[at] : '\0';
    if (next == '{' || next == '}' || next == '\r' || next == '\n')
        return true;
    if (next != '\\')
        return false;
    std::size_t i = at + 1;
    while (i < text.size() &&
           ((text[i] >= 'a' && text[i] <= 'z') || (text[i] >= 'A' && text[i] <= 'Z')))
        ++i;
    if (i == at + 1)
        return true; // a control symbol: an escaped digit, say
    if (i < text.size() && text[i] == '-')
        ++i;
    while (i < text.size() && IsAsciiDigit(text[i]))
        ++i;
    if (i < text.size() && text[i] == ' ')
        ++i;
    return i < text.size() && (IsAsciiDigit(text[i]) || text[i] == '{' || text[i] == '\\');
}

// Whether any "@" of the text could start a placeholder that the raw text splits, or an "@" is
// written as an escape. Most templates have none, and their visible text is never built.
bool MaySplit(const std::string &text)
{
    for (std::size_t at = text.find('@'); at != std::string::npos; at = text.find('@', at + 1)) {
        std::size_t end = at + 1;
        while (end < text.size() && IsAsciiDigit(text[end]))
            ++end;
        if (MayCarryOn(text, end))
            return true;
    }
    return text.find("\\'40") != std::string::npos || text.find("\\u64") != std::string::npos;
}

struct TJoin
{
    std::size_t Sign = 0;                  // raw offset of the "@"
    std::vector<std::size_t> DigitOffsets; // raw offsets of the digits
};
} // namespace

std::vector<TMergeNote> TSplitPlaceholders::Join(std::string &mergeText, bool gluedCounts)
{
    std::vector<TMergeNote> split;
    if (TPlaceholderScanner::KindOf(mergeText) != TPlaceholderScanner::TTextKind::Rich ||
        !MaySplit(mergeText))
        return split;
    std::vector<TJoin> joins;
    {
        const TRtfTextMap map(mergeText);
        const std::string &visible = map.Text();
        // Joined whether glued or not, so that both modes merge the same text; reported only
        // where the mode takes the placeholder.
        std::set<std::size_t> loose;
        if (!gluedCounts) {
            TPlaceholderScanner scanner(visible, TPlaceholderScanner::TTextKind::Plain, false);
            while (const auto match = scanner.Next())
                loose.insert(match->Position);
        }
        TPlaceholderScanner scanner(visible, TPlaceholderScanner::TTextKind::Plain, true);
        while (const auto match = scanner.Next()) {
            const std::size_t k = match->Position;
            const std::size_t length = match->Text.size();
            bool literal = true;
            bool contiguous = true;
            bool neutral = true;
            for (std::size_t j = k; j < k + length; ++j) {
                literal = literal && map.IsLiteral(j);
                if (j > k && map.RawOffset(j) != map.RawOffset(j - 1) + 1) {
                    contiguous = false;
                    neutral = neutral && literal &&
                              IsNeutralGap(mergeText, map.RawOffset(j - 1) + 1, map.RawOffset(j));
                }
            }
            if (literal && contiguous)
                continue;
            if (literal && neutral) {
                TJoin join;
                join.Sign = map.RawOffset(k);
                for (std::size_t j = k + 1; j < k + length; ++j)
                    join.DigitOffsets.push_back(map.RawOffset(j));
                joins.push_back(std::move(join));
                continue;
            }
            if (gluedCounts || loose.count(k))
                split.push_back({match->Text, LineOf(mergeText, map.RawOffset(k))});
        }
    }
    // From the end, so that the offsets of the joins still to be made stay valid.
    for (auto join = joins.rbegin(); join != joins.rend(); ++join) {
        std::string digits;
        for (auto at = join->DigitOffsets.rbegin(); at != join->DigitOffsets.rend(); ++at) {
            digits.insert(digits.begin(), mergeText[*at]);
            mergeText.erase(*at, 1);
        }
        mergeText.insert(join->Sign + 1, digits);
    }
    return split;
}
