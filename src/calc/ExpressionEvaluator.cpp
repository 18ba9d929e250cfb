#include "calc/ExpressionEvaluator.h"

#include "calc/EparserError.h"

#include <cfenv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <locale.h>
#include <optional>
#include <stdexcept>
#include <string_view>

namespace {
// The text of the last evaluation's failure; empty after a success.
std::string LastExpressionError;

// Nesting of groups, calls and operators beyond this fails instead of exhausting the stack.
constexpr int MaxNesting = 1000;
constexpr const char *Operators = "+-*/^";
// Underflow and inexact results are not faults.
constexpr int TrappedFaults = FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW;

std::optional<char> &ChosenDecimalSeparator()
{
    static std::optional<char> separator;
    return separator;
}

bool IsOperator(char c)
{
    return c == '+' || c == '-' || c == '*' || c == '/' || c == '^';
}

// Arithmetic with invalid operation, division by zero and overflow turned into failures.
// The flags are cleared once when an evaluation starts; since every fault ends the
// evaluation, a flag found set after an operation was raised by that operation.
// The operands and the result pass through volatile storage so that the compiler cannot move
// the flag test before the operation.
void CheckFloatingPointFlags()
{
    const int raised = std::fetestexcept(TrappedFaults);
    if (raised & FE_INVALID)
        throw std::runtime_error("Invalid floating point operation");
    if (raised & FE_DIVBYZERO)
        throw std::runtime_error("Floating point division by zero");
    if (raised & FE_OVERFLOW)
        throw std::runtime_error("Floating point overflow");
}

template <typename Operation> long double Checked(long double a, long double b, Operation op)
{
    volatile long double left = a;
    volatile long double right = b;
    volatile long double result = op(left, right);
    CheckFloatingPointFlags();
    return result;
}

long double Add(long double a, long double b)
{
    return Checked(a, b, [](long double x, long double y) { return x + y; });
}
long double Subtract(long double a, long double b)
{
    return Checked(a, b, [](long double x, long double y) { return x - y; });
}
long double Multiply(long double a, long double b)
{
    return Checked(a, b, [](long double x, long double y) { return x * y; });
}
long double Divide(long double a, long double b)
{
    return Checked(a, b, [](long double x, long double y) { return x / y; });
}
long double Ln(long double a)
{
    return Checked(a, 0, [](long double x, long double) { return std::log(x); });
}
long double Exp(long double a)
{
    return Checked(a, 0, [](long double x, long double) { return std::exp(x); });
}

// The x87 reduces no argument of 2^63 or more; such a sine or cosine counts as 0.
constexpr long double TrigonometricLimit = 9223372036854775808.0L;

long double Sine(long double a)
{
    if (std::fabs(a) >= TrigonometricLimit)
        return 0;
    return Checked(a, 0, [](long double x, long double) { return std::sin(x); });
}
long double Cosine(long double a)
{
    if (std::fabs(a) >= TrigonometricLimit)
        return 0;
    return Checked(a, 0, [](long double x, long double) { return std::cos(x); });
}

// --- Number conversion -------------------------------------------------------------------

[[noreturn]] void ThrowNotANumber(std::string_view text)
{
    throw std::runtime_error("'" + std::string(text) + "' is not a valid floating point value");
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

// Sign, digits, the decimal separator and digits, "e", a sign and digits; nothing else.
// The exponent is read only until its value reaches 500.
long double TextToNumber(std::string_view text, char separator)
{
    std::string canonical;
    canonical.reserve(text.size() + 8);
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        canonical += text[i++];
    const bool negative = !canonical.empty() && canonical[0] == '-';
    bool mantissa = false;
    unsigned long long digitsValue = 0; // the first 19 digits, for the exact short cut
    int digitCount = 0;
    int fractionDigits = 0;
    const auto digits = [&](bool fraction) {
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
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
        ThrowNotANumber(text);
    int exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            negativeExponent = text[i++] == '-';
        while (exponent < 500 && i < text.size() && text[i] >= '0' && text[i] <= '9')
            exponent = exponent * 10 + (text[i++] - '0');
        if (negativeExponent)
            exponent = -exponent;
    }
    if (i != text.size())
        ThrowNotANumber(text);

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
        ThrowNotANumber(text);
    return value;
}

// --- The evaluator -------------------------------------------------------------------------

class TEvaluator
{
public:
    explicit TEvaluator(char separator) : FSeparator(separator) {}

    long double Evaluate(std::string_view t, int depth) const
    {
        if (depth > MaxNesting)
            throw EparserError("expression too deeply nested");
        const std::size_t n = t.size();
        const std::size_t open = t.find('(');
        const std::size_t p = open == std::string_view::npos ? 0 : open + 1; // 1-based
        std::size_t m = 0;
        if (p > 0)
            m = FindClosingParenthesis(t, p);
        if (p == 1) {
            if (m == n)
                return Evaluate(t.substr(1, n - 2), depth + 1);
            return EvaluateOperation(t, m + 1, depth);
        }
        const std::size_t k = FindOperator(t, p > 0 ? p : n);
        if (p == 0 && k == 0)
            return EvaluateOperand(t);
        if (k > 0)
            return EvaluateOperation(t, k, depth);
        if (m < n)
            return EvaluateOperation(t, m + 1, depth);
        return EvaluateFunction(t, p, depth);
    }

private:
    // Position (1-based) of the ")" closing the "(" at position p.
    static std::size_t FindClosingParenthesis(std::string_view t, std::size_t p)
    {
        int depth = 1;
        for (std::size_t i = p; i < t.size(); ++i) {
            if (t[i] == '(')
                ++depth;
            else if (t[i] == ')' && --depth == 0)
                return i + 1;
        }
        throw EparserError("missing ')'");
    }

    // Only the first occurrence of each operator counts; a "+" or "-" at the start or after
    // another operator is a sign.
    static std::size_t FindOperator(std::string_view t, std::size_t limit)
    {
        std::size_t r = 0;
        for (const char *c = Operators; *c; ++c) {
            const std::size_t found = t.find(*c);
            r = found == std::string_view::npos ? 0 : found + 1;
            if ((*c == '+' || *c == '-') && r > 0 && (r == 1 || IsOperator(t[r - 2])))
                r = 0;
            if (r > 0 && r < limit)
                return r;
        }
        return r <= limit ? r : 0;
    }

    long double EvaluateOperation(std::string_view t, std::size_t k, int depth) const
    {
        const long double left = Evaluate(t.substr(0, k - 1), depth + 1);
        const long double right = Evaluate(t.substr(k), depth + 1);
        switch (t[k - 1]) {
        case '+':
            return Add(left, right);
        case '-':
            return Subtract(left, right);
        case '*':
            return Multiply(left, right);
        case '/':
            return Divide(left, right);
        case '^':
            return Exp(Multiply(right, Ln(left)));
        default:
            throw EparserError("invalid operation " + std::string(t));
        }
    }

    long double EvaluateFunction(std::string_view t, std::size_t p, int depth) const
    {
        const std::string_view name = t.substr(0, p - 1);
        const long double a = Evaluate(t.substr(p, t.size() - p - 1), depth + 1);
        if (name == "sin")
            return Sine(a);
        if (name == "cos")
            return Cosine(a);
        if (name == "tan")
            return Divide(Sine(a), Cosine(a));
        if (name == "arctan")
            return Checked(a, 0, [](long double x, long double) { return std::atan(x); });
        if (name == "log")
            return Divide(Ln(a), Ln(10));
        if (name == "ln")
            return Ln(a);
        if (name == "exp")
            return Exp(a);
        if (name == "sqrt")
            return Checked(a, 0, [](long double x, long double) { return std::sqrt(x); });
        throw EparserError("unknown function " + std::string(t));
    }

    long double EvaluateOperand(std::string_view t) const
    {
        if (t.empty())
            throw EparserError("syntax error");
        // x, y and z are variables that always hold 1; a name of one letter is not one.
        if (t.size() >= 2 && (t[0] == 'x' || t[0] == 'y' || t[0] == 'z'))
            return 1.0L;
        return TextToNumber(t, FSeparator);
    }

    char FSeparator;
};

std::string NormalizeExpression(const std::string &expression)
{
    std::string normalized;
    normalized.reserve(expression.size());
    for (const char c : expression) {
        if (c == ' ')
            continue;
        normalized += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return normalized;
}
} // namespace

long double EvaluateExpression(const std::string &expression)
{
    LastExpressionError.clear();
    // Clearing the flags is slow and they are seldom raised: look before clearing.
    if (std::fetestexcept(TrappedFaults))
        std::feclearexcept(TrappedFaults);
    try {
        const TEvaluator evaluator(DecimalSeparator());
        return evaluator.Evaluate(NormalizeExpression(expression), 0);
    } catch (const std::exception &e) {
        // A fault leaves its flag raised; nothing after this evaluation should see it.
        std::feclearexcept(TrappedFaults);
        LastExpressionError = e.what();
        return 0;
    }
}

std::string GetExpressionError()
{
    return LastExpressionError;
}

void SetDecimalSeparator(char separator)
{
    ChosenDecimalSeparator() = separator;
}

char DecimalSeparator()
{
    if (ChosenDecimalSeparator())
        return *ChosenDecimalSeparator();
    const lconv *conventions = std::localeconv();
    const char *point = conventions ? conventions->decimal_point : nullptr;
    // A separator of more than one byte cannot stand in a single-byte text.
    if (point && point[0] != '\0' && point[1] == '\0')
        return point[0];
    return '.';
}
