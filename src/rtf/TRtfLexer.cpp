#include "rtf/TRtfLexer.h"

#include <algorithm>
#include <array>

namespace {
constexpr int MaxParameterDigits = 10;
constexpr std::int64_t MaxParameter = 2147483647;

constexpr std::array<bool, 256> RunEnds()
{
    std::array<bool, 256> ends{};
    for (const unsigned char c : {'{', '}', '\\', '\r', '\n'})
        ends[c] = true;
    return ends;
}
constexpr std::array<bool, 256> KRunEnds = RunEnds();

bool IsLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}
} // namespace

bool TRtfLexer::Next(TRtfToken &token)
{
    const std::size_t n = FRaw.size();
    while (FPosition < n) {
        const std::size_t at = FPosition;
        const char c = FRaw[at];
        token.Offset = at;
        switch (c) {
        case '{':
        case '}':
            token.Kind = c == '{' ? TRtfToken::TKind::GroupStart : TRtfToken::TKind::GroupEnd;
            token.Length = 1;
            ++FPosition;
            return true;
        case '\r':
        case '\n':
            ++FPosition;
            continue;
        case '\\':
            if (at + 1 >= n) {
                FPosition = n;
                return false;
            }
            ReadControl(token);
            FPosition = at + token.Length;
            return true;
        default: {
            std::size_t end = at + 1;
            while (end < n && !KRunEnds[static_cast<unsigned char>(FRaw[end])])
                ++end;
            token.Kind = TRtfToken::TKind::Text;
            token.Length = end - at;
            token.Text = FRaw.substr(at, end - at);
            FPosition = end;
            return true;
        }
        }
    }
    return false;
}

void TRtfLexer::ReadControl(TRtfToken &token)
{
    const std::size_t at = token.Offset;
    const char next = FRaw[at + 1];
    if (IsLetter(next)) {
        ReadControlWord(token);
        return;
    }
    if (next == '\'') {
        token.Kind = TRtfToken::TKind::Hex;
        const int high = at + 2 < FRaw.size() ? HexValue(FRaw[at + 2]) : -1;
        const int low = at + 3 < FRaw.size() ? HexValue(FRaw[at + 3]) : -1;
        token.Valid = high >= 0 && low >= 0;
        // A broken escape takes only its "\'": what follows is read as usual.
        token.Length = token.Valid ? 4 : 2;
        token.Byte = token.Valid ? static_cast<unsigned char>(high * 16 + low) : 0;
        return;
    }
    token.Kind = TRtfToken::TKind::ControlSymbol;
    token.Symbol = next;
    token.Length = 2;
}

void TRtfLexer::ReadControlWord(TRtfToken &token)
{
    const std::size_t at = token.Offset;
    const std::size_t n = FRaw.size();
    std::size_t i = at + 1;
    while (i < n && IsLetter(FRaw[i]))
        ++i;
    token.Text = FRaw.substr(at + 1, std::min(i - at - 1, MaxWordLetters));

    bool negative = false;
    if (i + 1 < n && FRaw[i] == '-' && IsDigit(FRaw[i + 1])) {
        negative = true;
        ++i;
    }
    std::int64_t value = 0;
    int digits = 0;
    while (i < n && IsDigit(FRaw[i])) {
        if (digits++ < MaxParameterDigits)
            value = value * 10 + (FRaw[i] - '0');
        ++i;
    }
    token.HasParam = digits > 0;
    token.Param = static_cast<std::int32_t>(std::min(value, MaxParameter) * (negative ? -1 : 1));
    if (i < n && FRaw[i] == ' ')
        ++i;
    token.Kind = TRtfToken::TKind::ControlWord;
    token.Length = i - at;

    if (token.Text == "bin") {
        const std::size_t data =
            std::min<std::size_t>(static_cast<std::size_t>(std::max(token.Param, 0)), n - i);
        token.Kind = TRtfToken::TKind::Binary;
        token.Text = FRaw.substr(i, data);
        token.Length += data;
    } else if (token.Text == "u" && token.HasParam) {
        token.Kind = TRtfToken::TKind::Unicode;
        token.Code = static_cast<char16_t>(token.Param);
    }
}

std::size_t TRtfLexer::FallbackEnd(std::size_t position, int count) const
{
    TRtfLexer rest(FRaw, position);
    TRtfToken token;
    while (count > 0) {
        if (!rest.Next(token))
            return rest.Position();
        if (token.Kind == TRtfToken::TKind::GroupStart || token.Kind == TRtfToken::TKind::GroupEnd)
            return token.Offset;
        if (token.Kind != TRtfToken::TKind::Text) {
            --count;
            continue;
        }
        // A run counts byte by byte: the fallback may end inside it.
        const std::size_t taken = std::min<std::size_t>(token.Length, count);
        count -= static_cast<int>(taken);
        if (count == 0)
            return token.Offset + taken;
    }
    return rest.Position();
}
