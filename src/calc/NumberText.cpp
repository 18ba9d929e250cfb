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

} // namespace

std::optional<long double> TextToNumber(std::string_view text, char separator)
{
    std::string canonical;
    canonical.reserve(text.size() + 8);
    std::size_t i = 0;
    if (i < text.size() && IsSign(text[i]))
        canonical += text[i++];
    const bool negative = !canonical.empty() && canonical[0] == '-';
    bool mantissa = false;
    unsigned long long digitsValue = 0; // the first 19 digits, for the exact short cut
    int digitCount = 0;
    int fractionDigits = 0;
    const auto digits = [&](bool fraction) {
        while (i < text.size() && IsDigit(text[i])) {
            if (++digitCount <= 19)
                digitsValue = digitsValue * 10 + unsigned(text[i] - '0');
            if (fraction)
                ++fractionDigits;
            canonical += text[i++];
            mantissa = true;
        }
    };
    canonical += '0';
    digits(false);
    if (i < text.size() && text[i] == separator) {
        ++i;
        mantissa = true;
        canonical += '.';
        digits(true);
    }
    if (!mantissa)
        return std::nullopt;
    int exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < text.size() && IsSign(text[i]))
            negativeExponent = text[i++] == '-';
        while (exponent < 500 && i < text.size() && IsDigit(text[i]))
            exponent = exponent * 10 + (text[i++] - '0');
        if (negativeExponent)
            exponent = -exponent;
    }
    if (i != text.size())
        return std::nullopt;

    // Short numbers: both parts exact, so one multiplication or division rounds correctly.
    const int scale = exponent - fractionDigits;
    if (digitCount <= 19 && scale >= -ExactPowers && scale <= ExactPowers) {
        const long double whole = static_cast<long double>(digitsValue);
        const long double value =
            scale >= 0 ? whole * PowerOfTen(scale) : whole / PowerOfTen(-scale);
        return negative ? -value : value;
    }
    canonical += 'e';
    canonical += std::to_string(exponent);
    const long double value = strtold_l(canonical.c_str(), nullptr, ClassicLocale());
    // Too large for the extended range fails; too small becomes 0 or a denormal value.
    if (std::isinf(value))
        return std::nullopt;
    return value;
}
