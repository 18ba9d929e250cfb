#include "calc/ValueRendering.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace {
constexpr int FieldWidth = 12;
// From this decimal exponent on the value is written in exponent notation.
constexpr int ExponentThreshold = 36;
// Enough significant digits to give back any number typed with up to 18 digits, and few
// enough that its binary neighbour does not show: 1.005 reads 1.00500000000000000.
constexpr int SignificantDigits = 18;

// A value as SignificantDigits decimal digits d1 d2 ... and the decimal exponent of d1.
struct TDecimal
{
    bool Negative = false;
    std::string Digits;
    int Exponent = 0;
};

TDecimal ToDecimal(long double value)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                                      std::chars_format::scientific, SignificantDigits - 1);
    const std::string text(buffer, result.ptr); // "-d.ddde+xx"
    TDecimal decimal;
    decimal.Negative = text[0] == '-';
    const std::size_t e = text.find('e');
    for (std::size_t i = decimal.Negative ? 1 : 0; i < e; ++i)
        if (text[i] != '.')
            decimal.Digits += text[i];
    decimal.Exponent = std::atoi(text.c_str() + e + 1);
    return decimal;
}

// The first `keep` digits (keep may be 0 or negative: nothing is kept), rounded half away from
// zero by the digit after them; a carry adds a leading "1".
std::string RoundedDigits(const std::string &digits, int keep)
{
    if (keep < 0)
        return {};
    std::string kept = digits.substr(0, std::size_t(keep));
    if (std::size_t(keep) >= digits.size() || digits[std::size_t(keep)] < '5')
        return kept;
    for (auto digit = kept.rbegin(); digit != kept.rend(); ++digit) {
        if (*digit != '9') {
            ++*digit;
            return kept;
        }
        *digit = '0';
    }
    return '1' + kept;
}

// "ddd.dd": two decimals, no exponent.
std::string FixedForm(const TDecimal &decimal)
{
    const int keep = decimal.Exponent + 3; // the digits down to the hundredths
    std::string digits = RoundedDigits(decimal.Digits, keep);
    if (keep > int(decimal.Digits.size()))
        digits.append(std::size_t(keep) - decimal.Digits.size(), '0');
    if (digits.size() < 3)
        digits.insert(0, 3 - digits.size(), '0');
    digits.insert(digits.size() - 2, 1, '.');
    return digits;
}

// "d.dde+xx": three significant digits and at least two exponent digits.
std::string ExponentForm(const TDecimal &decimal)
{
    std::string digits = RoundedDigits(decimal.Digits, 3);
    int exponent = decimal.Exponent;
    if (digits.size() > 3) {
        digits.pop_back();
        ++exponent;
    }
    const std::string exponentDigits = std::to_string(std::abs(exponent));
    return digits.substr(0, 1) + '.' + digits.substr(1) + 'e' + (exponent < 0 ? '-' : '+') +
           (exponentDigits.size() < 2 ? "0" : "") + exponentDigits;
}
// Every whole number up to 2^64 is held exactly; beyond it a whole number may be the nearest
// neighbour of what was typed (1e30), whose exact digits would be noise.
bool IsExactWholeNumber(long double value)
{
    return value == std::floor(value) && std::fabs(value) >= 1e17L &&
           std::fabs(value) <= 18446744073709551616.0L;
}

// A whole number with more digits than SignificantDigits: the extended format holds it exactly
// (2^64 is 18446744073709551616), so every digit is written as it is.
std::string WholeNumberForm(long double value)
{
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::fixed, 0);
    return std::string(buffer, result.ptr) + ".00";
}
} // namespace

std::string RenderValue(long double value)
{
    std::string text;
    if (!std::isfinite(value)) {
        text = std::isnan(value) ? "nan" : value < 0 ? "-inf" : "inf";
    } else {
        const TDecimal decimal = ToDecimal(value);
        if (decimal.Exponent >= ExponentThreshold)
            text = ExponentForm(decimal);
        else if (IsExactWholeNumber(value))
            text = WholeNumberForm(value);
        else
            text = FixedForm(decimal);
        // A negative value keeps its sign even when it rounds to zero; negative zero has none.
        if (decimal.Negative && value != 0)
            text.insert(0, 1, '-');
    }
    if (text.size() < FieldWidth)
        text.insert(0, FieldWidth - text.size(), ' ');
    return text;
}
