#include "assembly/TRtfTokenizer.h"

#include "text/StringUtils.h"
#include "text/UnicodeText.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <utility>

namespace {
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

TRtfTokenizer::TRtfTokenizer(const std::string &raw, std::size_t from) : FLexer(raw, from) {}

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

std::size_t TRtfTokenizer::Position() const
{
    return FRunAt < FRunEnd ? FRunAt : FLexer.Position();
}

void TRtfTokenizer::SetPosition(std::size_t position)
{
    FRunAt = FRunEnd = 0;
    FLexer.SetPosition(position);
}

bool TRtfTokenizer::Next(TToken &token)
{
    const std::string_view raw = FLexer.Raw();
    TRtfToken read;
    for (;;) {
        // A run of text gives its characters one at a time.
        while (FRunAt < FRunEnd) {
            const std::size_t at = FRunAt++;
            if (Emit(token, raw[at], at, true))
                return true;
        }
        // A byte of text is given as it stands, without cutting its whole run: the caller
        // asks LiteralRunEnd for the rest of the run when it reads runs in place.
        std::size_t at = FLexer.Position();
        while (at < raw.size() && (raw[at] == '\r' || raw[at] == '\n'))
            ++at;
        if (at < raw.size() && !RtfLexing::KRunEnds[static_cast<unsigned char>(raw[at])]) {
            FLexer.SetPosition(at + 1);
            if (Emit(token, raw[at], at, true))
                return true;
            continue;
        }
        if (!FLexer.Next(read))
            return false;
        switch (read.Kind) {
        case TRtfToken::TKind::GroupStart:
            FPendingSkip = 0;
            FUnicodeSkip.push_back(UnicodeSkip());
            token.Kind = TKind::GroupStart;
            token.Offset = read.Offset;
            return true;
        case TRtfToken::TKind::GroupEnd:
            FPendingSkip = 0;
            if (!FUnicodeSkip.empty())
                FUnicodeSkip.pop_back();
            token.Kind = TKind::GroupEnd;
            token.Offset = read.Offset;
            return true;
        case TRtfToken::TKind::Text:
            FRunAt = read.Offset;
            FRunEnd = read.Offset + read.Length;
            break;
        case TRtfToken::TKind::Hex:
            // A broken escape shows nothing.
            if (read.Valid && Emit(token, static_cast<char>(read.Byte), read.Offset, false))
                return true;
            break;
        case TRtfToken::TKind::Unicode: {
            bool outside = false;
            const char c = To1252(read.Param, outside);
            const bool given = Emit(token, c, read.Offset, false, outside, read.Code);
            FPendingSkip = UnicodeSkip();
            if (given)
                return true;
            break;
        }
        case TRtfToken::TKind::Binary:
            // Data is skipped; a "\bin" without data is an ordinary word.
            if (read.HasParam && read.Param > 0)
                break;
            [[fallthrough]];
        case TRtfToken::TKind::ControlWord:
            if (ControlWord(read, token))
                return true;
            break;
        case TRtfToken::TKind::ControlSymbol:
            if (ControlSymbol(read, token))
                return true;
            break;
        }
    }
}

std::size_t TRtfTokenizer::LiteralRunEnd() const
{
    if (FPendingSkip > 0)
        return Position(); // fallback characters of a "\uN", to be dropped
    if (FRunAt < FRunEnd)
        return FRunEnd;
    // The text is a std::string's, so it ends with a 0 byte, where the span search stops at the
    // latest; a 0 byte inside the text is one of its characters, and the search goes on after
    // it. The library's span search is several times quicker than the lexer's over long runs.
    static const char RunEnds[] = "{}\\\r\n";
    const std::string_view raw = FLexer.Raw();
    std::size_t end = FLexer.Position();
    while (end < raw.size()) {
        end += std::strcspn(raw.data() + end, RunEnds);
        if (end >= raw.size() || raw[end] != '\0')
            break;
        ++end;
    }
    return end;
}

bool TRtfTokenizer::ControlWord(const TRtfToken &read, TToken &token)
{
    const std::string_view word = read.Kind == TRtfToken::TKind::Binary ? "bin" : read.Text;
    if (SameWord(word, "uc") && read.HasParam) {
        UnicodeSkip() = read.Param < 0 ? 0 : static_cast<int>(std::min(read.Param, 16));
        return false;
    }
    if (const char c = CharOfWord(word))
        return Emit(token, c, read.Offset, false);
    token.Kind = TKind::ControlWord;
    token.Offset = read.Offset;
    token.Word = word;
    token.HasParam = read.HasParam;
    token.Param = read.Param;
    return true;
}

bool TRtfTokenizer::ControlSymbol(const TRtfToken &read, TToken &token)
{
    const std::size_t start = read.Offset;
    switch (read.Symbol) {
    case '*':
        token.Kind = TKind::Destination;
        token.Offset = start;
        return true;
    case '\\':
    case '{':
    case '}':
        return Emit(token, read.Symbol, start, false);
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
