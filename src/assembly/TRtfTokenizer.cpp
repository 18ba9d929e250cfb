#include "assembly/TRtfTokenizer.h"

#include "text/StringUtils.h"
#include "text/UnicodeText.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <utility>

namespace {
bool IsLetter(int c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsDigit(int c)
{
    return c >= '0' && c <= '9';
}

// The 1252 byte of a UTF-16 character, '?' when 1252 has none.
char To1252(long code, bool &outside)
{
    static const std::uint16_t High[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    outside = false;
    if (code < 0)
        code += 65536; // \u writes characters above 32767 as negative numbers
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF))
        return static_cast<char>(code);
    for (int i = 0; i < 32; ++i)
        if (High[i] == code)
            return static_cast<char>(0x80 + i);
    outside = true;
    return '?';
}

// Control words compared by length first, then letter by letter in place: they are short, and
// most words of a text are told apart from a name at once.
bool SameWord(std::string_view word, std::string_view name)
{
    if (word.size() != name.size())
        return false;
    for (std::size_t i = 0; i < word.size(); ++i)
        if (word[i] != name[i])
            return false;
    return true;
}

// The shortest and the longest of the names.
template <typename TNames, typename TNameOf>
constexpr std::pair<std::size_t, std::size_t> LengthRange(const TNames &names, TNameOf nameOf)
{
    std::pair<std::size_t, std::size_t> range{nameOf(names[0]).size(), 0};
    for (const auto &entry : names) {
        range.first = std::min(range.first, nameOf(entry).size());
        range.second = std::max(range.second, nameOf(entry).size());
    }
    return range;
}

// The single character a control word stands for, or 0.
char CharOfWord(std::string_view word)
{
    struct Entry
    {
        std::string_view Word;
        char Char;
    };
    static constexpr Entry Entries[] = {
        {"par", '\n'},         {"line", '\n'},        {"sect", '\n'},     {"row", '\n'},
        {"page", '\f'},        {"tab", '\t'},         {"cell", '\t'},     {"emdash", '\x97'},
        {"endash", '\x96'},    {"bullet", '\x95'},    {"lquote", '\x91'}, {"rquote", '\x92'},
        {"ldblquote", '\x93'}, {"rdblquote", '\x94'}, {"emspace", ' '},   {"enspace", ' '},
        {"qmspace", ' '}};
    static constexpr auto Lengths = LengthRange(Entries, [](const Entry &e) { return e.Word; });
    if (word.size() < Lengths.first || word.size() > Lengths.second)
        return 0;
    for (const Entry &entry : Entries)
        if (SameWord(word, entry.Word))
            return entry.Char;
    return 0;
}
} // namespace

bool TRtfTokenizer::IsSkippedDestination(std::string_view word)
{
    static constexpr std::string_view Names[] = {"fonttbl",
                                                 "colortbl",
                                                 "stylesheet",
                                                 "info",
                                                 "pict",
                                                 "object",
                                                 "objdata",
                                                 "header",
                                                 "footer",
                                                 "headerl",
                                                 "headerr",
                                                 "headerf",
                                                 "footerl",
                                                 "footerr",
                                                 "footerf",
                                                 "listtable",
                                                 "listoverridetable",
                                                 "rsidtbl",
                                                 "generator",
                                                 "themedata",
                                                 "colorschememapping",
                                                 "datastore",
                                                 "latentstyles",
                                                 "xmlnstbl",
                                                 "pntext",
                                                 "pntxta",
                                                 "pntxtb",
                                                 "fldinst",
                                                 "footnote",
                                                 "annotation",
                                                 "filetbl",
                                                 "revtbl",
                                                 "nonshppict",
                                                 "bkmkstart",
                                                 "bkmkend"};
    // The commonest words ("b", "fs", "cf", "qc") are shorter than any name.
    static constexpr auto Lengths = LengthRange(Names, [](std::string_view name) { return name; });
    if (word.size() < Lengths.first || word.size() > Lengths.second)
        return false;
    for (const std::string_view name : Names)
        if (SameWord(word, name))
            return true;
    return false;
}

TRtfTokenizer::TRtfTokenizer(const std::string &raw, std::size_t from) : FRaw(raw), FPosition(from)
{
}

bool TRtfTokenizer::Emit(TToken &token, char c, std::size_t offset, bool literal, bool outside,
                         char32_t code)
{
    if (FPendingSkip > 0) {
        --FPendingSkip;
        return false;
    }
    token.Kind = TKind::Char;
    token.Offset = offset;
    token.Char = c;
    token.Literal = literal;
    token.OutsideCodePage = outside;
    token.Code = code != 0 ? code : CharOf1252(static_cast<unsigned char>(c));
    return true;
}

bool TRtfTokenizer::Next(TToken &token)
{
    const std::size_t n = FRaw.size();
    while (FPosition < n) {
        const std::size_t at = FPosition;
        const unsigned char c = static_cast<unsigned char>(FRaw[at]);
        if (c == '{' || c == '}') {
            ++FPosition;
            FPendingSkip = 0;
            if (c == '{') {
                FUnicodeSkip.push_back(UnicodeSkip());
                token.Kind = TKind::GroupStart;
            } else {
                if (!FUnicodeSkip.empty())
                    FUnicodeSkip.pop_back();
                token.Kind = TKind::GroupEnd;
            }
            token.Offset = at;
            return true;
        }
        if (c == '\r' || c == '\n') {
            ++FPosition;
            continue;
        }
        if (c != '\\') {
            ++FPosition;
            if (Emit(token, static_cast<char>(c), at, true))
                return true;
            continue;
        }
        if (at + 1 >= n) {
            ++FPosition;
            continue;
        }
        const bool produced = IsLetter(static_cast<unsigned char>(FRaw[at + 1]))
                                  ? ReadControlWord(token)
                                  : ReadControlSymbol(token);
        if (produced)
            return true;
    }
    return false;
}

std::size_t TRtfTokenizer::LiteralRunEnd() const
{
    if (FPendingSkip > 0)
        return FPosition; // fallback characters of a "\uN", to be dropped
    // A std::string ends with a 0 byte, where the span search stops at the latest; a 0 byte
    // inside the text is one of its characters, and the search goes on after it.
    static const char RunEnds[] = "{}\\\r\n";
    const std::size_t n = FRaw.size();
    std::size_t end = FPosition;
    while (end < n) {
        end += std::strcspn(FRaw.c_str() + end, RunEnds);
        if (end >= n || FRaw[end] != '\0')
            break;
        ++end;
    }
    return end;
}

bool TRtfTokenizer::ReadControlWord(TToken &token)
{
    const std::size_t start = FPosition;
    const std::size_t n = FRaw.size();
    std::size_t j = start + 1;
    while (j < n && IsLetter(static_cast<unsigned char>(FRaw[j])) && j - start <= 32)
        ++j;
    const std::string_view word(FRaw.data() + start + 1, j - start - 1);
    bool hasParam = false;
    long param = 0;
    bool negative = false;
    if (j + 1 < n && FRaw[j] == '-' && IsDigit(static_cast<unsigned char>(FRaw[j + 1]))) {
        negative = true;
        ++j;
    }
    while (j < n && IsDigit(static_cast<unsigned char>(FRaw[j]))) {
        hasParam = true;
        if (param < 100000000)
            param = param * 10 + (FRaw[j] - '0');
        ++j;
    }
    if (negative)
        param = -param;
    if (j < n && FRaw[j] == ' ')
        ++j;
    FPosition = j;

    if (SameWord(word, "bin") && hasParam && param > 0) {
        FPosition += std::min<std::size_t>(static_cast<std::size_t>(param), n - FPosition);
        return false;
    }
    if (SameWord(word, "u") && hasParam) {
        bool outside = false;
        const char c = To1252(param, outside);
        const auto code = static_cast<char32_t>(param < 0 ? param + 65536 : param);
        const bool given = Emit(token, c, start, false, outside, code);
        FPendingSkip = UnicodeSkip();
        return given;
    }
    if (SameWord(word, "uc") && hasParam) {
        UnicodeSkip() = param < 0 ? 0 : static_cast<int>(std::min(param, 16L));
        return false;
    }
    if (const char c = CharOfWord(word))
        return Emit(token, c, start, false);
    token.Kind = TKind::ControlWord;
    token.Offset = start;
    token.Word = word;
    token.HasParam = hasParam;
    token.Param = param;
    return true;
}

bool TRtfTokenizer::ReadControlSymbol(TToken &token)
{
    const std::size_t start = FPosition;
    const std::size_t n = FRaw.size();
    const unsigned char symbol = static_cast<unsigned char>(FRaw[start + 1]);
    FPosition = start + 2;
    switch (symbol) {
    case '\'': {
        const std::size_t i = FPosition;
        const int high = i < n ? HexDigitValue(static_cast<unsigned char>(FRaw[i])) : -1;
        const int low = i + 1 < n ? HexDigitValue(static_cast<unsigned char>(FRaw[i + 1])) : -1;
        if (high < 0 || low < 0)
            return false;
        FPosition += 2;
        return Emit(token, static_cast<char>(high * 16 + low), start, false);
    }
    case '*':
        token.Kind = TKind::Destination;
        token.Offset = start;
        return true;
    case '\\':
    case '{':
    case '}':
        return Emit(token, static_cast<char>(symbol), start, false);
    case '~':
        return Emit(token, '\xA0', start, false);
    case '_':
        return Emit(token, '-', start, false);
    case '\r':
    case '\n':
        return Emit(token, '\n', start, false);
    default:
        return false; // \- and unknown symbols show nothing
    }
}
