#pragma once

#include "text/StringUtils.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

// One token of rich text as it stands in the raw text: where it starts, how many bytes it takes
// and what it holds. What a token means (a character, a format, a destination) is the reader's
// business; the lexer only cuts the bytes. Fields that a kind does not use keep what an
// earlier token left in them.
struct TRtfToken
{
    enum class TKind {
        GroupStart,    // "{"
        GroupEnd,      // "}"
        ControlWord,   // "\name" or "\nameN", with the space that ends it
        ControlSymbol, // "\" and one other character: "\\", "\{", "\~", "\*", "\" + CR or LF, ...
        Hex,           // "\'hh"; Valid is false for a "\'" without two hex digits after it
        Unicode,       // "\uN"; Param is N as written, Code the UTF-16 unit it stands for
        Binary,        // "\binN" and the N bytes of data after it (fewer when the text ends)
        Text           // a run of bytes that are none of "{", "}", "\", CR and LF
    };

    TKind Kind = TKind::Text;
    // ControlWord under the lower-case rules: how many of Text's bytes are letters (the
    // rest, digits and "-", is the parameter as written). Next to Kind, where it takes no room.
    std::uint32_t LetterCount = 0;
    std::size_t Offset = 0; // first byte in the raw text
    std::size_t Length = 0; // bytes in the raw text, from Offset
    // ControlWord: its letters (at most MaxWordLetters; further letters are taken and
    // ignored). Text: the run. Binary: the data.
    std::string_view Text;
    // ControlWord, Unicode, Binary: the number after the letters, clamped to
    // +-2147483647 and read from its first ten digits after any leading zeros.
    bool HasParam = false;
    std::int32_t Param = 0;
    char Symbol = 0;        // ControlSymbol: the character after the backslash
    unsigned char Byte = 0; // Hex: the byte
    bool Valid = true;      // Hex: false for a broken escape, which stands for nothing
    char16_t Code = 0;      // Unicode: N, negative values taken modulo 65536

    bool IsWord(std::string_view name) const { return Kind == TKind::ControlWord && Text == name; }
};

// Where a control word ends.
//  - Standard: letters of either case, then an optional "-" and digits (at most ten of them
//    count); "\binN" holds data and "\uN" is a Unicode token.
//  - LowerCaseRun: lower-case letters, then any run of lower-case letters, digits and "-",
//    whole in Text (LetterCount says where the letters end); the parameter is not read. A "\"
//    before an upper-case letter is a control symbol; "\uN" is a word like any other, and so
//    is "\binN".
//  - LowerCaseRunWithData: the same, but "\binN" holds data (N is then every digit after
//    "bin", clamped to 2147483647), as in a group that a reader passes over.
enum class TRtfWordRule { Standard, LowerCaseRun, LowerCaseRunWithData };

// Cuts rich text into tokens, one at a time, over a text that the caller keeps alive. The same
// cutting serves the document reader, the merge's scanner and (with the lower-case rules, which
// end words where it ends them) the converter's reader, so that "\'hh", "\uN", "\binN" and
// malformed escapes are read alike everywhere. The lexer keeps no group state: "\ucN" and the
// fallback characters of "\uN" are the reader's to count (FallbackEnd helps). Malformed input
// never fails: a backslash at the very end gives no token.
//
//     TRtfLexer lexer(raw);
//     TRtfToken token;
//     while (lexer.Next(token))
//         switch (token.Kind) { ... }
class TRtfLexer
{
public:
    static constexpr std::size_t MaxWordLetters = 32;

    explicit TRtfLexer(std::string_view raw, std::size_t from = 0) : FRaw(raw), FPosition(from) {}

    // The next token; false at the end of the text. Raw CR and LF between tokens are skipped.
    template <TRtfWordRule Rule = TRtfWordRule::Standard> bool Next(TRtfToken &token);

    // Where the next token starts. Any position may be set; a position inside a token reads
    // the rest of the text from there.
    std::size_t Position() const { return FPosition; }
    void SetPosition(std::size_t position) { FPosition = position; }
    // The same lexer over a text that grew or moved (a reader that reads line by line).
    void Reset(std::string_view raw, std::size_t position)
    {
        FRaw = raw;
        FPosition = position;
    }
    std::string_view Raw() const { return FRaw; }
    // The end of the run of text that starts at `from`: `from` itself when the byte there is
    // none of a run's.
    static std::size_t TextRunEnd(std::string_view raw, std::size_t from);

    // The position after `count` fallback characters of a "\uN" from `position` on: a byte of
    // text, a hex escape, a control symbol and a control word each count as one; a group's
    // brace or the end of the text ends the fallback early. Raw CR and LF do not count.
    std::size_t FallbackEnd(std::size_t position, int count) const;
    // Where the group that opens at the brace at `open` ends (its closing brace), as the
    // tokens run: escaped braces are text and binary data is passed over whole. npos when the
    // data ends first.
    static std::size_t GroupClose(std::string_view data, std::size_t open);

    // The character that a control symbol stands for in text: "\\", "\{" and "\}" themselves,
    // "\~" a no-break space, "\-" an optional hyphen, "\_" a non-breaking hyphen; 0 for the
    // others, whose meaning is the reader's.
    static constexpr char16_t SymbolCharacter(char symbol)
    {
        switch (symbol) {
        case '\\':
        case '{':
        case '}':
            return static_cast<char16_t>(symbol);
        case '~':
            return 0x00A0;
        case '-':
            return 0x00AD;
        case '_':
            return 0x2011;
        default:
            return 0;
        }
    }

private:
    template <TRtfWordRule Rule> void ReadControl(TRtfToken &token);
    void ReadControlWord(TRtfToken &token);
    template <TRtfWordRule Rule> void ReadLowerCaseWord(TRtfToken &token);
    void ReadBinaryCount(TRtfToken &token);

    std::string_view FRaw;
    std::size_t FPosition;
};

// Inline so that each reader's loop takes its tokens without a call per token.
namespace RtfLexing {
constexpr int MaxParameterDigits = 10;
constexpr std::int64_t MaxParameter = 2147483647;

constexpr std::array<bool, 256> RunEnds()
{
    std::array<bool, 256> ends{};
    for (const unsigned char c : {'{', '}', '\\', '\r', '\n'})
        ends[c] = true;
    return ends;
}
inline constexpr std::array<bool, 256> KRunEnds = RunEnds();

// The bytes of a control word under the lower-case rule: it starts with a lower-case letter
// and goes on over letters, digits and hyphens.
enum TLowerCaseClass : unsigned char { NotInWord, LowerLetter, DigitOrHyphen };
constexpr std::array<unsigned char, 256> LowerCaseClasses()
{
    std::array<unsigned char, 256> classes{};
    for (int c = 'a'; c <= 'z'; ++c)
        classes[static_cast<std::size_t>(c)] = LowerLetter;
    for (int c = '0'; c <= '9'; ++c)
        classes[static_cast<std::size_t>(c)] = DigitOrHyphen;
    classes['-'] = DigitOrHyphen;
    return classes;
}
inline constexpr std::array<unsigned char, 256> KLowerCaseClasses = LowerCaseClasses();

inline unsigned char LowerCaseClass(char c)
{
    return KLowerCaseClasses[static_cast<unsigned char>(c)];
}

inline bool IsLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

inline bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Whether one of the eight bytes may be a byte that ends a run of text.
inline bool MayEndRun(std::uint64_t word)
{
    constexpr std::uint64_t Ones = 0x0101010101010101ull;
    constexpr std::uint64_t Highs = 0x8080808080808080ull;
    const auto hasByte = [word](unsigned char c) {
        const std::uint64_t x = word ^ (Ones * c);
        return ((x - Ones) & ~x & Highs) != 0;
    };
    return hasByte('{') || hasByte('}') || hasByte('\\') || hasByte('\r') || hasByte('\n');
}

inline int HexValue(char c)
{
    return HexDigitValue(static_cast<unsigned char>(c));
}
} // namespace RtfLexing

inline std::size_t TRtfLexer::TextRunEnd(std::string_view raw, std::size_t from)
{
    // Eight bytes at a time while none of them can end the run: runs of text are most of a
    // document's bytes.
    const std::size_t n = raw.size();
    while (from < n) {
        if (from + 8 <= n) {
            std::uint64_t word;
            std::memcpy(&word, raw.data() + from, 8);
            if (!RtfLexing::MayEndRun(word)) {
                from += 8;
                continue;
            }
        }
        for (const std::size_t stop = std::min(from + 8, n); from < stop; ++from)
            if (RtfLexing::KRunEnds[static_cast<unsigned char>(raw[from])])
                return from;
    }
    return n;
}

template <TRtfWordRule Rule> inline bool TRtfLexer::Next(TRtfToken &token)
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
            ReadControl<Rule>(token);
            FPosition = at + token.Length;
            return true;
        default: {
            const std::size_t end = TextRunEnd(FRaw, at + 1);
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

template <TRtfWordRule Rule> inline void TRtfLexer::ReadControl(TRtfToken &token)
{
    const std::size_t at = token.Offset;
    const char next = FRaw[at + 1];
    if constexpr (Rule != TRtfWordRule::Standard) {
        if (RtfLexing::LowerCaseClass(next) == RtfLexing::LowerLetter) {
            ReadLowerCaseWord<Rule>(token);
            return;
        }
    } else if (RtfLexing::IsLetter(next)) {
        ReadControlWord(token);
        return;
    }
    if (next == '\'') {
        token.Kind = TRtfToken::TKind::Hex;
        const int high = at + 2 < FRaw.size() ? RtfLexing::HexValue(FRaw[at + 2]) : -1;
        const int low = at + 3 < FRaw.size() ? RtfLexing::HexValue(FRaw[at + 3]) : -1;
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

inline void TRtfLexer::ReadControlWord(TRtfToken &token)
{
    const std::size_t at = token.Offset;
    const std::size_t n = FRaw.size();
    std::size_t i = at + 1;
    while (i < n && RtfLexing::IsLetter(FRaw[i]))
        ++i;
    token.Text = FRaw.substr(at + 1, std::min(i - at - 1, MaxWordLetters));

    bool negative = false;
    if (i + 1 < n && FRaw[i] == '-' && RtfLexing::IsDigit(FRaw[i + 1])) {
        negative = true;
        ++i;
    }
    std::int64_t value = 0;
    int digits = 0;
    bool anyDigit = false;
    while (i < n && RtfLexing::IsDigit(FRaw[i])) {
        anyDigit = true;
        // Leading zeros are no digits of the value: "\bin000000000003" is 3.
        if ((digits > 0 || FRaw[i] != '0') && digits++ < RtfLexing::MaxParameterDigits)
            value = value * 10 + (FRaw[i] - '0');
        ++i;
    }
    token.HasParam = anyDigit;
    token.Param =
        static_cast<std::int32_t>(std::min(value, RtfLexing::MaxParameter) * (negative ? -1 : 1));
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

template <TRtfWordRule Rule> inline void TRtfLexer::ReadLowerCaseWord(TRtfToken &token)
{
    const std::size_t at = token.Offset;
    const std::size_t n = FRaw.size();
    std::size_t i = at + 2;
    while (i < n && RtfLexing::LowerCaseClass(FRaw[i]) == RtfLexing::LowerLetter)
        ++i;
    token.LetterCount = static_cast<std::uint32_t>(i - at - 1);
    if constexpr (Rule == TRtfWordRule::LowerCaseRunWithData) {
        if (token.LetterCount == 3 && i < n && RtfLexing::IsDigit(FRaw[i]) &&
            FRaw.compare(at + 1, 3, "bin") == 0) {
            ReadBinaryCount(token);
            return;
        }
    }
    while (i < n && RtfLexing::LowerCaseClass(FRaw[i]) != RtfLexing::NotInWord)
        ++i;
    token.Text = FRaw.substr(at + 1, i - at - 1);
    if (i < n && FRaw[i] == ' ')
        ++i;
    token.Kind = TRtfToken::TKind::ControlWord;
    token.Length = i - at;
}

// "\binN" under the lower-case rule: N is every digit after "bin", clamped; the data is what
// the text still holds of it (Param tells how much more a reader of lines has to pass over).
inline void TRtfLexer::ReadBinaryCount(TRtfToken &token)
{
    const std::size_t at = token.Offset;
    const std::size_t n = FRaw.size();
    std::size_t i = at + 4;
    std::int64_t count = 0;
    for (; i < n && RtfLexing::IsDigit(FRaw[i]); ++i)
        count = std::min(count * 10 + (FRaw[i] - '0'), RtfLexing::MaxParameter);
    if (i < n && FRaw[i] == ' ')
        ++i;
    const std::size_t data = std::min(static_cast<std::size_t>(count), n - i);
    token.Kind = TRtfToken::TKind::Binary;
    token.HasParam = true;
    token.Param = static_cast<std::int32_t>(count);
    token.Text = FRaw.substr(i, data);
    token.Length = i - at + data;
}
