#include "text/UnicodeText.h"

#include <algorithm>
#include <cstdint>

namespace {
// Characters of 1252's bytes 0x80 to 0x9F.
constexpr std::uint16_t High1252[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

constexpr char32_t Replacement = 0xFFFD;

bool IsContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

struct TRange
{
    char32_t First;
    char32_t Last;
};

// Letters, digits and marks of scripts written with spaces between words, in order.
constexpr TRange SpacedScriptRanges[] = {
    {0x0030, 0x0039},   {0x0041, 0x005A}, {0x0061, 0x007A}, {0x00AA, 0x00AA}, {0x00B5, 0x00B5},
    {0x00BA, 0x00BA},   {0x00C0, 0x00D6}, {0x00D8, 0x00F6}, {0x00F8, 0x02C1}, // Latin, IPA
    {0x0300, 0x036F},                                                         // combining marks
    {0x0370, 0x0374},   {0x0376, 0x037D}, {0x037F, 0x037F}, {0x0386, 0x0386}, {0x0388, 0x03FF},
    {0x0400, 0x0481},   {0x0483, 0x052F},                   // Cyrillic
    {0x0531, 0x0556},   {0x0560, 0x0588},                   // Armenian
    {0x0591, 0x05BD},   {0x05BF, 0x05BF}, {0x05C1, 0x05C2}, // Hebrew points
    {0x05C4, 0x05C5},   {0x05C7, 0x05C7}, {0x05D0, 0x05F2}, // Hebrew letters
    {0x0610, 0x061A},   {0x0620, 0x0669}, {0x066E, 0x06D3}, {0x06D5, 0x06DC}, {0x06DF, 0x06E8},
    {0x06EA, 0x06FC},   {0x06FF, 0x06FF},                   // Arabic
    {0x0710, 0x074F},   {0x0750, 0x077F}, {0x0780, 0x07B1}, // Syriac, Arabic supplement, Thaana
    {0x0900, 0x0963},   {0x0966, 0x096F}, {0x0971, 0x0DF3}, // Indic scripts, Sinhala
    {0x10A0, 0x10FF},                                       // Georgian
    {0x1200, 0x135F},   {0x1380, 0x138F}, {0x13A0, 0x13FD}, // Ethiopic, Cherokee
    {0x1820, 0x18AA},                                       // Mongolian
    {0x1D00, 0x1DFF},   {0x1E00, 0x1FBC}, {0x1FBE, 0x1FBE}, {0x1FC2, 0x1FCC}, {0x1FD0, 0x1FDB},
    {0x1FE0, 0x1FEC},   {0x1FF2, 0x1FFC},                   // Latin and Greek extended
    {0x2C00, 0x2CE4},   {0x2D00, 0x2D2D}, {0x2DE0, 0x2DFF}, // Glagolitic, Latin C, Coptic, ...
    {0xA640, 0xA69F},   {0xA720, 0xA7FF}, {0xAB30, 0xAB6F}, // Cyrillic B, Latin D, Latin E
    {0xFB00, 0xFB06},   {0xFB13, 0xFB17}, {0xFB1D, 0xFB4F}, // ligatures, Hebrew presentation
    {0xFB50, 0xFD3D},   {0xFD50, 0xFDFB}, {0xFE70, 0xFEFC}, // Arabic presentation forms
    {0x1D400, 0x1D7FF},                                     // mathematical letters and digits
};
} // namespace

namespace {
// The character of the well-formed sequence at position and its length in bytes, or a length
// of 0: overlong forms, surrogates and code points beyond U+10FFFF are no characters.
char32_t DecodeSequence(std::string_view text, std::size_t position, std::size_t &length)
{
    const auto lead = static_cast<unsigned char>(text[position]);
    length = 0;
    if (lead < 0x80) {
        length = 1;
        return lead;
    }
    std::size_t expected = 0;
    char32_t minimum = 0;
    char32_t c = 0;
    if ((lead & 0xE0) == 0xC0)
        expected = 2, minimum = 0x80, c = lead & 0x1F;
    else if ((lead & 0xF0) == 0xE0)
        expected = 3, minimum = 0x800, c = lead & 0x0F;
    else if ((lead & 0xF8) == 0xF0)
        expected = 4, minimum = 0x10000, c = lead & 0x07;
    if (expected == 0 || position + expected > text.size())
        return Replacement;
    for (std::size_t k = 1; k < expected; ++k) {
        const auto byte = static_cast<unsigned char>(text[position + k]);
        if (!IsContinuation(byte))
            return Replacement;
        c = (c << 6) | (byte & 0x3F);
    }
    if (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return Replacement;
    length = expected;
    return c;
}
} // namespace

bool IsValidUtf8(std::string_view bytes)
{
    for (std::size_t i = 0, length = 0; i < bytes.size(); i += length) {
        DecodeSequence(bytes, i, length);
        if (length == 0)
            return false;
    }
    return true;
}

char32_t DecodeUtf8(std::string_view text, std::size_t &position)
{
    std::size_t length = 0;
    const char32_t c = DecodeSequence(text, position, length);
    position += length == 0 ? 1 : length;
    return c;
}

char32_t Utf8CharBefore(std::string_view text, std::size_t position)
{
    if (position == 0)
        return 0;
    std::size_t start = position - 1;
    while (start > 0 && position - start < 4 &&
           IsContinuation(static_cast<unsigned char>(text[start])))
        --start;
    return DecodeUtf8(text, start);
}

void AppendUtf8(std::string &text, char32_t c)
{
    if (c < 0x80) {
        text += static_cast<char>(c);
    } else if (c < 0x800) {
        text += static_cast<char>(0xC0 | (c >> 6));
        text += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        text += static_cast<char>(0xE0 | (c >> 12));
        text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | (c >> 18));
        text += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::size_t Utf8Length(std::string_view text)
{
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return !IsContinuation(static_cast<unsigned char>(c));
    }));
}

char32_t CharOf1252(unsigned char byte)
{
    return byte >= 0x80 && byte < 0xA0 ? High1252[byte - 0x80] : byte;
}

int ByteOf1252(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<int>(c);
    for (int i = 0; i < 32; ++i)
        if (High1252[i] == c)
            return 0x80 + i;
    return -1;
}

std::string Utf8From1252(std::string_view bytes)
{
    std::string text;
    text.reserve(bytes.size());
    for (const char byte : bytes)
        AppendUtf8(text, CharOf1252(static_cast<unsigned char>(byte)));
    return text;
}

std::u16string Utf16FromUtf8(std::string_view text)
{
    std::u16string units;
    units.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const char32_t c = DecodeUtf8(text, i);
        if (c < 0x10000) {
            units += static_cast<char16_t>(c);
        } else {
            units += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            units += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        }
    }
    return units;
}

std::string Utf8FromUtf16(std::u16string_view text)
{
    std::string bytes;
    bytes.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        const bool high = unit >= 0xD800 && unit < 0xDC00;
        if (high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
            AppendUtf8(bytes, 0x10000 + ((char32_t(unit) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else if (unit >= 0xD800 && unit < 0xE000) {
            bytes += '?';
        } else {
            AppendUtf8(bytes, unit);
        }
    }
    return bytes;
}

bool IsWordCharacterOfSpacedScript(char32_t c)
{
    // The merge asks this of nearly every character before an "@", and most are ASCII.
    if (c < 0x80)
        return (c >= '0' && c <= '9') || ((c | 0x20) >= 'a' && (c | 0x20) <= 'z');
    const auto *end = std::end(SpacedScriptRanges);
    const auto *range = std::upper_bound(std::begin(SpacedScriptRanges), end, c,
                                         [](char32_t x, const TRange &r) { return x < r.First; });
    if (range == std::begin(SpacedScriptRanges))
        return false;
    --range;
    return c <= range->Last;
}
