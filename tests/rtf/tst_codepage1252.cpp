#include "rtf/TCodePage1252.h"

#include "TestEnvironment.h"

#include <QtTest>

class TestCodePage1252 : public QObject
{
    Q_OBJECT

private slots:
    void everyByteRoundTrips()
    {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all += static_cast<char>(b);
        const QString text = TCodePage1252::ToUnicode(all);
        QCOMPARE(text.size(), 256);
        QCOMPARE(TCodePage1252::FromUnicode(text), all);
        QCOMPARE(TCodePage1252::FromUnicodeStd(text), std::string(all.constData(), 256));
        QCOMPARE(TCodePage1252::ToUnicode(std::string(all.constData(), 256)), text);
    }

    void bytes_data()
    {
        QTest::addColumn<int>("byte");
        QTest::addColumn<int>("character");
        QTest::newRow("ascii") << 0x41 << 0x41;
        QTest::newRow("euro") << 0x80 << 0x20AC;
        QTest::newRow("undefined 81") << 0x81 << 0x81;
        QTest::newRow("undefined 8d") << 0x8D << 0x8D;
        QTest::newRow("undefined 8f") << 0x8F << 0x8F;
        QTest::newRow("undefined 90") << 0x90 << 0x90;
        QTest::newRow("undefined 9d") << 0x9D << 0x9D;
        QTest::newRow("left double quote") << 0x93 << 0x201C;
        QTest::newRow("trade mark") << 0x99 << 0x2122;
        QTest::newRow("y diaeresis") << 0x9F << 0x0178;
        QTest::newRow("no-break space") << 0xA0 << 0xA0;
        QTest::newRow("pilcrow") << 0xB6 << 0xB6;
        QTest::newRow("y diaeresis small") << 0xFF << 0xFF;
    }

    void bytes()
    {
        QFETCH(int, byte);
        QFETCH(int, character);
        QCOMPARE(int(TCodePage1252::ToUnicode(static_cast<unsigned char>(byte))), character);
        QCOMPARE(TCodePage1252::FromUnicode(static_cast<char16_t>(character)), byte);
    }

    void charactersOutside1252BecomeQuestionMarks()
    {
        QCOMPARE(TCodePage1252::FromUnicode(u'\u03b1'), -1);
        QCOMPARE(TCodePage1252::FromUnicode(u'\u0080'), -1); // a C1 control that 1252 replaces
        QCOMPARE(TCodePage1252::FromUnicode(QStringLiteral("a\u03b1\u20acb")), QByteArray("a?\x80"
                                                                                          "b"));
        // A character beyond the basic plane is one character: one question mark.
        QCOMPARE(TCodePage1252::FromUnicode(QStringLiteral("x\U0001F600y")), QByteArray("x?y"));
        // A lone surrogate is a character of its own.
        QCOMPARE(TCodePage1252::FromUnicode(QString(QChar(0xD800)) + QLatin1Char('z')),
                 QByteArray("?z"));
        QCOMPARE(TCodePage1252::FromUnicode(QString()), QByteArray());
        QCOMPARE(TCodePage1252::ToUnicode(QByteArray()), QString());
    }
};

ZARVEL_TEST_MAIN(TestCodePage1252)
#include "tst_codepage1252.moc"
