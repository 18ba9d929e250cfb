// Text replacement with StringManager.Replace: options, resume rules, case tables.
#include "calc/CaseTables.h"
#include "calc/TStringManager.h"

#include "TestEnvironment.h"

#include <QtTest>

#include <random>
#include <string>

namespace {
std::string Bytes(const QByteArray &bytes)
{
    return std::string(bytes.constData(), std::size_t(bytes.size()));
}

// The replacement as the rules describe it, step by step on the changing string.
int ReferenceReplace(const std::string &search, const std::string &replacement, std::string &target,
                     bool ignoreCase, bool wholeWord, bool adaptCase)
{
    const std::size_t f = search.size();
    const std::size_t r = replacement.size();
    if (target.empty() || f == 0 || f > target.size())
        return 0;
    int count = 0;
    std::size_t p = 0;
    while (p + f <= target.size()) {
        bool match = true;
        for (std::size_t i = 0; i < f && match; ++i) {
            const auto a = static_cast<unsigned char>(target[p + i]);
            const auto b = static_cast<unsigned char>(search[i]);
            match = ignoreCase ? UpperCaseByte(a) == UpperCaseByte(b) : a == b;
        }
        if (match && wholeWord) {
            const bool left = p == 0 || IsWordDelimiter(static_cast<unsigned char>(target[p - 1]));
            const bool right = p + f == target.size() ||
                               IsWordDelimiter(static_cast<unsigned char>(target[p + f]));
            match = left && right;
        }
        if (!match) {
            ++p;
            continue;
        }
        std::string inserted = replacement;
        if (adaptCase)
            for (std::size_t i = 0; i < std::min(f, r); ++i) {
                const auto c = static_cast<unsigned char>(inserted[i]);
                inserted[i] = char(IsUpperCaseByte(static_cast<unsigned char>(target[p + i]))
                                       ? UpperCaseByte(c)
                                       : LowerCaseByte(c));
            }
        target.replace(p, f, inserted);
        ++count;
        p += r;
    }
    return count;
}
} // namespace

class TestStringManager : public QObject
{
    Q_OBJECT

private slots:
    void replace_data();
    void replace();
    void agreesWithStepByStepReplacement();
    void targetMayBeTheSearchOrReplacementText();
    void caseTables_data();
    void caseTables();
};

void TestStringManager::replace_data()
{
    QTest::addColumn<QByteArray>("search");
    QTest::addColumn<QByteArray>("replacement");
    QTest::addColumn<QByteArray>("target");
    QTest::addColumn<bool>("ignoreCase");
    QTest::addColumn<bool>("wholeWord");
    QTest::addColumn<bool>("adaptCase");
    QTest::addColumn<QByteArray>("result");
    QTest::addColumn<int>("count");

    const QByteArray none;
    QTest::newRow("empty search") << none << QByteArray("x") << QByteArray("abc") << false << false
                                  << false << QByteArray("abc") << 0;
    QTest::newRow("search longer than text")
        << QByteArray("abcd") << QByteArray("x") << QByteArray("abc") << false << false << false
        << QByteArray("abc") << 0;
    QTest::newRow("empty text") << QByteArray("a") << QByteArray("x") << none << false << false
                                << false << none << 0;
    QTest::newRow("no match") << QByteArray("q") << QByteArray("x") << QByteArray("abc") << false
                              << false << false << QByteArray("abc") << 0;
    QTest::newRow("inserted text not searched again")
        << QByteArray("a") << QByteArray("aa") << QByteArray("aaa") << false << false << false
        << QByteArray("aaaaaa") << 3;
    QTest::newRow("removal resumes at same position")
        << QByteArray("ab") << none << QByteArray("aabb") << false << false << false
        << QByteArray("ab") << 1;
    QTest::newRow("matches never overlap")
        << QByteArray("aa") << QByteArray("b") << QByteArray("aaaaa") << false << false << false
        << QByteArray("bba") << 2;
    QTest::newRow("case-sensitive")
        << QByteArray("Name") << QByteArray("X") << QByteArray("name Name NAME") << false << false
        << false << QByteArray("name X NAME") << 1;
    QTest::newRow("ignore case") << QByteArray("Name") << QByteArray("X")
                                 << QByteArray("name Name NAME") << true << false << false
                                 << QByteArray("X X X") << 3;
    QTest::newRow("ignore case in code page 1252")
        << QByteArray("\xe9t\xe9") << QByteArray("x") << QByteArray("\xc9T\xc9 \xe9t\xe9 \xff")
        << true << false << false << QByteArray("x x \xff") << 2;
    QTest::newRow("y diaeresis pairs with 9F")
        << QByteArray("\xff") << QByteArray("y") << QByteArray("\x9f\xff") << true << false << false
        << QByteArray("yy") << 2;
    QTest::newRow("whole word: comma and end of text")
        << QByteArray("NAME") << QByteArray("Jo") << QByteArray("NAME, NAMES and FIRSTNAME")
        << false << true << false << QByteArray("Jo, NAMES and FIRSTNAME") << 1;
    QTest::newRow("whole word: rich text source")
        << QByteArray("NAME") << QByteArray("Jo") << QByteArray("\\par NAME\\par }") << false
        << true << false << QByteArray("\\par Jo\\par }") << 1;
    QTest::newRow("whole word: lower-case letters delimit")
        << QByteArray("NAME") << QByteArray("Jo") << QByteArray("xNAMEy") << false << true << false
        << QByteArray("xJoy") << 1;
    QTest::newRow("whole word: digits, grave accent, high bytes do not delimit")
        << QByteArray("NAME") << QByteArray("Jo") << QByteArray("1NAME `NAME NAME\xe9 NAME~")
        << false << true << false << QByteArray("1NAME `NAME NAME\xe9 Jo~") << 1;
    QTest::newRow("whole word: placeholder numbers")
        << QByteArray("@1") << QByteArray("Smith") << QByteArray("@1 @12 @1}") << false << true
        << false << QByteArray("Smith @12 Smith}") << 2;
    QTest::newRow("whole word: inserted end is the left neighbour")
        << QByteArray("ab") << QByteArray("aX") << QByteArray("abab") << false << true << false
        << QByteArray("aXab") << 1;
    QTest::newRow("whole word: delimiting inserted end")
        << QByteArray("ab") << QByteArray("ax") << QByteArray("abab") << false << true << false
        << QByteArray("axax") << 2;
    QTest::newRow("adapt case") << QByteArray("abc") << QByteArray("xyz") << QByteArray("AbC abc")
                                << true << false << true << QByteArray("XyZ xyz") << 2;
    QTest::newRow("adapt case: longer replacement keeps its tail")
        << QByteArray("ab") << QByteArray("wxYz") << QByteArray("AB") << true << false << true
        << QByteArray("WXYz") << 1;
    QTest::newRow("adapt case: non-letters give lower case")
        << QByteArray("1-") << QByteArray("AB") << QByteArray("1-") << false << false << true
        << QByteArray("ab") << 1;
    QTest::newRow("adapt case: 1252 letters")
        << QByteArray("\xe9") << QByteArray("\xe0") << QByteArray("\xc9") << true << false << true
        << QByteArray("\xc0") << 1;
    QTest::newRow("line ends") << QByteArray("\\par") << QByteArray("\\par \\'b6")
                               << QByteArray("a\\par b\\par\r\n") << false << false << false
                               << QByteArray("a\\par \\'b6 b\\par \\'b6\r\n") << 2;
    QTest::newRow("byte 0 is ordinary")
        << QByteArray("\0b", 2) << QByteArray("c") << QByteArray("a\0b\0", 4) << false << false
        << false << QByteArray("ac\0", 3) << 1;
}

void TestStringManager::replace()
{
    QFETCH(QByteArray, search);
    QFETCH(QByteArray, replacement);
    QFETCH(QByteArray, target);
    QFETCH(bool, ignoreCase);
    QFETCH(bool, wholeWord);
    QFETCH(bool, adaptCase);
    QFETCH(QByteArray, result);
    QFETCH(int, count);

    std::string text = Bytes(target);
    const int replaced = StringManager.Replace(Bytes(search), Bytes(replacement), text, ignoreCase,
                                               wholeWord, adaptCase);
    QCOMPARE(QByteArray(text.data(), int(text.size())), result);
    QCOMPARE(replaced, count);
}

void TestStringManager::agreesWithStepByStepReplacement()
{
    // Growing, shrinking and equal-length replacements on random texts over a small alphabet
    // full of delimiters, upper- and lower-case letters, so that all options get exercised.
    std::mt19937 random(20261208);
    const std::string alphabet = "aAbB \\9\xe9\xc9";
    const auto randomText = [&](std::size_t maxLength) {
        std::string text(random() % (maxLength + 1), ' ');
        for (char &c : text)
            c = alphabet[random() % alphabet.size()];
        return text;
    };
    for (int round = 0; round < 20000; ++round) {
        const std::string search = randomText(3);
        const std::string replacement = randomText(5);
        const std::string target = randomText(40);
        const bool ignoreCase = random() % 2;
        const bool wholeWord = random() % 2;
        const bool adaptCase = random() % 2;
        std::string expected = target;
        const int expectedCount =
            ReferenceReplace(search, replacement, expected, ignoreCase, wholeWord, adaptCase);
        std::string actual = target;
        const int count =
            StringManager.Replace(search, replacement, actual, ignoreCase, wholeWord, adaptCase);
        if (actual != expected || count != expectedCount)
            QFAIL(qPrintable(QString("search '%1' replacement '%2' target '%3' options %4%5%6")
                                 .arg(QString::fromLatin1(search.c_str()),
                                      QString::fromLatin1(replacement.c_str()),
                                      QString::fromLatin1(target.c_str()))
                                 .arg(ignoreCase)
                                 .arg(wholeWord)
                                 .arg(adaptCase)));
    }
}

void TestStringManager::targetMayBeTheSearchOrReplacementText()
{
    std::string text = "abc";
    QCOMPARE(StringManager.Replace(text, text, text, false, false, false), 1);
    QCOMPARE(text, std::string("abc"));
    std::string grow = "ab";
    QCOMPARE(StringManager.Replace("b", grow, grow, false, false, false), 1);
    QCOMPARE(grow, std::string("aab"));
}

void TestStringManager::caseTables_data()
{
    QTest::addColumn<int>("upper");
    QTest::addColumn<int>("lower");
    QTest::newRow("A") << int('A') << int('a');
    QTest::newRow("Z") << int('Z') << int('z');
    QTest::newRow("S caron") << 0x8A << 0x9A;
    QTest::newRow("OE") << 0x8C << 0x9C;
    QTest::newRow("Z caron") << 0x8E << 0x9E;
    QTest::newRow("Y diaeresis") << 0x9F << 0xFF;
    QTest::newRow("A grave") << 0xC0 << 0xE0;
    QTest::newRow("thorn") << 0xDE << 0xFE;
}

void TestStringManager::caseTables()
{
    QFETCH(int, upper);
    QFETCH(int, lower);
    QCOMPARE(int(UpperCaseByte(lower)), upper);
    QCOMPARE(int(LowerCaseByte(upper)), lower);
    QVERIFY(IsUpperCaseByte(upper));
    QVERIFY(!IsUpperCaseByte(lower));
    // Bytes without a counterpart in the code page keep their case.
    for (const int c : {0xD7, 0xF7, 0xDF, 0xB5, 0x83, 0xAA, 0x31, 0x40, 0x5B, 0x60, 0x7B}) {
        QCOMPARE(int(UpperCaseByte(c)), c);
        QCOMPARE(int(LowerCaseByte(c)), c);
        QVERIFY(!IsUpperCaseByte(c));
    }
}

ZARVEL_TEST_MAIN(TestStringManager)
#include "tst_stringmanager.moc"
