// How an evaluated value is written in place of its expression.
#include "calc/ExpressionEvaluator.h"
#include "calc/ValueRendering.h"

#include "TestEnvironment.h"

#include <QtTest>

#include <clocale>
#include <string>

class TestValueRendering : public QObject
{
    Q_OBJECT

private slots:
    void rendering_data();
    void rendering();
    // Halves round away from zero as the user typed them, not as their binary neighbour.
    void typedHalves_data();
    void typedHalves();
    void decimalPointIgnoresLocale();
};

void TestValueRendering::rendering_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");

    QTest::newRow("whole number") << 14.0 << "       14.00";
    QTest::newRow("negative fraction") << -0.5 << "       -0.50";
    QTest::newRow("small") << 4.0 << "        4.00";
    QTest::newRow("zero") << 0.0 << "        0.00";
    QTest::newRow("negative zero") << -0.0 << "        0.00";
    QTest::newRow("negative rounds to zero") << -0.001 << "       -0.00";
    QTest::newRow("third") << 1.0 / 3 << "        0.33";
    QTest::newRow("two thirds") << 2.0 / 3 << "        0.67";
    QTest::newRow("half up") << 0.125 << "        0.13";
    QTest::newRow("negative half away") << -0.375 << "       -0.38";
    QTest::newRow("no thousands separators") << 1234567.0 << "  1234567.00";
    QTest::newRow("fills the field") << 999999999.99 << "999999999.99";
    QTest::newRow("negative fills the field") << -99999999.99 << "-99999999.99";
    QTest::newRow("longer kept whole") << 1e9 << "1000000000.00";
    QTest::newRow("longer negative kept whole") << -1e8 << "-100000000.00";
    QTest::newRow("carry into new digit") << 9.999 << "       10.00";
    QTest::newRow("large in exponent form") << 1e36 << "    1.00e+36";
    QTest::newRow("below exponent form") << 1e20 << "100000000000000000000.00";
    // Whole numbers of more than 18 digits that the format holds exactly keep their last digits.
    QTest::newRow("2^64 exactly") << 18446744073709551616.0 << "18446744073709551616.00";
    QTest::newRow("2^60 exactly") << 1152921504606846976.0 << "1152921504606846976.00";
    QTest::newRow("negative 2^63 exactly") << -9223372036854775808.0 << "-9223372036854775808.00";
}

void TestValueRendering::rendering()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(QString::fromStdString(RenderValue(value)), text);
}

void TestValueRendering::typedHalves_data()
{
    QTest::addColumn<QString>("expression");
    QTest::addColumn<QString>("text");

    QTest::newRow("0.175 below its binary half") << "0.35*0.5"
                                                 << "        0.18";
    QTest::newRow("1.005 below its binary half") << "1.005*1"
                                                 << "        1.01";
    QTest::newRow("1.575 product") << "10.5*0.15"
                                   << "        1.58";
    QTest::newRow("negative half") << "0-1.005*1"
                                   << "       -1.01";
    QTest::newRow("negative below a half") << "0-0.004999"
                                           << "       -0.00";
    QTest::newRow("negative zero") << "0*-1"
                                   << "        0.00";
    QTest::newRow("carry through nines") << "99999.995*1"
                                         << "   100000.00";
    QTest::newRow("half in exponent form") << "1.005e36*1"
                                           << "    1.01e+36";
    QTest::newRow("carry in exponent form") << "9.995e36*1"
                                            << "    1.00e+37";
}

void TestValueRendering::typedHalves()
{
    QFETCH(QString, expression);
    QFETCH(QString, text);
    SetDecimalSeparator('.');
    const long double value = EvaluateExpression(expression.toStdString());
    QCOMPARE(GetExpressionError(), std::string());
    QCOMPARE(QString::fromStdString(RenderValue(value)), text);
}

void TestValueRendering::decimalPointIgnoresLocale()
{
    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    const char *german = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    if (!german)
        german = std::setlocale(LC_NUMERIC, "de_DE");
    const std::string rendered = RenderValue(1.5L);
    std::setlocale(LC_NUMERIC, saved.c_str());
    if (!german)
        QSKIP("no locale with a decimal comma installed");
    QCOMPARE(rendered, std::string("        1.50"));
}

ZARVEL_TEST_MAIN(TestValueRendering)
#include "tst_valuerendering.moc"
