#include "calc/NumberText.h"

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <locale.h>
#include <string>

namespace {
bool IsSign(char c)
{
    return c == '+' || c == '-';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

locale_t ClassicLocale()
{
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", nullptr);
    return locale;
}

// Powers of ten that an extended number holds exactly (5^27 < 2^64).
constexpr int ExactPowers = 27;

long double PowerOfTen(int n)
{
    long double power = 1;
    for (int i = 0; i < n; ++i)
        power *= 10;
    return power;
}

// The parts of a number text, read without converting.
struct TNumberParts
{
    bool Negative = false;
    std::string_view Whole;    // digits before the separator
    std::string_view Fraction; // digits after it
    int Exponent = 0;
};

std::string_view Digits(std::string_view text, std::size_t &i)
{
    const std::size_t start = i;
    while (i < text.size() && IsDigit(text[i]))
        ++i;
    return text.substr(start, i - start);
}

bool ReadNumber(std::string_view text, char separator, TNumberParts &parts)
{
    std::size_t i = 0;
    if (i < text.size() && IsSign(text[i]))
        parts.Negative = text[i++] == '-';
    parts.Whole = Digits(text, i);
    bool mantissa = !parts.Whole.empty();
    if (i < text.size() && text[i] == separator) {
        ++i;
        mantissa = true;
        parts.Fraction = Digits(text, i);
    }
    if (!mantissa)
        return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < text.size() && IsSign(text[i]))
            negativeExponent = text[i++] == '-';
        while (parts.Exponent < 500 && i < text.size() && IsDigit(text[i]))
            parts.Exponent = parts.Exponent * 10 + (text[i++] - '0');
        if (negativeExponent)
            parts.Exponent = -parts.Exponent;
    }
    return i == text.size();
}

// Numbers of up to 19 digits whose scale is an exact power of ten: both parts exact, so one
// multiplication or division rounds correctly.
std::optional<long double> ShortNumber(const TNumberParts &parts)
{
    const std::size_t digitCount = parts.Whole.size() + parts.Fraction.size();
    const int scale = parts.Exponent - int(parts.Fraction.size());
    if (digitCount > 19 || scale < -ExactPowers || scale > ExactPowers)
        return std::nullopt;
    unsigned long long digits = 0;
    for (const char c : parts.Whole)
        digits = digits * 10 + unsigned(c - '0');
    for (const char c : parts.Fraction)
        digits = digits * 10 + unsigned(c - '0');
    const auto whole = static_cast<long double>(digits);
    return scale >= 0 ? whole * PowerOfTen(scale) : whole / PowerOfTen(-scale);
}

long double LongNumber(const TNumberParts &parts)
{
    const std::string canonical = "0" + std::string(parts.Whole) + "." +
                                  std::string(parts.Fraction) + "e" +
                                  std::to_string(parts.Exponent);
    return strtold_l(canonical.c_str(), nullptr, ClassicLocale());
}
} // namespace

std::optional<long double> TextToNumber(std::string_view text, char separator)
{
    TNumberParts parts;
    if (!ReadNumber(text, separator, parts))
        return std::nullopt;
    std::optional<long double> value = ShortNumber(parts);
    if (!value) {
        value = LongNumber(parts);
        // Too large for the extended range fails; too small becomes 0 or a denormal value.
        if (std::isinf(*value))
            return std::nullopt;
    }
    return parts.Negative ? -*value : *value;
}
