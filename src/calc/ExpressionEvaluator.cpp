#include "calc/ExpressionEvaluator.h"

#include "calc/CheckedArithmetic.h"
#include "calc/EparserError.h"
#include "calc/NumberText.h"

#include <clocale>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <utility>
#include <vector>

namespace {
// The text of the last evaluation's failure; empty after a success.
std::string LastExpressionError;

// Groups and calls nested deeper than this fail instead of exhausting the stack. Chains of
// operators are flat and have no limit.
constexpr int MaxNesting = 1000;

std::optional<char> &ChosenDecimalSeparator()
{
    static std::optional<char> separator;
    return separator;
}

bool IsOperator(char c)
{
    return c == '+' || c == '-' || c == '*' || c == '/' || c == '^';
}

bool IsSign(char c)
{
    return c == '+' || c == '-';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

[[noreturn]] void ThrowNotANumber(std::string_view text)
{
    throw std::runtime_error("'" + std::string(text) + "' is not a valid floating point value");
}

// Arithmetic as it is taught, over the normalised text:
//
//   sum     = product { ("+" | "-") product }        left to right
//   product = signed { ("*" | "/") signed }          left to right
//   signed  = [ "+" | "-" ] power                    the sign applies to the power
//   power   = primary [ "^" signed ]                 right to left: 2^3^2 = 2^9
//   primary = "(" sum ")" | name "(" sum ")" | operand
//
// A "(" that is never closed fails before anything is evaluated. An operand is the text up to the
// next operator or parenthesis, converted as a number; the sign of an exponent belongs to it
// (1e-3). A ")" that closes no group is an ordinary character of an operand, and so is an operator
// other than "^" that ends the text or its group ("2+" is an operand that fails as a number). A
// character other than an operator after a group or call is an invalid operation; the text after it
// is evaluated first, so that its own faults take precedence.
class TEvaluator
{
public:
    TEvaluator(std::string_view text, char separator) : FText(text), FSeparator(separator) {}

    long double Evaluate()
    {
        CheckGroupsClosed();
        return Sum();
    }

private:
    void CheckGroupsClosed() const
    {
        int depth = 0;
        for (const char c : FText) {
            if (c == '(')
                ++depth;
            else if (c == ')' && depth > 0)
                --depth;
        }
        if (depth > 0)
            throw EparserError("missing ')'");
    }

    bool At(char c) const { return FPos < FText.size() && FText[FPos] == c; }

    // Whether position i ends the text or the innermost open group.
    bool IsEndAt(std::size_t i) const
    {
        return i >= FText.size() || (FDepth > 0 && FText[i] == ')');
    }

    long double Sum()
    {
        long double value = Product();
        std::optional<std::size_t> invalidFrom;
        while (!IsEndAt(FPos)) {
            const char c = FText[FPos++];
            if (c == '+')
                value = Add(value, Product());
            else if (c == '-')
                value = Subtract(value, Product());
            else {
                invalidFrom = FLastGroupStart;
                Product();
            }
        }
        if (invalidFrom)
            throw EparserError("invalid operation " +
                               std::string(FText.substr(*invalidFrom, FPos - *invalidFrom)));
        return value;
    }

    long double Product()
    {
        long double value = Signed();
        while (At('*') || At('/')) {
            const char c = FText[FPos++];
            const long double right = Signed();
            value = c == '*' ? Multiply(value, right) : Divide(value, right);
        }
        return value;
    }

    // A chain such as -a^-b^c is -(a^(-(b^c))): the primaries are read left to right and
    // the powers taken right to left, without recursion.
    long double Signed()
    {
        const char sign = TakeSign();
        const long double first = Primary(sign);
        if (!At('^'))
            return WithSign(sign, first);
        std::vector<std::pair<char, long double>> chain{{sign, first}};
        while (At('^')) {
            ++FPos;
            const char s = TakeSign();
            chain.emplace_back(s, Primary(s));
        }
        long double value = WithSign(chain.back().first, chain.back().second);
        for (auto link = chain.rbegin() + 1; link != chain.rend(); ++link)
            value = WithSign(link->first, Power(link->second, value));
        return value;
    }

    char TakeSign()
    {
        if (FPos < FText.size() && IsSign(FText[FPos]))
            return FText[FPos++];
        return 0;
    }

    static long double WithSign(char sign, long double value)
    {
        return sign == '-' ? -value : value;
    }

    // A group, a call or an operand; `sign` is the sign read just before it.
    long double Primary(char sign)
    {
        const std::size_t start = FPos;
        if (At('(')) {
            const long double value = Group();
            FLastGroupStart = start;
            return value;
        }
        const std::string_view word = Word();
        if (At('(')) {
            const long double value = Call(start, word);
            FLastGroupStart = start;
            return value;
        }
        if (word.empty() && !sign)
            throw EparserError("syntax error");
        // The sign takes part in the conversion message, as part of the number.
        return Operand(FText.substr(start - (sign ? 1 : 0), word.size() + (sign ? 1 : 0)), word);
    }

    long double Group()
    {
        if (++FDepth > MaxNesting)
            throw EparserError("expression too deeply nested");
        ++FPos;
        const long double value = Sum();
        if (!At(')'))
            throw EparserError("missing ')'");
        ++FPos;
        --FDepth;
        return value;
    }

    // The text up to the next operator or parenthesis.
    std::string_view Word()
    {
        const std::size_t start = FPos;
        while (FPos < FText.size()) {
            const char c = FText[FPos];
            if (c == '(' || (c == ')' && FDepth > 0))
                break;
            if (IsOperator(c)) {
                if (IsExponentSign(start)) {
                    ++FPos;
                    continue;
                }
                if (c != '^' && IsEndAt(FPos + 1))
                    ++FPos;
                break;
            }
            ++FPos;
        }
        return FText.substr(start, FPos - start);
    }

    // Whether the character at FPos is the sign of an exponent: the word so far is a
    // mantissa and "e", and a digit follows.
    bool IsExponentSign(std::size_t start) const
    {
        if (!IsSign(FText[FPos]) || FPos < start + 2 || FText[FPos - 1] != 'e' ||
            FPos + 1 >= FText.size() || !IsDigit(FText[FPos + 1]))
            return false;
        bool separator = false;
        for (std::size_t i = start; i + 1 < FPos; ++i) {
            if (FText[i] == FSeparator && !separator)
                separator = true;
            else if (!IsDigit(FText[i]))
                return false;
        }
        return true;
    }

    long double Call(std::size_t start, std::string_view name)
    {
        const long double a = Group();
        if (name == "sin")
            return Sine(a);
        if (name == "cos")
            return Cosine(a);
        if (name == "tan")
            return Tangent(a);
        if (name == "arctan")
            return ArcTangent(a);
        if (name == "log")
            return Divide(Ln(a), Ln(10));
        if (name == "ln")
            return Ln(a);
        if (name == "exp")
            return Exp(a);
        if (name == "sqrt")
            return SquareRoot(a);
        throw EparserError("unknown function " + std::string(FText.substr(start, FPos - start)));
    }

    // `text` is the word with the sign before it, if any.
    long double Operand(std::string_view text, std::string_view word) const
    {
        // x, y and z are variables that always hold 1; a name of one letter is not one.
        if (word.size() >= 2 && (word[0] == 'x' || word[0] == 'y' || word[0] == 'z'))
            return 1.0L;
        const std::optional<long double> number = TextToNumber(word, FSeparator);
        if (!number)
            ThrowNotANumber(text);
        return *number;
    }

    std::string_view FText;
    char FSeparator;
    std::size_t FPos = 0;
    int FDepth = 0;
    // Where the last group or call began (its name included).
    std::size_t FLastGroupStart = 0;
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
    ClearFaults();
    try {
        const std::string normalized = NormalizeExpression(expression);
        return TEvaluator(normalized, DecimalSeparator()).Evaluate();
    } catch (const std::exception &e) {
        // A fault leaves its flag raised; nothing after this evaluation should see it.
        ClearFaults();
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
