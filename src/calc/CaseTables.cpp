#include "calc/CaseTables.h"

#include <array>

namespace {
// Code page 1252 letters with a counterpart of the other case inside the code page:
// A-Z, the Latin-1 letters C0-DE (except the multiplication sign D7) and the four letters
// S caron, OE, Z caron and Y diaeresis in the 80-9F range.
constexpr bool IsUpperLetter(int c)
{
    return (c >= 'A' && c <= 'Z') || c == 0x8A || c == 0x8C || c == 0x8E || c == 0x9F ||
           (c >= 0xC0 && c <= 0xDE && c != 0xD7);
}

constexpr int LowerOf(int c)
{
    if (c == 0x9F)
        return 0xFF;
    if (c >= 0x8A && c <= 0x8E)
        return c + 0x10;
    return c + 0x20;
}

struct TCaseTables
{
    std::array<unsigned char, 256> Upper{};
    std::array<unsigned char, 256> Lower{};
    std::array<bool, 256> IsUpper{};
};

constexpr TCaseTables BuildCaseTables()
{
    TCaseTables tables;
    for (int c = 0; c < 256; ++c) {
        tables.Upper[c] = static_cast<unsigned char>(c);
        tables.Lower[c] = static_cast<unsigned char>(c);
    }
    for (int c = 0; c < 256; ++c) {
        if (IsUpperLetter(c)) {
            const int lower = LowerOf(c);
            tables.IsUpper[c] = true;
            tables.Lower[c] = static_cast<unsigned char>(lower);
            tables.Upper[lower] = static_cast<unsigned char>(c);
        }
    }
    return tables;
}

constexpr TCaseTables CaseTables = BuildCaseTables();

constexpr bool IsDelimiter(int c)
{
    return (c >= 1 && c <= 47) || (c >= 58 && c <= 64) || (c >= 91 && c <= 95) ||
           (c >= 97 && c <= 126);
}
} // namespace

unsigned char UpperCaseByte(unsigned char c)
{
    return CaseTables.Upper[c];
}

unsigned char LowerCaseByte(unsigned char c)
{
    return CaseTables.Lower[c];
}

bool IsUpperCaseByte(unsigned char c)
{
    return CaseTables.IsUpper[c];
}

bool IsWordDelimiter(unsigned char c)
{
    return IsDelimiter(c);
}
