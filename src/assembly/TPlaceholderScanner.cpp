#include "assembly/TPlaceholderScanner.h"

#include "text/UnicodeText.h"

#include <climits>
#include <cstring>

namespace {
bool IsDigit(int c)
{
    return c >= '0' && c <= '9';
}

// Whether the raw rich text holds a control word that ends right before position: a backslash
// that is not itself escaped, letters, and an optional parameter ("\\fs24", "\\tab").
bool EndsControlWord(const std::string &text, std::size_t position)
{
    std::size_t i = position;
    while (i > 0 && IsDigit(static_cast<unsigned char>(text[i - 1])))
        --i;
    if (i < position && i > 0 && text[i - 1] == '-')
        --i;
    const std::size_t lettersEnd = i;
    while (i > 0 && ((text[i - 1] >= 'a' && text[i - 1] <= 'z') ||
                     (text[i - 1] >= 'A' && text[i - 1] <= 'Z')))
        --i;
    if (i == lettersEnd || i == 0 || text[i - 1] != '\\')
        return false;
    std::size_t backslashes = 0;
    while (i > 0 && text[i - 1] == '\\') {
        ++backslashes;
        --i;
    }
    return backslashes % 2 == 1;
}
} // namespace

TPlaceholderScanner::TTextKind TPlaceholderScanner::KindOf(const std::string &text)
{
    if (text.compare(0, 5, "{\\rtf") == 0)
        return TTextKind::Rich;
    return IsValidUtf8(text) ? TTextKind::PlainUtf8 : TTextKind::Plain;
}

TPlaceholderScanner::TPlaceholderScanner(const std::string &text, TTextKind kind, bool gluedCounts,
                                         std::size_t from)
    : FText(text), FKind(kind), FGluedCounts(gluedCounts), FPosition(from)
{
    if (kind == TTextKind::Rich)
        FTokens.emplace(text, from);
}

std::optional<TPlaceholderScanner::TMatch> TPlaceholderScanner::Next()
{
    return FKind == TTextKind::Rich ? NextInRich() : NextInPlain();
}

std::optional<TPlaceholderScanner::TMatch> TPlaceholderScanner::TakeAt(std::size_t position,
                                                                       std::size_t &next)
{
    std::size_t end = position + 1;
    while (end < FText.size() && IsDigit(static_cast<unsigned char>(FText[end])))
        ++end;
    if (end == position + 1 || (FBefore == TBefore::Glued && !FGluedCounts))
        return std::nullopt;
    TMatch match;
    match.Position = position;
    match.Text = FText.substr(position, end - position);
    for (std::size_t i = position + 1; i < end; ++i) {
        const int digit = FText[i] - '0';
        match.Number =
            match.Number > (LONG_MAX - digit) / 10 ? LONG_MAX : match.Number * 10 + digit;
    }
    if (FKind == TTextKind::Rich) {
        match.UnicodeSkip = FTokens->UnicodeSkipHere();
        match.AfterControlWord = EndsControlWord(FText, position);
    }
    next = end;
    FBefore = TBefore::Glued; // its last digit
    return match;
}

TPlaceholderScanner::TBefore TPlaceholderScanner::BeforeOf(char32_t c)
{
    return IsWordCharacterOfSpacedScript(c) ? TBefore::Glued : TBefore::Loose;
}

char32_t TPlaceholderScanner::PlainCharBefore(std::size_t position) const
{
    if (FKind == TTextKind::PlainUtf8)
        return Utf8CharBefore(FText, position);
    return CharOf1252(static_cast<unsigned char>(FText[position - 1]));
}

std::optional<TPlaceholderScanner::TMatch> TPlaceholderScanner::NextInPlain()
{
    // Only the character before an "@" matters.
    while (FPosition < FText.size()) {
        const void *found =
            std::memchr(FText.data() + FPosition, '@', FText.size() - FPosition);
        if (!found) {
            FPosition = FText.size();
            break;
        }
        const auto sign = static_cast<std::size_t>(static_cast<const char *>(found) - FText.data());
        if (sign > FPosition)
            FBefore = BeforeOf(PlainCharBefore(sign));
        if (auto match = TakeAt(sign, FPosition))
            return match;
        FBefore = TBefore::Loose; // the "@" itself
        FPosition = sign + 1;
    }
    return std::nullopt;
}

std::optional<TPlaceholderScanner::TMatch> TPlaceholderScanner::NextInLiteralRun()
{
    // Only the character before an "@" matters, and at the end the run's last one.
    const std::size_t start = FTokens->Position();
    const std::size_t end = FTokens->LiteralRunEnd();
    if (end == start)
        return std::nullopt;
    for (std::size_t from = start; from < end;) {
        const void *found = std::memchr(FText.data() + from, '@', end - from);
        if (!found)
            break;
        const auto sign = static_cast<std::size_t>(static_cast<const char *>(found) - FText.data());
        if (sign > start)
            FBefore = BeforeOf(CharOf1252(static_cast<unsigned char>(FText[sign - 1])));
        std::size_t next = 0;
        if (auto match = TakeAt(sign, next)) {
            FTokens->SetPosition(next);
            return match;
        }
        from = sign + 1;
    }
    FBefore = BeforeOf(CharOf1252(static_cast<unsigned char>(FText[end - 1])));
    FTokens->SetPosition(end);
    return std::nullopt;
}

std::optional<TPlaceholderScanner::TMatch> TPlaceholderScanner::NextInRich()
{
    TRtfTokenizer::TToken token;
    for (;;) {
        if (auto match = NextInLiteralRun())
            return match;
        if (!FTokens->Next(token))
            return std::nullopt;
        switch (token.Kind) {
        case TRtfTokenizer::TKind::GroupStart:
            FGroups.push_back({Group().Skipped, FBefore});
            break;
        case TRtfTokenizer::TKind::GroupEnd:
            if (!FGroups.empty()) {
                const TGroup closed = FGroups.back();
                FGroups.pop_back();
                if (closed.Skipped && !Group().Skipped)
                    FBefore = closed.BeforeGroup;
            }
            break;
        case TRtfTokenizer::TKind::Destination:
            Group().Skipped = true;
            break;
        case TRtfTokenizer::TKind::ControlWord:
            if (TRtfTokenizer::IsSkippedDestination(token.Word))
                Group().Skipped = true;
            break;
        case TRtfTokenizer::TKind::Char:
            if (token.Literal && token.Char == '@') {
                std::size_t next = 0;
                if (auto match = TakeAt(token.Offset, next)) {
                    FTokens->SetPosition(next);
                    return match;
                }
            }
            FBefore = BeforeOf(token.Code);
            break;
        }
    }
}
