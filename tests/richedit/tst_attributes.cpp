#include "TestEnvironment.h"
#include "richedit/RichEditTypes.h"
#include "richedit/TParaAttributesEx.h"
#include "richedit/TRichEditEx.h"
#include "richedit/TTextAttributesEx.h"

#include <QFont>
#include <QTest>
#include <QTextCursor>

#include <memory>

using namespace TColors;
using namespace TFontStyle;

namespace {
QByteArray Rtf(TRichEditEx &edit)
{
    return edit.StreamOutBytes(TStreamFormat::SF_RTF);
}

// Bold of the character at position, read through a one-character selection.
bool BoldAt(TRichEditEx &edit, int position)
{
    const int start = edit.SelectionStart();
    const int length = edit.SelectionLength();
    edit.Select(position, position + 1);
    const bool bold = edit.SelectionAttributes().Bold();
    edit.Select(start, start + length);
    return bold;
}
constexpr int EffectCount = 11;

void SetEffect(TTextAttributesEx &a, int effect, bool on)
{
    switch (effect) {
    case 0:
        a.SetBold(on);
        break;
    case 1:
        a.SetItalic(on);
        break;
    case 2:
        a.SetStrikeOut(on);
        break;
    case 3:
        a.SetLink(on);
        break;
    case 4:
        a.SetSmallCaps(on);
        break;
    case 5:
        a.SetAllCaps(on);
        break;
    case 6:
        a.SetHidden(on);
        break;
    case 7:
        a.SetOutline(on);
        break;
    case 8:
        a.SetShadow(on);
        break;
    case 9:
        a.SetEmboss(on);
        break;
    default:
        a.SetImprint(on);
        break;
    }
}

bool Effect(const TTextAttributesEx &a, int effect)
{
    switch (effect) {
    case 0:
        return a.Bold();
    case 1:
        return a.Italic();
    case 2:
        return a.StrikeOut();
    case 3:
        return a.Link();
    case 4:
        return a.SmallCaps();
    case 5:
        return a.AllCaps();
    case 6:
        return a.Hidden();
    case 7:
        return a.Outline();
    case 8:
        return a.Shadow();
    case 9:
        return a.Emboss();
    default:
        return a.Imprint();
    }
}
} // namespace

class TestAttributes : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        FEdit = std::make_unique<TRichEditEx>();
        FEdit->resize(400, 200);
        FEdit->SetWholeText("hello world");
    }
    void cleanup() { FEdit.reset(); }

    void sizeIsWholePointsInTwips()
    {
        FEdit->SelectAll();
        FEdit->SelectionAttributes().SetSize(11);
        QCOMPARE(FEdit->SelectionAttributes().Size(), 11);
        QVERIFY(Rtf(*FEdit).contains("\\fs22"));
        // 11.5 points read as 11.
        QCOMPARE(FEdit->StreamInBytes("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs23 abc\\par}",
                                      TStreamFormat::SF_RTF),
                 0);
        FEdit->Select(0, 2);
        QCOMPARE(FEdit->SelectionAttributes().Size(), 11);
    }

    void automaticColourReadsAsWindowText()
    {
        FEdit->Select(0, 5);
        TTextAttributesEx &attributes = FEdit->SelectionAttributes();
        QCOMPARE(attributes.Color(), clWindowText);
        attributes.SetColor(clRed);
        QCOMPARE(attributes.Color(), clRed);
        QCOMPARE(FEdit->textCursor().charFormat().foreground().color(), QColor(Qt::red));
        attributes.SetColor(clWindowText);
        QCOMPARE(attributes.Color(), clWindowText);
        attributes.SetColor(clBlack);
        QCOMPARE(attributes.Color(), clBlack);
    }

    void styleSetsSingleUnderlineOnly()
    {
        FEdit->Select(0, 5);
        TTextAttributesEx &attributes = FEdit->SelectionAttributes();
        attributes.SetStyle(fsBold | fsItalic | fsStrikeOut);
        QCOMPARE(attributes.Style(), fsBold | fsItalic | fsStrikeOut);
        attributes.SetStyle(fsUnderline);
        QCOMPARE(attributes.Style(), fsUnderline);
        QCOMPARE(attributes.UnderlineType(), 1);
        QVERIFY(!attributes.Bold());
        attributes.SetStyle(0);
        QCOMPARE(attributes.UnderlineType(), 0);
        QCOMPARE(attributes.Style(), 0u);
    }

    void underlineKindsReadBack_data()
    {
        QTest::addColumn<int>("kind");
        for (int kind : {0, 1, 2, 3, 4, 5, 8, 9})
            QTest::addRow("%d", kind) << kind;
    }
    void underlineKindsReadBack()
    {
        QFETCH(int, kind);
        FEdit->Select(0, 5);
        FEdit->SelectionAttributes().SetUnderlineType(kind);
        QCOMPARE(FEdit->SelectionAttributes().UnderlineType(), kind);
        QCOMPARE((FEdit->SelectionAttributes().Style() & fsUnderline) != 0, kind != 0);
    }

    void pitchChangesNoText()
    {
        FEdit->Select(0, 5);
        const QByteArray before = Rtf(*FEdit);
        FEdit->SelectionAttributes().SetPitch(TFontPitch::fpFixed);
        QCOMPARE(Rtf(*FEdit), before);
        QCOMPARE(FEdit->SelectionAttributes().Pitch(), TFontPitch::fpDefault);
    }

    void measuresRoundTrip_data()
    {
        QTest::addColumn<QString>("property");
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("expected");
        QTest::newRow("offset") << "offset" << 3.5 << 3.5;
        QTest::newRow("negative offset") << "offset" << -2.0 << -2.0;
        QTest::newRow("offset to twips") << "offset" << 1.01 << 1.0;
        QTest::newRow("spacing") << "spacing" << 1.5 << 1.5;
        QTest::newRow("kerning") << "kerning" << 12.0 << 12.0;
        QTest::newRow("kerning to twips") << "kerning" << 0.26 << 0.25;
    }
    void measuresRoundTrip()
    {
        QFETCH(QString, property);
        QFETCH(double, value);
        QFETCH(double, expected);
        FEdit->Select(0, 5);
        TTextAttributesEx &a = FEdit->SelectionAttributes();
        if (property == "offset") {
            a.SetOffset(value);
            QCOMPARE(a.Offset(), expected);
        } else if (property == "spacing") {
            a.SetSpacing(value);
            QCOMPARE(a.Spacing(), expected);
        } else {
            a.SetKerning(value);
            QCOMPARE(a.Kerning(), expected);
        }
        // Only the selection changed.
        FEdit->Select(6, 7);
        QCOMPARE(FEdit->SelectionAttributes().Offset(), 0.0);
        QCOMPARE(FEdit->SelectionAttributes().Spacing(), 0.0);
    }

    void effectsAreIndependent_data()
    {
        QTest::addColumn<int>("effect");
        for (int i = 0; i < EffectCount; ++i)
            QTest::addRow("effect %d", i) << i;
    }
    void effectsAreIndependent()
    {
        QFETCH(int, effect);
        FEdit->Select(0, 5);
        TTextAttributesEx &a = FEdit->SelectionAttributes();
        a.SetSize(14);
        SetEffect(a, effect, true);
        for (int i = 0; i < EffectCount; ++i)
            QCOMPARE(Effect(a, i), i == effect);
        QCOMPARE(a.Size(), 14);
        SetEffect(a, effect, false);
        QVERIFY(!Effect(a, effect));
    }

    void scriptPositionAndLanguage()
    {
        FEdit->Select(0, 5);
        TTextAttributesEx &a = FEdit->SelectionAttributes();
        QCOMPARE(a.ScriptPosition(), 0);
        a.SetScriptPosition(2);
        QCOMPARE(a.ScriptPosition(), 2);
        a.SetScriptPosition(1);
        QCOMPARE(a.ScriptPosition(), 1);
        a.SetScriptPosition(0);
        QCOMPARE(a.ScriptPosition(), 0);
        QCOMPARE(a.Language(), FEdit->Language());
        a.SetLanguage(0x10407);
        QCOMPARE(a.Language(), 0x0407);
    }

    void nameAndWeight()
    {
        FEdit->Select(0, 5);
        TTextAttributesEx &a = FEdit->SelectionAttributes();
        a.SetName("Courier New");
        QCOMPARE(a.Name(), std::string("Courier New"));
        a.SetWeight(700);
        QVERIFY(a.Bold());
        QCOMPARE(a.Weight(), 700);
        a.SetName(std::string(40, 'x'));
        QCOMPARE(a.Name(), std::string(31, 'x'));
    }

    void wordFormatting_data()
    {
        QTest::addColumn<bool>("wordFormatting");
        QTest::newRow("word") << true;
        QTest::newRow("insertion only") << false;
    }
    void wordFormatting()
    {
        QFETCH(bool, wordFormatting);
        FEdit->SetWordFormatting(wordFormatting);
        FEdit->SetSelectionStart(2); // he|llo
        FEdit->SelectionAttributes().SetBold(true);
        // Typing at the caret takes the new format either way.
        QTest::keyClicks(FEdit.get(), "X");
        QCOMPARE(FEdit->WholeText(), std::string("heXllo world"));
        QVERIFY(BoldAt(*FEdit, 2));
        for (int i : {0, 1, 3, 4, 5})
            QCOMPARE(BoldAt(*FEdit, i), wordFormatting);
        QVERIFY(!BoldAt(*FEdit, 7));
    }

    void caretBetweenWordsFormatsNoText()
    {
        FEdit->SetSelectionStart(5); // hello| world
        FEdit->SelectionAttributes().SetBold(true);
        for (int i = 0; i < 11; ++i)
            QVERIFY(!BoldAt(*FEdit, i));
    }

    void defaultAttributesFormatTypingOnly()
    {
        FEdit->SetSelectionStart(11);
        FEdit->DefaultAttributes().SetBold(true);
        QVERIFY(FEdit->DefaultAttributes().Bold());
        QTest::keyClicks(FEdit.get(), "!");
        QVERIFY(BoldAt(*FEdit, 11));
        for (int i = 0; i < 11; ++i)
            QVERIFY(!BoldAt(*FEdit, i));
        // With a selection the default format leaves the selected text alone.
        FEdit->Select(0, 5);
        FEdit->DefaultAttributes().SetItalic(true);
        FEdit->Select(0, 1);
        QVERIFY(!FEdit->SelectionAttributes().Italic());
    }

    void formatChangesRaiseNoChangeEvent()
    {
        int changes = 0;
        FEdit->OnChange = [&](TCustomRichEditEx *) { ++changes; };
        FEdit->Select(0, 5);
        FEdit->SelectionAttributes().SetBold(true);
        FEdit->ParagraphAttributes().SetAlignment(taCenter);
        QCOMPARE(changes, 0);
        FEdit->SetSelectionStart(5);
        QTest::keyClicks(FEdit.get(), "y");
        QVERIFY(changes > 0);
    }

    void fontGoesToDefaultAttributes()
    {
        QFont font(QStringLiteral("Courier New"));
        font.setPointSize(15);
        font.setItalic(true);
        FEdit->setFont(font);
        QCOMPARE(FEdit->DefaultAttributes().Name(), std::string("Courier New"));
        QCOMPARE(FEdit->DefaultAttributes().Size(), 15);
        QVERIFY(FEdit->DefaultAttributes().Italic());
    }

    void fontChangeLeavesDocumentUnmodified()
    {
        TRichEditEx edit;
        int changes = 0;
        edit.OnChange = [&](TCustomRichEditEx *) { ++changes; };
        QFont font(QStringLiteral("Arial"));
        font.setPixelSize(11);
        edit.setFont(font);
        QCOMPARE(edit.DefaultAttributes().Size(), 8);
        QVERIFY(!edit.ModifiedFlag());
        QCOMPARE(changes, 0);
        QCOMPARE(edit.TextLength(), 0);
    }

    void copyBetweenControls()
    {
        FEdit->Select(0, 5);
        TTextAttributesEx &source = FEdit->SelectionAttributes();
        source.SetColor(clRed);
        source.SetSize(20);
        source.SetName("Arial");
        source.SetStyle(fsItalic | fsUnderline);
        source.SetScriptPosition(2);
        TRichEditEx other;
        other.SetWholeText("abc");
        other.SelectAll();
        other.SelectionAttributes().CopyFrom(source);
        TTextAttributesEx &copy = other.SelectionAttributes();
        QCOMPARE(copy.Color(), clRed);
        QCOMPARE(copy.Size(), 20);
        QCOMPARE(copy.Name(), std::string("Arial"));
        QCOMPARE(copy.Style(), fsItalic | fsUnderline);
        QCOMPARE(copy.ScriptPosition(), 2);
    }

    void copyOutToFontAndBack()
    {
        FEdit->Select(0, 5);
        TTextAttributesEx &a = FEdit->SelectionAttributes();
        a.SetName("Arial");
        a.SetSize(13);
        a.SetStyle(fsBold | fsUnderline | fsStrikeOut);
        QFont font;
        QColor color;
        a.SetColor(clRed);
        a.CopyTo(font, color);
        QCOMPARE(font.family(), QStringLiteral("Arial"));
        QCOMPARE(font.pointSize(), 13);
        QVERIFY(font.bold());
        QVERIFY(font.underline());
        QVERIFY(!font.strikeOut()); // strikeout is not copied out
        QCOMPARE(color, QColor(Qt::red));

        FEdit->Select(6, 11);
        FEdit->SelectionAttributes().CopyFrom(font);
        QCOMPARE(FEdit->SelectionAttributes().Style(), fsBold | fsUnderline);
        QCOMPARE(FEdit->SelectionAttributes().Size(), 13);
    }

    void copyFromOtherObjectsFails()
    {
        QObject other;
        try {
            FEdit->SelectionAttributes().CopyFrom(other);
            QFAIL("no error");
        } catch (const std::exception &error) {
            QCOMPARE(QString::fromUtf8(error.what()),
                     QStringLiteral("Cannot assign a QObject to a TTextAttributesEx"));
        }
        QVERIFY_THROWS_EXCEPTION(std::exception, FEdit->SelectionAttributes().CopyTo(other));
    }

    void noWindowReadsZero()
    {
        TTextAttributesEx attributes(nullptr, TAttributeKind::Selection);
        QCOMPARE(attributes.Size(), 0);
        QCOMPARE(attributes.Name(), std::string());
        QCOMPARE(attributes.Color(), clBlack);
        QCOMPARE(attributes.Pitch(), TFontPitch::fpDefault);
        attributes.SetSize(30);
        attributes.SetBold(true);
        QCOMPARE(attributes.Size(), 0);
        QVERIFY(!attributes.Bold());
        TParaAttributesEx paragraph(nullptr);
        paragraph.SetStartIndent(10);
        QCOMPARE(paragraph.StartIndent(), 0.0);
        QCOMPARE(paragraph.FirstIndent(), 0);
    }

    void indentsInPointsAndTwips()
    {
        TParaAttributesEx &p = FEdit->ParagraphAttributes();
        p.SetStartIndent(0.5);
        QCOMPARE(p.StartIndent(), 0.5);
        QVERIFY(Rtf(*FEdit).contains("\\li10"));
        p.SetOffsetIndent(-12);
        QCOMPARE(p.OffsetIndent(), -12.0);
        QCOMPARE(p.StartIndent(), 0.5); // the first line stays
        // A hanging first line: \fi is the negated offset.
        QVERIFY(Rtf(*FEdit).contains("\\fi240"));
        p.SetRightInset(7.25);
        QCOMPARE(p.RightInset(), 7.25);
        QVERIFY(Rtf(*FEdit).contains("\\ri145"));
    }

    void wholePointIndents()
    {
        TParaAttributesEx &p = FEdit->ParagraphAttributes();
        p.SetFirstIndent(30);
        p.SetLeftIndent(-10);
        p.SetRightIndent(5);
        QCOMPARE(p.FirstIndent(), 30);
        QCOMPARE(p.LeftIndent(), -10);
        QCOMPARE(p.RightIndent(), 5);
        QCOMPARE(p.StartIndent(), 30.0);
        QCOMPARE(p.OffsetIndent(), -10.0);
        p.SetStartIndent(10.75);
        QCOMPARE(p.FirstIndent(), 10);
    }

    void indentsGoToEveryParagraphOfTheSelection()
    {
        FEdit->SetWholeText("one\rtwo\rthree");
        FEdit->Select(1, 5); // one, two
        FEdit->ParagraphAttributes().SetFirstIndent(20);
        FEdit->SetSelectionStart(5);
        QCOMPARE(FEdit->ParagraphAttributes().FirstIndent(), 20);
        FEdit->SetSelectionStart(10);
        QCOMPARE(FEdit->ParagraphAttributes().FirstIndent(), 0);
    }

    void alignment_data()
    {
        QTest::addColumn<int>("alignment");
        QTest::addColumn<QByteArray>("keyword");
        QTest::newRow("left") << int(taLeftJustify) << QByteArray();
        QTest::newRow("right") << int(taRightJustify) << QByteArray("\\qr");
        QTest::newRow("centre") << int(taCenter) << QByteArray("\\qc");
    }
    void alignment()
    {
        QFETCH(int, alignment);
        QFETCH(QByteArray, keyword);
        TParaAttributesEx &p = FEdit->ParagraphAttributes();
        p.SetAlignment(taCenter);
        p.SetAlignment(alignment);
        QCOMPARE(p.Alignment(), alignment);
        const QByteArray rtf = Rtf(*FEdit);
        if (keyword.isEmpty())
            QVERIFY(!rtf.contains("\\qc") && !rtf.contains("\\qr"));
        else
            QVERIFY(rtf.contains(keyword));
    }

    void bullets()
    {
        FEdit->SetWholeText("one\rtwo");
        TParaAttributesEx &p = FEdit->ParagraphAttributes();
        p.SetFirstIndent(10);
        QCOMPARE(p.BulletStyle(), 0);
        p.SetNumbering(nsBullet);
        QCOMPARE(p.Numbering(), nsBullet);
        QCOMPARE(p.FirstIndent(), 10);
        QVERIFY(Rtf(*FEdit).contains("\\pnlvlblt"));
        FEdit->SetSelectionStart(5);
        QCOMPARE(p.BulletStyle(), 0);
        FEdit->SetSelectionStart(0);
        p.SetBulletStyle(0);
        QCOMPARE(p.BulletStyle(), 0);
        QCOMPARE(p.FirstIndent(), 10);
        QVERIFY(!Rtf(*FEdit).contains("\\pnlvlblt"));
    }

    void bulletOfAnUnindentedParagraphShowsWhole()
    {
        FEdit->SetWholeText("one");
        FEdit->ParagraphAttributes().SetNumbering(nsBullet);
        FEdit->show();
        QVERIFY(QTest::qWaitForWindowExposed(FEdit.get()));
        const QImage shot = FEdit->viewport()->grab().toImage();
        const QRect line = FEdit->cursorRect(FEdit->textCursor());
        const int textStart = FEdit->cursorRect(QTextCursor(FEdit->document())).left();
        int bulletPixels = 0;
        for (int y = qMax(0, line.top()); y <= line.bottom() && y < shot.height(); ++y) {
            QVERIFY2(qGray(shot.pixel(0, y)) > 128, "cut at the left edge");
            for (int x = 1; x < textStart - 1; ++x)
                bulletPixels += qGray(shot.pixel(x, y)) < 128;
        }
        QVERIFY(bulletPixels > 4);
        // What the file keeps is the paragraph's own indent.
        QVERIFY(!Rtf(*FEdit).contains("\\fi"));
        QCOMPARE(FEdit->ParagraphAttributes().FirstIndent(), 0);
    }

private:
    std::unique_ptr<TRichEditEx> FEdit;
};

ZARVEL_TEST_MAIN(TestAttributes)
#include "tst_attributes.moc"
