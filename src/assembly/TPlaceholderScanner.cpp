#include "assembly/TPlaceholderScanner.h"

#include "calc/CaseTables.h"

#include <array>
#include <climits>
#include <cstring>

namespace {
bool IsDigit(int c)
{
    return c >= '0' && c <= '9';
}

// Letters and digits of code page 1252: those with a case counterpart, and the few without one
// (f hook, the ordinal indicators, micro sign, sharp s). Looked up often, so worked out once
// for all 256.
bool IsLetterOrDigit(unsigned char c)
{
    static const std::array<bool, 256> Table = [] {
        std::array<bool, 256> table{};
        for (int b = 0; b < 256; ++b) {
            const auto byte = static_cast<unsigned char>(b);
            table[byte] = IsDigit(byte) || UpperCaseByte(byte) != LowerCaseByte(byte) ||
                          byte == 0x83 || byte == 0xAA || byte == 0xB5 || byte == 0xBA ||
                          byte == 0xDF;
        }
        return table;
    }();
    return Table[c];
}
} // namespace

TPlaceholderScanner::TTextKind TPlaceholderScanner::KindOf(const std::string &text)
{
    return text.compare(0, 5, "{\\rtf") == 0 ? TTextKind::Rich : TTextKind::Plain;
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
    next = end;
    FBefore = TBefore::Glued; // its last digit
    return match;
}

TPlaceholderScanner::TBefore TPlaceholderScanner::BeforeOf(char c)
{
    return IsLetterOrDigit(static_cast<unsigned char>(c)) ? TBefore::Glued : TBefore::Loose;
}

std::optional<TPlaceholderScanner::TMatch> TPlaceholderScanner::NextInPlain()
{
    while (FPosition < FText.size()) {
        const auto c = static_cast<unsigned char>(FText[FPosition]);
        if (c == '@') {
            if (auto match = TakeAt(FPosition, FPosition))
                return match;
        }
        FBefore = IsLetterOrDigit(c) ? TBefore::Glued : TBefore::Loose;
        ++FPosition;
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
            FBefore = BeforeOf(FText[sign - 1]);
        std::size_t next = 0;
        if (auto match = TakeAt(sign, next)) {
            FTokens->SetPosition(next);
            return match;
        }
        from = sign + 1;
    }
    FBefore = BeforeOf(FText[end - 1]);
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
            FBefore =
                token.OutsideCodePage || IsLetterOrDigit(static_cast<unsigned char>(token.Char))
                    ? TBefore::Glued
                    : TBefore::Loose;
            break;
        }
    }
}
