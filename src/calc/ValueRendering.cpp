#include "calc/ValueRendering.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace {
constexpr int FieldWidth = 12;
// From this magnitude on the value is written in exponent notation.
constexpr long double ExponentThreshold = 1e36L;
constexpr long double Infinity = std::numeric_limits<long double>::infinity();

// Exact halves (the values that are odd multiples of 1/8) round away from zero, as people
// round by hand; to_chars alone would round them to even.
long double AwayFromTie(long double value)
{
    const long double eighths = value * 8;
    if (std::fabs(eighths) < 0x1p63L && std::fmod(eighths, 2.0L) != 0 &&
        std::trunc(eighths) == eighths)
        return std::nextafter(value, value < 0 ? -Infinity : Infinity);
    return value;
}

bool IsAllZero(const std::string &digits)
{
    return digits.find_first_not_of("-0.") == std::string::npos;
}
} // namespace

std::string RenderValue(long double value)
{
    char buffer[128];
    std::to_chars_result result{};
    if (std::fabs(value) < ExponentThreshold)
        result = std::to_chars(buffer, buffer + sizeof buffer, AwayFromTie(value),
                               std::chars_format::fixed, 2);
    else
        result =
            std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 2);
    std::string text = result.ec == std::errc() ? std::string(buffer, result.ptr) : "0.00";
    // A value that rounds to zero is written without a sign.
    if (!text.empty() && text[0] == '-' && IsAllZero(text))
        text.erase(0, 1);
    if (text.size() < FieldWidth)
        text.insert(0, FieldWidth - text.size(), ' ');
    return text;
}
