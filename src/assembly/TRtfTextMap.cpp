#include "assembly/TRtfTextMap.h"

#include "rtf2html/StringUtils.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

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
char To1252(long code)
{
    static const std::uint16_t High[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    if (code < 0)
        code += 65536; // \u writes characters above 32767 as negative numbers
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF))
        return static_cast<char>(code);
    for (int i = 0; i < 32; ++i)
        if (High[i] == code)
            return static_cast<char>(0x80 + i);
    return '?';
}

// Groups whose text is no part of the document's visible text.
bool IsSkippedDestination(const std::string &word)
{
    static const char *const Names[] = {"fonttbl",
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
    for (const char *name : Names)
        if (word == name)
            return true;
    return false;
}

// The single character a control word stands for, or 0.
char CharOfWord(const std::string &word)
{
    struct Entry
    {
        const char *Word;
        char Char;
    };
    static const Entry Entries[] = {
        {"par", '\n'},         {"line", '\n'},        {"sect", '\n'},     {"row", '\n'},
        {"page", '\f'},        {"tab", '\t'},         {"cell", '\t'},     {"emdash", '\x97'},
        {"endash", '\x96'},    {"bullet", '\x95'},    {"lquote", '\x91'}, {"rquote", '\x92'},
        {"ldblquote", '\x93'}, {"rdblquote", '\x94'}, {"emspace", ' '},   {"enspace", ' '},
        {"qmspace", ' '}};
    for (const Entry &entry : Entries)
        if (word == entry.Word)
            return entry.Char;
    return 0;
}

struct TGroupState
{
    bool Skip = false;
    int UnicodeSkip = 1; // \ucN: characters that stand in for each \u character
};
} // namespace

TRtfTextMap::TRtfTextMap(const std::string &rawText)
{
    Parse(rawText);
}

void TRtfTextMap::Append(char c, std::size_t offset, bool literal)
{
    FText.push_back(c);
    FOffsets.push_back(offset);
    FLiteral.push_back(literal);
}

void TRtfTextMap::Parse(const std::string &raw)
{
    std::vector<TGroupState> stack(1);
    int pendingSkip = 0; // fallback characters after a \u still to drop
    const std::size_t n = raw.size();
    std::size_t i = 0;

    auto emit = [&](char c, std::size_t offset, bool literal) {
        if (pendingSkip > 0) {
            --pendingSkip;
            return;
        }
        if (!stack.back().Skip)
            Append(c, offset, literal);
    };

    while (i < n) {
        const unsigned char c = static_cast<unsigned char>(raw[i]);
        if (c == '{') {
            stack.push_back(stack.back());
            pendingSkip = 0;
            ++i;
        } else if (c == '}') {
            if (stack.size() > 1)
                stack.pop_back();
            pendingSkip = 0;
            ++i;
        } else if (c == '\r' || c == '\n') {
            ++i;
        } else if (c != '\\') {
            emit(static_cast<char>(c), i, true);
            ++i;
        } else if (i + 1 >= n) {
            ++i;
        } else if (IsLetter(static_cast<unsigned char>(raw[i + 1]))) {
            const std::size_t start = i;
            std::size_t j = i + 1;
            while (j < n && IsLetter(static_cast<unsigned char>(raw[j])) && j - i <= 32)
                ++j;
            const std::string word = raw.substr(i + 1, j - i - 1);
            bool hasParam = false;
            long param = 0;
            bool negative = false;
            if (j < n && raw[j] == '-' && j + 1 < n &&
                IsDigit(static_cast<unsigned char>(raw[j + 1]))) {
                negative = true;
                ++j;
            }
            while (j < n && IsDigit(static_cast<unsigned char>(raw[j]))) {
                hasParam = true;
                if (param < 100000000)
                    param = param * 10 + (raw[j] - '0');
                ++j;
            }
            if (negative)
                param = -param;
            if (j < n && raw[j] == ' ')
                ++j;
            i = j;

            if (word == "bin" && hasParam && param > 0) {
                i += std::min<std::size_t>(static_cast<std::size_t>(param), n - i);
            } else if (word == "u" && hasParam) {
                emit(To1252(param), start, false);
                pendingSkip = stack.back().UnicodeSkip;
            } else if (word == "uc" && hasParam) {
                stack.back().UnicodeSkip = param < 0 ? 0 : static_cast<int>(std::min(param, 16L));
            } else if (IsSkippedDestination(word)) {
                stack.back().Skip = true;
            } else if (const char produced = CharOfWord(word)) {
                emit(produced, start, false);
            }
        } else {
            const unsigned char symbol = static_cast<unsigned char>(raw[i + 1]);
            const std::size_t start = i;
            i += 2;
            switch (symbol) {
            case '\'': {
                const int high = i < n ? HexDigitValue(static_cast<unsigned char>(raw[i])) : -1;
                const int low =
                    i + 1 < n ? HexDigitValue(static_cast<unsigned char>(raw[i + 1])) : -1;
                if (high >= 0 && low >= 0) {
                    emit(static_cast<char>(high * 16 + low), start, false);
                    i += 2;
                }
                break;
            }
            case '*':
                stack.back().Skip = true;
                break;
            case '\\':
            case '{':
            case '}':
                emit(static_cast<char>(symbol), start, false);
                break;
            case '~':
                emit('\xA0', start, false);
                break;
            case '_':
                emit('-', start, false);
                break;
            case '\r':
            case '\n':
                emit('\n', start, false);
                break;
            default:
                break; // \- and unknown symbols show nothing
            }
        }
    }
}
