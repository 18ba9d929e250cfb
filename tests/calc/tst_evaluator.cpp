// The expression evaluator: split rules, failures, operands and functions.
#include "calc/ExpressionEvaluator.h"

#include "TestEnvironment.h"

#include <QtTest>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <locale>
#include <sstream>
#include <string>

namespace {
bool Close(long double actual, long double expected)
{
    return std::fabs(actual - expected) <= 1e-15L * std::max(1.0L, std::fabs(expected));
}

// All the digits of an extended number, whatever its magnitude.
std::string Text(long double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.20Lg", value);
    return buffer;
}

const QString NotANumber = QStringLiteral("'%1' is not a valid floating point value");
} // namespace

class TestEvaluator : public QObject
{
    Q_OBJECT

private slots:
    void init() { SetDecimalSeparator('.'); }

    // Expressions that evaluate; the value is compared to within rounding.
    void values_data();
    void values();
    // Expressions that fail, with the exact message.
    void failures_data();
    void failures();

    void errorIsClearedByNextSuccess();
    void localeDecimalSeparator();
    void defaultSeparatorFollowsTheCLocale();
    void deepNestingFailsWithoutCrash_data();
    void deepNestingFailsWithoutCrash();
    void moderateNestingAndLongChainsWork();
    // A whole-number power is the exact product, not e^(n ln x).
    void wholePowersAreExact();
    // Random expressions of + - * / ^, signs and groups: same value or same fault.
    void agreesWithAReferenceEvaluator();
};

void TestEvaluator::values_data()
{
    QTest::addColumn<QString>("expression");
    QTest::addColumn<double>("value");

    // "+" and "-" bind loosest, "*" and "/" tighter, both left to right; "^" binds tightest,
    // right to left; a sign applies to the operand, number or group after it.
    QTest::newRow("times binds tighter") << "2+3*4" << 14.0;
    QTest::newRow("minus and plus left to right") << "2-3+4" << 3.0;
    QTest::newRow("divide and times left to right") << "12/2*3" << 18.0;
    QTest::newRow("minus left to right") << "10-2-3" << 5.0;
    QTest::newRow("divide left to right") << "8/4/2" << 1.0;
    QTest::newRow("power right to left") << "2^3^2" << 512.0;
    QTest::newRow("leading group") << "(1+2)*3+4" << 13.0;
    QTest::newRow("group after operator") << "2*(1+2)+4" << 10.0;
    QTest::newRow("call before operators") << "sin(0)*2+1" << 1.0;
    QTest::newRow("sign after operator") << "2*-3" << -6.0;
    QTest::newRow("minus then sign") << "2--3" << 5.0;
    QTest::newRow("negative power") << "2^-1" << 0.5;
    QTest::newRow("exponent sign belongs to the number") << "1e-3*2" << 0.002;
    QTest::newRow("exponent plus belongs to the number") << "1e+2*1" << 100.0;
    QTest::newRow("leading sign then minus") << "-2-3" << -5.0;
    QTest::newRow("sign before group") << "-(2+3)" << -5.0;
    QTest::newRow("sign before call") << "-sqrt(4)*3" << -6.0;
    QTest::newRow("sign binds looser than power") << "-2^2" << -4.0;
    QTest::newRow("signed power chain") << "2^-1^2" << 0.5;
    QTest::newRow("0 to a whole power") << "0^2" << 0.0;
    QTest::newRow("0 to the power 0") << "0^0" << 1.0;
    QTest::newRow("negative base") << "(0-2)^2" << 4.0;
    QTest::newRow("negative group base") << "(-2)^2" << 4.0;
    QTest::newRow("odd power of negative base") << "(0-2)^3" << -8.0;
    QTest::newRow("whole power from a group") << "10^(1-3)" << 0.01;
    QTest::newRow("power beyond the range underflows") << "10^-5000+1" << 1.0;

    // Normalisation and operands.
    QTest::newRow("upper case and spaces") << "SQRT (16)" << 4.0;
    QTest::newRow("spaces inside numbers") << "1 000+1" << 1001.0;
    QTest::newRow("leading minus") << "-5" << -5.0;
    QTest::newRow("leading plus") << "+2" << 2.0;
    QTest::newRow("decimals") << "1.25*4" << 5.0;
    QTest::newRow("lone separator is 0") << ".+1" << 1.0;
    QTest::newRow("leading separator") << ".5*4" << 2.0;
    QTest::newRow("trailing separator") << "5.*2" << 10.0;
    QTest::newRow("exponent") << "2e3+1" << 2001.0;
    QTest::newRow("upper-case exponent") << "2E3+1" << 2001.0;
    QTest::newRow("exponent without digits") << "3e*2" << 6.0;
    QTest::newRow("exponent 500") << "1e500/1e499" << 10.0;
    QTest::newRow("exponent with leading zero") << "1e0300/1e299" << 10.0;
    QTest::newRow("underflow gives 0") << "(1/1e4000)/1e4000" << 0.0;
    QTest::newRow("variable x") << "xa*2" << 2.0;
    QTest::newRow("variable y") << "Yb+1" << 2.0;
    QTest::newRow("variable z") << "z9*3" << 3.0;
    QTest::newRow("nested groups") << "((2))*((3))" << 6.0;
    QTest::newRow("whole text one group") << "(2+3)" << 5.0;

    // Functions, argument evaluated first.
    QTest::newRow("sin") << "sin(0)+0" << 0.0;
    QTest::newRow("cos") << "cos(0)+0" << 1.0;
    QTest::newRow("tan") << "tan(1)+0" << double(std::tan(1.0L));
    QTest::newRow("arctan") << "arctan(1)*4" << double(4 * std::atan(1.0L));
    QTest::newRow("log") << "log(1000)+0" << 3.0;
    QTest::newRow("ln") << "ln(exp(2))+0" << 2.0;
    QTest::newRow("exp") << "exp(1)+0" << double(std::exp(1.0L));
    QTest::newRow("sqrt") << "sqrt(2)*sqrt(2)" << 2.0;
    QTest::newRow("function of expression") << "sqrt(9+16)" << 5.0;
    QTest::newRow("fractional power") << "4^0.5" << 2.0;
    QTest::newRow("sin beyond 2^63") << "sin(9223372036854775808)+1" << 1.0;
    QTest::newRow("cos beyond 2^63") << "cos(0-1e30)+1" << 1.0;
    QTest::newRow("sin just below 2^63")
        << "sin(9223372036854775807)+0" << double(std::sin(9223372036854775807.0L));
    QTest::newRow("underflow is not a fault") << "exp(0-100000)+0" << 0.0;
}

void TestEvaluator::values()
{
    QFETCH(QString, expression);
    QFETCH(double, value);
    const long double result = EvaluateExpression(expression.toStdString());
    QCOMPARE(QString::fromStdString(GetExpressionError()), QString());
    QVERIFY2(Close(result, value), qPrintable(QString::number(double(result), 'g', 20)));
}

void TestEvaluator::failures_data()
{
    QTest::addColumn<QString>("expression");
    QTest::addColumn<QString>("error");

    QTest::newRow("number before group") << "2(3)"
                                         << "unknown function 2(3)";
    QTest::newRow("misspelt function") << "sinh(1)"
                                       << "unknown function sinh(1)";
    QTest::newRow("name normalised in message") << "FOO (1)"
                                                << "unknown function foo(1)";
    QTest::newRow("no constants") << "pi*2" << NotANumber.arg("pi");
    QTest::newRow("unclosed group") << "(1+2"
                                    << "missing ')'";
    QTest::newRow("unclosed call") << "2*sqrt(4"
                                   << "missing ')'";
    QTest::newRow("empty group") << "()"
                                 << "syntax error";
    QTest::newRow("power without right side") << "2^"
                                              << "syntax error";
    QTest::newRow("empty argument") << "sqrt()"
                                    << "syntax error";
    QTest::newRow("empty text") << ""
                                << "syntax error";
    QTest::newRow("spaces only") << "   "
                                 << "syntax error";
    QTest::newRow("plus without right side") << "2+" << NotANumber.arg("2+");
    QTest::newRow("digit after group") << "(2)34"
                                       << "invalid operation (2)34";
    QTest::newRow("argument before name") << "foo(1/0)"
                                          << "Floating point division by zero";
    QTest::newRow("left side first") << "(1/0)+(0/0)"
                                     << "Floating point division by zero";
    QTest::newRow("right side before operator") << "(2)3(1/0)"
                                                << "Floating point division by zero";

    QTest::newRow("divide by zero") << "3/0"
                                    << "Floating point division by zero";
    QTest::newRow("ln 0") << "ln(0)"
                          << "Floating point division by zero";
    QTest::newRow("log 0") << "log(0)"
                           << "Floating point division by zero";
    QTest::newRow("0 over 0") << "0/0"
                              << "Invalid floating point operation";
    QTest::newRow("root of negative") << "sqrt(0-1)"
                                      << "Invalid floating point operation";
    QTest::newRow("0 to a negative power") << "0^-1"
                                           << "Floating point division by zero";
    QTest::newRow("0 to a fraction") << "0^0.5"
                                     << "Floating point division by zero";
    QTest::newRow("fractional power of negative") << "(0-8)^0.5"
                                                  << "Invalid floating point operation";
    QTest::newRow("power overflow") << "10^5000"
                                    << "Floating point overflow";
    QTest::newRow("ln of negative") << "ln(0-1)"
                                    << "Invalid floating point operation";
    QTest::newRow("tan beyond 2^63") << "tan(1e19)"
                                     << "Invalid floating point operation";
    QTest::newRow("exp overflow") << "exp(100000)"
                                  << "Floating point overflow";
    QTest::newRow("product overflow") << "1e4000*1e4000"
                                      << "Floating point overflow";

    QTest::newRow("lone x") << "x+1" << NotANumber.arg("x");
    QTest::newRow("letter first") << "a1+1" << NotANumber.arg("a1");
    QTest::newRow("thousands separator") << "1,000+1" << NotANumber.arg("1,000");
    QTest::newRow("two separators") << "1.2.3+1" << NotANumber.arg("1.2.3");
    QTest::newRow("two exponents") << "1e2e3+1" << NotANumber.arg("1e2e3");
    QTest::newRow("exponent without mantissa") << "e5+1" << NotANumber.arg("e5");
    QTest::newRow("sign without digits") << "2*-" << NotANumber.arg("-");
    QTest::newRow("digit after exponent 500") << "1e5000+1" << NotANumber.arg("1e5000");
    QTest::newRow("exponent beyond range") << "1e4999+1" << NotANumber.arg("1e4999");
    QTest::newRow("tab stays") << "1\t+2" << NotANumber.arg("1\t");
    QTest::newRow("hex") << "$ff+1" << NotANumber.arg("$ff");
    QTest::newRow("inf") << "inf+1" << NotANumber.arg("inf");
    QTest::newRow("nan") << "nan+1" << NotANumber.arg("nan");
}

void TestEvaluator::failures()
{
    QFETCH(QString, expression);
    QFETCH(QString, error);
    const long double result = EvaluateExpression(expression.toStdString());
    QCOMPARE(QString::fromStdString(GetExpressionError()), error);
    QCOMPARE(double(result), 0.0);
}

void TestEvaluator::errorIsClearedByNextSuccess()
{
    EvaluateExpression("1/0");
    QVERIFY(!GetExpressionError().empty());
    QCOMPARE(double(EvaluateExpression("2+2")), 4.0);
    QCOMPARE(GetExpressionError(), std::string());
    // A fault inside one evaluation must not leak into the next through the flags.
    EvaluateExpression("exp(100000)");
    QCOMPARE(double(EvaluateExpression("1+1")), 2.0);
    QCOMPARE(GetExpressionError(), std::string());
}

void TestEvaluator::localeDecimalSeparator()
{
    SetDecimalSeparator(',');
    QCOMPARE(DecimalSeparator(), ',');
    QCOMPARE(double(EvaluateExpression("1,5*2")), 3.0);
    QCOMPARE(GetExpressionError(), std::string());
    EvaluateExpression("1.5*2");
    QCOMPARE(QString::fromStdString(GetExpressionError()), NotANumber.arg("1.5"));
}

void TestEvaluator::defaultSeparatorFollowsTheCLocale()
{
    // Without a chosen separator the evaluator reads the C library's locale.
    SetDecimalSeparator(std::localeconv()->decimal_point[0]);
    QCOMPARE(DecimalSeparator(), std::localeconv()->decimal_point[0]);
}

void TestEvaluator::deepNestingFailsWithoutCrash_data()
{
    QTest::addColumn<QString>("expression");
    const int depth = 100000;
    QTest::newRow("groups") << QString(depth, '(') + "1" + QString(depth, ')');
    QTest::newRow("signed groups") << QString("-(").repeated(depth) + "1" + QString(depth, ')');
    QTest::newRow("calls") << QString("sqrt(").repeated(depth) + "1" + QString(depth, ')');
}

void TestEvaluator::deepNestingFailsWithoutCrash()
{
    QFETCH(QString, expression);
    const long double result = EvaluateExpression(expression.toStdString());
    QCOMPARE(double(result), 0.0);
    QCOMPARE(QString::fromStdString(GetExpressionError()), QString("expression too deeply nested"));
}

void TestEvaluator::moderateNestingAndLongChainsWork()
{
    const int depth = 200;
    const QString groups = QString(depth, '(') + "7" + QString(depth, ')');
    QCOMPARE(double(EvaluateExpression(groups.toStdString())), 7.0);
    QCOMPARE(GetExpressionError(), std::string());
    // Chains of operators are flat, however long.
    const int terms = 100000;
    const QString sum = QString("1+").repeated(terms) + "1";
    QCOMPARE(double(EvaluateExpression(sum.toStdString())), double(terms + 1));
    QCOMPARE(GetExpressionError(), std::string());
    const QString powers = QString("1^").repeated(terms) + "2";
    QCOMPARE(double(EvaluateExpression(powers.toStdString())), 1.0);
    QCOMPARE(GetExpressionError(), std::string());
}

void TestEvaluator::wholePowersAreExact()
{
    long double power = 1;
    for (int n = 0; n <= 40; ++n) {
        const std::string exponent = std::to_string(n);
        QCOMPARE(EvaluateExpression("(0-3)^" + exponent), power);
        QCOMPARE(EvaluateExpression("3^-" + exponent), 1 / std::fabs(power));
        power *= -3;
    }
}

namespace {
// Textbook recursive descent over long double: sum, product, signed operand, power from the
// right, number or group. Faults throw their message.
class TReferenceEvaluator
{
public:
    explicit TReferenceEvaluator(std::string text) : FText(std::move(text))
    {
        FText.erase(std::remove(FText.begin(), FText.end(), ' '), FText.end());
    }

    long double Value() { return Sum(); }
    // Whether a power was taken in a different order of multiplications than the evaluator
    // may use, so that the last digits can differ.
    bool Rounded() const { return FRounded; }

private:
    char Peek() const { return FPos < FText.size() ? FText[FPos] : '\0'; }

    static long double Checked(long double value)
    {
        if (std::isinf(value))
            throw std::string("Floating point overflow");
        return value;
    }

    long double Sum()
    {
        long double value = Product();
        while (Peek() == '+' || Peek() == '-') {
            const char op = FText[FPos++];
            const long double right = Product();
            value = Checked(op == '+' ? value + right : value - right);
        }
        return value;
    }

    long double Product()
    {
        long double value = Signed();
        while (Peek() == '*' || Peek() == '/') {
            const char op = FText[FPos++];
            const long double right = Signed();
            if (op == '/' && right == 0)
                throw std::string(value == 0 ? "Invalid floating point operation"
                                             : "Floating point division by zero");
            value = Checked(op == '*' ? value * right : value / right);
        }
        return value;
    }

    long double Signed()
    {
        if (Peek() == '-') {
            ++FPos;
            return -Power();
        }
        if (Peek() == '+')
            ++FPos;
        return Power();
    }

    long double Power()
    {
        const long double base = Primary();
        if (Peek() != '^')
            return base;
        ++FPos;
        const long double exponent = Signed();
        if (std::trunc(exponent) != exponent) {
            if (base <= 0)
                throw std::string(base == 0 ? "Floating point division by zero"
                                            : "Invalid floating point operation");
            return Checked(std::exp(exponent * std::log(base)));
        }
        if (base == 0 && exponent < 0)
            throw std::string("Floating point division by zero");
        FRounded = FRounded || std::fabs(exponent) > 3;
        if (std::fabs(exponent) > 64)
            return Checked(std::pow(base, exponent));
        long double power = 1;
        for (long double i = 0; i < std::fabs(exponent); ++i)
            power *= base;
        return Checked(exponent >= 0 ? power : 1 / power);
    }

    long double Primary()
    {
        if (Peek() == '(') {
            ++FPos;
            const long double value = Sum();
            ++FPos; // ")"
            return value;
        }
        const std::size_t start = FPos;
        while (std::isdigit(static_cast<unsigned char>(Peek())) || Peek() == '.' || Peek() == 'e' ||
               ((Peek() == '-' || Peek() == '+') && FText[FPos - 1] == 'e'))
            ++FPos;
        std::istringstream number(FText.substr(start, FPos - start));
        number.imbue(std::locale::classic());
        long double value = 0;
        number >> value;
        return value;
    }

    std::string FText;
    std::size_t FPos = 0;
    bool FRounded = false;
};

// Random well-formed expressions of + - * / ^, signs, groups and numbers, with spaces here
// and there.
class TExpressionGenerator
{
public:
    explicit TExpressionGenerator(quint32 seed) : FRandom(seed) {}

    std::string Sum(int depth)
    {
        std::string text = Product(depth);
        for (int n = Below(3); n > 0; --n)
            text += Space() + (Below(2) ? "+" : "-") + Space() + Product(depth);
        return text;
    }

private:
    int Below(int n) { return int(FRandom.bounded(n)); }
    std::string Space() { return Below(8) == 0 ? " " : ""; }
    std::string Sign() { return Below(4) == 0 ? (Below(2) ? "-" : "+") : ""; }

    std::string Product(int depth)
    {
        std::string text = Signed(depth);
        for (int n = Below(3); n > 0; --n)
            text += Space() + (Below(2) ? "*" : "/") + Space() + Signed(depth);
        return text;
    }

    std::string Signed(int depth) { return Sign() + Power(depth); }

    std::string Power(int depth)
    {
        std::string text = Primary(depth);
        if (Below(4) == 0) {
            // Small exponents keep the powers within the range; a group may give a fraction.
            text += "^" + Sign() + (Below(4) ? std::to_string(Below(4)) : "(" + Sum(0) + ")");
            if (Below(4) == 0)
                text += "^" + Sign() + std::to_string(Below(3));
        }
        return text;
    }

    std::string Primary(int depth)
    {
        if (depth > 0 && Below(3) == 0)
            return "(" + Space() + Sum(depth - 1) + Space() + ")";
        switch (Below(4)) {
        case 0:
            return std::to_string(Below(10)) + "." + std::to_string(Below(100));
        case 1:
            return std::to_string(1 + Below(9)) + "e" + Sign() + std::to_string(Below(3));
        default:
            return std::to_string(Below(20) == 0 ? 0 : 1 + Below(12));
        }
    }

    QRandomGenerator FRandom;
};
} // namespace

void TestEvaluator::agreesWithAReferenceEvaluator()
{
    TExpressionGenerator generator(19);
    for (int i = 0; i < 10000; ++i) {
        const std::string expression = generator.Sum(2);
        TReferenceEvaluator reference(expression);
        long double expected = 0;
        std::string expectedError;
        try {
            expected = reference.Value();
        } catch (const std::string &message) {
            expectedError = message;
        }
        const long double value = EvaluateExpression(expression);
        QVERIFY2(GetExpressionError() == expectedError,
                 qPrintable(QString::fromStdString(expression + ": \"" + GetExpressionError() +
                                                   "\", not \"" + expectedError + "\"")));
        if (!expectedError.empty())
            continue;
        const bool agrees = reference.Rounded()
                                ? std::fabs(value - expected) <= 1e-15L * std::fabs(expected)
                                : value == expected;
        QVERIFY2(agrees, qPrintable(QString::fromStdString(expression + " gives " + Text(value) +
                                                           ", not " + Text(expected))));
    }
}

ZARVEL_TEST_MAIN(TestEvaluator)
#include "tst_evaluator.moc"
