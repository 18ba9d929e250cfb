#include "assembly/MergedValue.h"

#include "calc/ExpressionEvaluator.h"
#include "calc/ValueRendering.h"

namespace {
bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsGroupJoint(char c)
{
    return c == '/' || c == '-' || c == '.' || c == ':';
}

// A run of two or more digits that starts with 0 and is no decimal part (1.05 has none).
bool HasLeadingZero(const std::string &text)
{
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        const bool runStart = i == 0 || !IsDigit(text[i - 1]);
        if (runStart && text[i] == '0' && IsDigit(text[i + 1]) && (i == 0 || text[i - 1] != '.'))
            return true;
    }
    return false;
}

// Two or more digit groups and nothing between them but "/", "-", "." or ":", one of them not
// a decimal point.
bool IsJoinedDigitGroups(const std::string &text)
{
    int groups = 0;
    bool otherJoint = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (IsDigit(c)) {
            if (i == 0 || !IsDigit(text[i - 1]))
                ++groups;
        } else if (!IsGroupJoint(c)) {
            return false;
        } else if (c != '.') {
            otherJoint = true;
        }
    }
    return groups >= 2 && otherJoint;
}

std::string WithoutOuterSpaces(const std::string &text)
{
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// Two numbers with nothing but spaces between them ("+1 555 123 4567", "1 1/2"): the spaces
// say that this is written text, a phone number or a fraction, not a sum.
bool HasSpacedNumbers(const std::string &value)
{
    for (std::size_t i = 0; i + 1 < value.size(); ++i) {
        if (!IsDigit(value[i]) || value[i + 1] != ' ')
            continue;
        std::size_t next = i + 1;
        while (next < value.size() && value[next] == ' ')
            ++next;
        if (next < value.size() && IsDigit(value[next]))
            return true;
    }
    return false;
}

// "+" and seven digits or more: an international phone number.
bool IsInternationalNumber(const std::string &text)
{
    if (text.size() < 8 || text[0] != '+')
        return false;
    std::size_t digits = 0;
    for (std::size_t i = 1; i < text.size(); ++i) {
        if (IsDigit(text[i]))
            ++digits;
        else if (text[i] != ' ')
            return false;
    }
    return digits >= 7;
}
} // namespace

bool HasOperator(const std::string &value)
{
    return value.find_first_of("*+-/^") != std::string::npos;
}

bool IsQuotedValue(const std::string &value)
{
    return !value.empty() && value[0] == '\'' && HasOperator(value);
}

bool IsComputedValue(const std::string &value)
{
    return HasOperator(value) && !IsQuotedValue(value) && !HasSpacedNumbers(value);
}

std::string MergedValue(const std::string &value)
{
    if (IsQuotedValue(value))
        return value.substr(1);
    if (!IsComputedValue(value))
        return value;
    const long double number = EvaluateExpression(value);
    if (!GetExpressionError().empty())
        return value;
    return RenderValue(number);
}

bool LooksLikeDateOrCode(const std::string &value)
{
    const std::string text = WithoutOuterSpaces(value);
    return HasLeadingZero(text) || IsJoinedDigitGroups(text) || IsInternationalNumber(text);
}
