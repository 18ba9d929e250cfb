// The expression evaluator: split rules, failures, operands and functions.
#include "calc/ExpressionEvaluator.h"

#include "TestEnvironment.h"

#include <QtTest>

#include <cmath>
#include <string>

namespace {
bool Close(long double actual, long double expected)
{
    return std::fabs(actual - expected) <= 1e-15L * std::max(1.0L, std::fabs(expected));
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
    void moderateNestingStillWorks();
};

void TestEvaluator::values_data()
{
    QTest::addColumn<QString>("expression");
    QTest::addColumn<double>("value");

    // How the split rules group operators, including where they differ from school rules.
    QTest::newRow("plus binds loosest") << "2+3*4" << 14.0;
    QTest::newRow("plus before minus") << "2-3+4" << 3.0;
    QTest::newRow("times before divide") << "12/2*3" << 18.0;
    QTest::newRow("leftmost minus") << "10-2-3" << 11.0;
    QTest::newRow("leftmost divide") << "8/4/2" << 4.0;
    QTest::newRow("power right") << "2^3^2" << 512.0;
    QTest::newRow("char after leading group") << "(1+2)*3+4" << 21.0;
    QTest::newRow("operator before group") << "2*(1+2)+4" << 14.0;
    QTest::newRow("char after call") << "sin(0)*2+1" << 0.0;
    QTest::newRow("sign after operator") << "2*-3" << -6.0;
    QTest::newRow("minus then sign") << "2--3" << 5.0;
    QTest::newRow("negative power") << "2^-1" << 0.5;
    QTest::newRow("exponent minus is an operator") << "1e-3*2" << -5.0;
    QTest::newRow("exponent plus is an operator") << "1e+2*1" << 3.0;

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

    QTest::newRow("minus before group") << "-(2+3)"
                                        << "unknown function -(2+3)";
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
    QTest::newRow("two signs") << "-2-3" << NotANumber.arg("-2-3");
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
    QTest::newRow("0 to a power") << "0^2"
                                  << "Floating point division by zero";
    QTest::newRow("0 over 0") << "0/0"
                              << "Invalid floating point operation";
    QTest::newRow("root of negative") << "sqrt(0-1)"
                                      << "Invalid floating point operation";
    QTest::newRow("ln of negative") << "ln(0-1)"
                                    << "Invalid floating point operation";
    QTest::newRow("negative base") << "(0-2)^2"
                                   << "Invalid floating point operation";
    QTest::newRow("negative group base") << "(-2)^2"
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
    QTest::newRow("calls") << QString("sqrt(").repeated(depth) + "1" + QString(depth, ')');
    QTest::newRow("operators") << QString("1+").repeated(depth) + "1";
    QTest::newRow("powers") << QString("2^").repeated(depth) + "1";
}

void TestEvaluator::deepNestingFailsWithoutCrash()
{
    QFETCH(QString, expression);
    const long double result = EvaluateExpression(expression.toStdString());
    QCOMPARE(double(result), 0.0);
    QCOMPARE(QString::fromStdString(GetExpressionError()), QString("expression too deeply nested"));
}

void TestEvaluator::moderateNestingStillWorks()
{
    const int depth = 200;
    const QString groups = QString(depth, '(') + "7" + QString(depth, ')');
    QCOMPARE(double(EvaluateExpression(groups.toStdString())), 7.0);
    QCOMPARE(GetExpressionError(), std::string());
    const QString sum = QString("1+").repeated(depth) + "1";
    QCOMPARE(double(EvaluateExpression(sum.toStdString())), double(depth + 1));
    QCOMPARE(GetExpressionError(), std::string());
}

ZARVEL_TEST_MAIN(TestEvaluator)
#include "tst_evaluator.moc"
