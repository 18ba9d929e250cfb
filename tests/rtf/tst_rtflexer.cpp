#include "rtf/TRtfLexer.h"

#include "TestEnvironment.h"

#include <QtTest>

#include <string>

namespace {
// Every token of the text as "kind@offset+length:content", joined by spaces, so that a row of
// the table shows kinds, contents and positions at once. A word under the lower-case rule shows
// its letters, "/" and the rest.
template <TRtfWordRule Rule = TRtfWordRule::Standard> QString Tokens(const std::string &raw)
{
    TRtfLexer lexer(raw);
    TRtfToken token;
    QStringList out;
    std::size_t last = 0;
    while (lexer.template Next<Rule>(token)) {
        // Tokens come in order and never overlap.
        if (token.Offset < last || token.Offset + token.Length > raw.size())
            return QStringLiteral("bad position at %1").arg(token.Offset);
        last = token.Offset + token.Length;
        const QString at = QStringLiteral("@%1+%2").arg(token.Offset).arg(token.Length);
        const QString text = QString::fromLatin1(token.Text.data(), int(token.Text.size()));
        const QString param = token.HasParam ? QString::number(token.Param) : QString();
        switch (token.Kind) {
        case TRtfToken::TKind::GroupStart:
            out << "{" + at;
            break;
        case TRtfToken::TKind::GroupEnd:
            out << "}" + at;
            break;
        case TRtfToken::TKind::ControlWord:
            if (Rule != TRtfWordRule::Standard)
                out << "w" + at + ":" + text.left(int(token.LetterCount)) + "/" +
                           text.mid(int(token.LetterCount));
            else
                out << "w" + at + ":" + text + param;
            break;
        case TRtfToken::TKind::ControlSymbol:
            out << "s" + at + ":" +
                       (token.Symbol == '\n' ? QStringLiteral("LF") : QString(QChar(token.Symbol)));
            break;
        case TRtfToken::TKind::Hex:
            out << "h" + at + ":" +
                       (token.Valid ? QString::number(token.Byte, 16) : QStringLiteral("broken"));
            break;
        case TRtfToken::TKind::Unicode:
            out << "u" + at + ":" + param + "=" + QString::number(token.Code, 16);
            break;
        case TRtfToken::TKind::Binary:
            out << "b" + at + ":" + text.toLatin1().toHex() +
                       (Rule != TRtfWordRule::Standard ? "=" + param : QString());
            break;
        case TRtfToken::TKind::Text:
            out << "t" + at + ":" + text;
            break;
        }
    }
    if (lexer.Position() != raw.size())
        return QStringLiteral("stopped at %1").arg(lexer.Position());
    return out.join(' ');
}
} // namespace

class TestRtfLexer : public QObject
{
    Q_OBJECT

private slots:
    void tokens_data()
    {
        QTest::addColumn<QByteArray>("raw");
        QTest::addColumn<QString>("expected");
        QTest::newRow("groups, words and text")
            << QByteArray("{\\rtf1\\ansi Hello}")
            << "{@0+1 w@1+5:rtf1 w@6+6:ansi t@12+5:Hello }@17+1";
        QTest::newRow("the space after a word is the word's")
            << QByteArray("\\b  x") << "w@0+3:b t@3+2: x";
        QTest::newRow("negative parameter")
            << QByteArray("\\li-720\\fi-") << "w@0+7:li-720 w@7+3:fi t@10+1:-";
        QTest::newRow("parameter from its first ten digits, clamped")
            << QByteArray("\\fs123456789012 \\fs-99999999999")
            << "w@0+16:fs1234567890 w@16+15:fs-2147483647";
        QTest::newRow("leading zeros are not among the ten digits")
            << QByteArray("\\bin00000000000002ab") << "b@0+20:6162";
        QTest::newRow("digits and a hyphen end a word")
            << QByteArray("\\par2x\\tab-") << "w@0+5:par2 t@5+1:x w@6+4:tab t@10+1:-";
        QTest::newRow("letters past 32 belong to the word")
            << QByteArray("\\" + QByteArray(40, 'a') + "1 z")
            << "w@0+43:" + QString(32, 'a') + "1 t@43+1:z";
        QTest::newRow("control symbols")
            << QByteArray("\\\\\\{\\}\\~\\-\\_\\*\\|")
            << "s@0+2:\\ s@2+2:{ s@4+2:} s@6+2:~ s@8+2:- s@10+2:_ s@12+2:* s@14+2:|";
        QTest::newRow("backslash before a line end")
            << QByteArray("a\\\nb") << "t@0+1:a s@1+2:LF t@3+1:b";
        QTest::newRow("hex escapes in either case")
            << QByteArray("\\'e9\\'C4x") << "h@0+4:e9 h@4+4:c4 t@8+1:x";
        QTest::newRow("broken hex escapes take only their two bytes")
            << QByteArray("\\'4z\\'") << "h@0+2:broken t@2+2:4z h@4+2:broken";
        QTest::newRow("unicode with its fallback")
            << QByteArray("\\u8364?\\u-10179\\'3f")
            << "u@0+6:8364=20ac t@6+1:? u@7+8:-10179=d83d h@15+4:3f";
        QTest::newRow("\\u without a number is a word")
            << QByteArray("\\u \\uc2") << "w@0+3:u w@3+4:uc2";
        QTest::newRow("binary data holds braces and backslashes")
            << QByteArray("{\\bin3 {\\}x}") << "{@0+1 b@1+9:7b5c7d t@10+1:x }@11+1";
        QTest::newRow("binary data cut off by the end") << QByteArray("\\bin10 ab") << "b@0+9:6162";
        QTest::newRow("negative or missing binary length holds no data")
            << QByteArray("\\bin-5 x\\bin y") << "b@0+7: t@7+1:x b@8+5: t@13+1:y";
        QTest::newRow("raw line ends are skipped and end a run")
            << QByteArray("ab\r\ncd\n") << "t@0+2:ab t@4+2:cd";
        QTest::newRow("zero bytes and 8-bit bytes are text")
            << QByteArray("a\0b\xE9", 4)
            << QString::fromLatin1("t@0+4:a") + QChar(0) + "b" + QChar(0xE9);
        QTest::newRow("a backslash at the end gives nothing") << QByteArray("x\\") << "t@0+1:x";
        QTest::newRow("empty") << QByteArray() << "";
    }

    void tokens()
    {
        QFETCH(QByteArray, raw);
        QFETCH(QString, expected);
        QCOMPARE(Tokens(raw.toStdString()), expected);
    }

    // The converter's cutting: one run of lower-case letters, digits and "-" after lower-case
    // letters; the rest as the standard rule cuts it.
    void lowerCaseRunTokens_data()
    {
        QTest::addColumn<QByteArray>("raw");
        QTest::addColumn<bool>("binaryData");
        QTest::addColumn<QString>("expected");
        QTest::newRow("letters, digits and hyphens are one word")
            << QByteArray("\\li-720\\b0a x\\fs2-4-") << false
            << "w@0+7:li/-720 w@7+5:b/0a t@12+1:x w@13+7:fs/2-4-";
        QTest::newRow("upper-case letters end a word")
            << QByteArray("\\bX\\b1Y") << false << "w@0+2:b/ t@2+1:X w@3+3:b/1 t@6+1:Y";
        QTest::newRow("upper-case letter after the backslash is a symbol")
            << QByteArray("\\Bold \\{") << false << "s@0+2:B t@2+4:old  s@6+2:{";
        QTest::newRow("one space ends a word, long words are whole")
            << QByteArray("\\" + QByteArray(40, 'a') + "1  z") << false
            << "w@0+43:" + QString(40, 'a') + "/1 t@43+2: z";
        QTest::newRow("\\u is a word, hex escapes as usual")
            << QByteArray("\\u233a\\'e9\\'4z") << false
            << "w@0+6:u/233a h@6+4:e9 h@10+2:broken t@12+2:4z";
        QTest::newRow("\\bin is a word without binary data")
            << QByteArray("\\bin3 {x}") << false << "w@0+6:bin/3 {@6+1 t@7+1:x }@8+1";
        QTest::newRow("binary data: every digit counts, the rest of the word is data")
            << QByteArray("\\bin00000000000003 }}}x\\bin2ab}") << true
            << "b@0+22:7d7d7d=3 t@22+1:x b@23+7:6162=2 }@30+1";
        QTest::newRow("binary data cut off by the end keeps its count")
            << QByteArray("\\bin99999999999 ab") << true << "b@0+18:6162=2147483647";
        QTest::newRow("binary data needs digits and exactly \\bin")
            << QByteArray("\\bin \\bin-1\\binary2") << true
            << "w@0+5:bin/ w@5+6:bin/-1 w@11+8:binary/2";
    }

    void lowerCaseRunTokens()
    {
        QFETCH(QByteArray, raw);
        QFETCH(bool, binaryData);
        QFETCH(QString, expected);
        const std::string text = raw.toStdString();
        QCOMPARE(binaryData ? Tokens<TRtfWordRule::LowerCaseRunWithData>(text)
                            : Tokens<TRtfWordRule::LowerCaseRun>(text),
                 expected);
    }

    // A reader that reads line by line re-points the lexer at its grown buffer.
    void resetAndPositionsCarryOn()
    {
        std::string buffer = "{\\b bold";
        TRtfLexer lexer(buffer);
        TRtfToken token;
        QVERIFY(lexer.Next(token) && lexer.Next(token) && token.IsWord("b"));
        const std::size_t resume = lexer.Position();
        buffer += "\\par}";
        lexer.Reset(buffer, resume);
        QVERIFY(lexer.Next(token) && token.Kind == TRtfToken::TKind::Text && token.Text == "bold");
        QVERIFY(lexer.Next(token) && token.IsWord("par") && token.Offset == 8);
        lexer.SetPosition(1);
        QVERIFY(lexer.Next(token) && token.IsWord("b"));
    }

    void fallbackEnd_data()
    {
        QTest::addColumn<QByteArray>("raw");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("end");
        QTest::newRow("one byte") << QByteArray("?abc") << 1 << 1;
        QTest::newRow("inside a run") << QByteArray("abcd") << 3 << 3;
        QTest::newRow("a hex escape counts one") << QByteArray("\\'3fx") << 1 << 4;
        QTest::newRow("a word counts one") << QByteArray("\\emdash x") << 1 << 8;
        QTest::newRow("a symbol counts one") << QByteArray("\\~x") << 1 << 2;
        QTest::newRow("line ends do not count") << QByteArray("\r\nab") << 1 << 3;
        QTest::newRow("a brace ends it early") << QByteArray("a}bc") << 3 << 1;
        QTest::newRow("the end ends it early") << QByteArray("ab") << 5 << 2;
        QTest::newRow("none") << QByteArray("ab") << 0 << 0;
    }

    void fallbackEnd()
    {
        QFETCH(QByteArray, raw);
        QFETCH(int, count);
        QFETCH(int, end);
        const std::string text = raw.toStdString();
        QCOMPARE(int(TRtfLexer(text).FallbackEnd(0, count)), end);
    }

    // Random bytes: the lexer always moves on, and what it cuts covers the text with only raw
    // line ends and a trailing backslash left over.
    void randomBytesAreCoveredInOrder()
    {
        std::uint32_t seed = 7;
        const char alphabet[] = "{}\\'uUbin0123456789-abcdef \r\n?\xE9";
        for (int round = 0; round < 2000; ++round) {
            std::string raw;
            const int length = int((seed = seed * 1103515245u + 12345u) >> 16) % 64;
            for (int i = 0; i < length; ++i) {
                seed = seed * 1103515245u + 12345u;
                raw += alphabet[(seed >> 16) % (sizeof alphabet - 1)];
            }
            QVERIFY2(CoveredInOrder<TRtfWordRule::Standard>(raw), raw.c_str());
            QVERIFY2(CoveredInOrder<TRtfWordRule::LowerCaseRun>(raw), raw.c_str());
            QVERIFY2(CoveredInOrder<TRtfWordRule::LowerCaseRunWithData>(raw), raw.c_str());
        }
    }

private:
    template <TRtfWordRule Rule> static bool CoveredInOrder(const std::string &raw)
    {
        TRtfLexer lexer(raw);
        TRtfToken token;
        std::size_t covered = 0;
        const auto skippable = [&raw](std::size_t at) {
            return raw[at] == '\r' || raw[at] == '\n';
        };
        while (lexer.template Next<Rule>(token)) {
            for (; covered < token.Offset; ++covered)
                if (!skippable(covered))
                    return false;
            if (token.Length == 0)
                return false;
            covered = token.Offset + token.Length;
        }
        if (covered > raw.size())
            return false;
        for (; covered < raw.size(); ++covered)
            if (!skippable(covered) && !(covered + 1 == raw.size() && raw[covered] == '\\'))
                return false;
        return true;
    }
};

ZARVEL_TEST_MAIN(TestRtfLexer)
#include "tst_rtflexer.moc"
