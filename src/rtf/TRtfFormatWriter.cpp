#include "rtf/TRtfFormatWriter.h"

#include "rtf/TCodePage1252.h"
#include "rtf/TRtfFormatProperties.h"
#include "rtf/TRtfWriterOutput.h"
#include "rtf/TRtfWriterTables.h"

#include <QTextBlock>
#include <QTextList>

using namespace TRtfFormatProperties;

namespace {

QString RomanNumber(int n)
{
    static const int Values[] = {1000, 900, 500, 400, 100, 90, 50, 40, 10, 9, 5, 4, 1};
    static const char *Digits[] = {"m",  "cm", "d",  "cd", "c",  "xc", "l",
                                   "xl", "x",  "ix", "v",  "iv", "i"};
    QString text;
    if (n <= 0 || n >= 4000)
        return QString::number(n);
    for (int i = 0; i < 13; ++i) {
        while (n >= Values[i]) {
            text += QLatin1String(Digits[i]);
            n -= Values[i];
        }
    }
    return text;
}

QString AlphaNumber(int n)
{
    QString text;
    if (n <= 0)
        return QString::number(n);
    while (n > 0) {
        --n;
        text.prepend(QChar('a' + n % 26));
        n /= 26;
    }
    return text;
}

// Text of a number's prefix or suffix in code page 1252, without control characters.
QByteArray LabelBytes(const QString &text)
{
    QByteArray bytes = TCodePage1252::FromUnicode(text);
    bytes.removeIf([](char c) { return static_cast<unsigned char>(c) < 0x20; });
    return bytes.left(100);
}

int NfcOf(QTextListFormat::Style style)
{
    switch (style) {
    case QTextListFormat::ListDecimal:
        return 0;
    case QTextListFormat::ListUpperRoman:
        return 1;
    case QTextListFormat::ListLowerRoman:
        return 2;
    case QTextListFormat::ListUpperAlpha:
        return 3;
    case QTextListFormat::ListLowerAlpha:
        return 4;
    default:
        return 23;
    }
}

bool IsNumbered(QTextListFormat::Style style)
{
    return style == QTextListFormat::ListDecimal || style == QTextListFormat::ListLowerAlpha ||
           style == QTextListFormat::ListUpperAlpha || style == QTextListFormat::ListLowerRoman ||
           style == QTextListFormat::ListUpperRoman;
}

// The old form's word for a numbering style and the label of a number in it; no word for a
// bullet.
void NumberLabel(QTextListFormat::Style style, int number, QByteArray &kind, QByteArray &label)
{
    switch (style) {
    case QTextListFormat::ListDecimal:
        kind = "\\pndec";
        label = QByteArray::number(number);
        break;
    case QTextListFormat::ListLowerAlpha:
        kind = "\\pnlcltr";
        label = AlphaNumber(number).toLatin1();
        break;
    case QTextListFormat::ListUpperAlpha:
        kind = "\\pnucltr";
        label = AlphaNumber(number).toUpper().toLatin1();
        break;
    case QTextListFormat::ListLowerRoman:
        kind = "\\pnlcrm";
        label = RomanNumber(number).toLatin1();
        break;
    case QTextListFormat::ListUpperRoman:
        kind = "\\pnucrm";
        label = RomanNumber(number).toUpper().toLatin1();
        break;
    default:
        break;
    }
}

} // namespace

TRtfFormatWriter::TRtfFormatWriter(TRtfWriterTables &tables, const QFont &defaultFont)
    : FTables(tables), FDefaultFont(defaultFont)
{
}

// ---- Characters -----------------------------------------------------------------------------

TRtfFormatWriter::TRunFormat TRtfFormatWriter::Resolve(int formatIndex,
                                                       const QTextCharFormat &format)
{
    const auto cached = FResolved.constFind(formatIndex);
    if (cached != FResolved.constEnd())
        return cached.value();

    TRunFormat run;
    QString family = FDefaultFont.family();
    const QVariant families = format.fontFamilies();
    if (families.isValid() && !families.toStringList().isEmpty())
        family = families.toStringList().constFirst();
    run.Font = FTables.FontIndex(family);

    qreal points = FDefaultFont.pointSizeF();
    if (points <= 0 && FDefaultFont.pixelSize() > 0)
        points = FDefaultFont.pixelSize() * 0.75;
    if (format.hasProperty(QTextFormat::FontPointSize))
        points = format.fontPointSize();
    run.HalfPoints = points > 0 ? qRound(points * 2) : 20;

    run.Bold = format.hasProperty(QTextFormat::FontWeight) ? format.fontWeight() >= QFont::DemiBold
                                                           : FDefaultFont.bold();
    run.Italic =
        format.hasProperty(QTextFormat::FontItalic) ? format.fontItalic() : FDefaultFont.italic();
    run.Underline = UnderlineOf(format);
    run.Strike = format.hasProperty(QTextFormat::FontStrikeOut) ? format.fontStrikeOut()
                                                                : FDefaultFont.strikeOut();
    if (format.foreground().style() != Qt::NoBrush)
        run.Color = FTables.ColorIndex(format.foreground().color());
    if (format.background().style() != Qt::NoBrush)
        run.Highlight = FTables.ColorIndex(format.background().color());
    if (format.verticalAlignment() == QTextCharFormat::AlignSuperScript)
        run.Script = 1;
    else if (format.verticalAlignment() == QTextCharFormat::AlignSubScript)
        run.Script = 2;
    run.Hidden = format.boolProperty(Hidden);
    run.Protected = format.boolProperty(Protected);
    FResolved.insert(formatIndex, run);
    return run;
}

int TRtfFormatWriter::UnderlineOf(const QTextCharFormat &format) const
{
    if (!format.hasProperty(QTextFormat::TextUnderlineStyle)) {
        return format.fontUnderline() ||
                       (!format.hasProperty(QTextFormat::FontUnderline) && FDefaultFont.underline())
                   ? 1
                   : 0;
    }
    switch (format.underlineStyle()) {
    case QTextCharFormat::NoUnderline:
        return 0;
    case QTextCharFormat::DotLine:
        return 2;
    case QTextCharFormat::DashUnderline:
        return 3;
    case QTextCharFormat::WaveUnderline:
        return 4;
    default:
        return 1;
    }
}

void TRtfFormatWriter::ChangeFormat(TRtfWriterOutput &out, const TRunFormat &f)
{
    const TRunFormat &c = FCurrent;
    const bool all = !FFormatKnown;
    if (all || f.Font != c.Font)
        out.Word("\\f", f.Font);
    if (all || f.HalfPoints != c.HalfPoints)
        out.Word("\\fs", f.HalfPoints);
    if ((all && f.Color) || (!all && f.Color != c.Color))
        out.Word("\\cf", f.Color);
    if ((all && f.Highlight) || (!all && f.Highlight != c.Highlight))
        out.Word("\\highlight", f.Highlight);
    if ((all && f.Bold) || (!all && f.Bold != c.Bold))
        out.Word(f.Bold ? "\\b" : "\\b0");
    if ((all && f.Italic) || (!all && f.Italic != c.Italic))
        out.Word(f.Italic ? "\\i" : "\\i0");
    if ((all && f.Underline) || (!all && f.Underline != c.Underline)) {
        static const char *Words[] = {"\\ulnone", "\\ul", "\\uld", "\\uldash", "\\ulwave"};
        out.Word(Words[f.Underline]);
    }
    if ((all && f.Strike) || (!all && f.Strike != c.Strike))
        out.Word(f.Strike ? "\\strike" : "\\strike0");
    if ((all && f.Script) || (!all && f.Script != c.Script)) {
        static const char *Words[] = {"\\nosupersub", "\\super", "\\sub"};
        out.Word(Words[f.Script]);
    }
    if ((all && f.Hidden) || (!all && f.Hidden != c.Hidden))
        out.Word(f.Hidden ? "\\v" : "\\v0");
    if ((all && f.Protected) || (!all && f.Protected != c.Protected))
        out.Word(f.Protected ? "\\protect" : "\\protect0");
    FCurrent = f;
    FFormatKnown = true;
}

// ---- Paragraphs -----------------------------------------------------------------------------

QByteArray TRtfFormatWriter::ParagraphProperties(const QTextBlock &block, QByteArray &listText)
{
    const QTextBlockFormat format = block.blockFormat();
    QByteArray p;
    int firstIndent = PixelsToTwips(format.textIndent());
    if (block.textList())
        p += ListProperties(block, listText, firstIndent);
    else
        FRunKey.clear();
    switch (format.alignment() & Qt::AlignHorizontal_Mask) {
    case Qt::AlignHCenter:
        p += "\\qc";
        break;
    case Qt::AlignRight:
        p += "\\qr";
        break;
    case Qt::AlignJustify:
        p += "\\qj";
        break;
    default:
        break;
    }
    if (firstIndent)
        p += "\\fi" + QByteArray::number(firstIndent);
    if (const int left = PixelsToTwips(format.leftMargin()))
        p += "\\li" + QByteArray::number(left);
    if (const int right = PixelsToTwips(format.rightMargin()))
        p += "\\ri" + QByteArray::number(right);
    if (const int before = PixelsToTwips(format.topMargin()))
        p += "\\sb" + QByteArray::number(before);
    if (const int after = PixelsToTwips(format.bottomMargin()))
        p += "\\sa" + QByteArray::number(after);
    switch (format.lineHeightType()) {
    case QTextBlockFormat::ProportionalHeight:
        if (qRound(format.lineHeight()) != 100)
            p += "\\sl" + QByteArray::number(qRound(format.lineHeight() * 2.4)) + "\\slmult1";
        break;
    case QTextBlockFormat::MinimumHeight:
        p += "\\sl" + QByteArray::number(PixelsToTwips(format.lineHeight())) + "\\slmult0";
        break;
    case QTextBlockFormat::FixedHeight:
        p += "\\sl-" + QByteArray::number(PixelsToTwips(format.lineHeight())) + "\\slmult0";
        break;
    default:
        break;
    }
    const QList<QTextOption::Tab> tabs = format.tabPositions();
    for (const QTextOption::Tab &tab : tabs) {
        if (tab.type == QTextOption::RightTab)
            p += "\\tqr";
        else if (tab.type == QTextOption::CenterTab)
            p += "\\tqc";
        else if (tab.type == QTextOption::DelimiterTab)
            p += "\\tqdec";
        p += "\\tx" + QByteArray::number(PixelsToTwips(tab.position));
    }
    return p;
}

int TRtfFormatWriter::ListNumber(const QTextBlock &block, int &pnStart)
{
    const QTextList *list = block.textList();
    const QTextListFormat listFormat = list->format();
    const int start = listFormat.hasProperty(ListStart) ? listFormat.intProperty(ListStart) : 1;
    // Numbered paragraphs in a row that look alike are one list to a reader of rich text,
    // whatever lists the document keeps; an item that starts a run states its own number
    // as the start, so that reading it back numbers it the same.
    const QTextListFormat::Style style = listFormat.style();
    const bool numbered = IsNumbered(style);
    // Compared as written (labels that differ only beyond what the file keeps of them read
    // back as one list), apart by a byte that no written label holds.
    const QByteArray runKey = numbered ? QByteArray::number(int(style)) + '\1' +
                                             LabelBytes(listFormat.numberPrefix()) + '\1' +
                                             LabelBytes(listFormat.numberSuffix())
                                       : QByteArray("bullet");
    int number = start + list->itemNumber(block);
    pnStart = number;
    if (runKey == FRunKey) {
        number = ++FRunNumber;
        pnStart = FRunStart;
        return number;
    }
    FRunKey = runKey;
    FRunStart = FRunNumber = number;
    TRtfWriterTables::TListDefinition definition;
    definition.Nfc = NfcOf(style);
    if (numbered) {
        definition.Start = number;
        definition.Prefix = LabelBytes(listFormat.numberPrefix());
        definition.Suffix = LabelBytes(listFormat.numberSuffix());
    } else {
        definition.BulletFont = FTables.FontIndex(QStringLiteral("Symbol"));
    }
    FTables.AddList(definition);
    return number;
}

QByteArray TRtfFormatWriter::ListProperties(const QTextBlock &block, QByteArray &listText,
                                            int &firstIndent)
{
    const QTextListFormat listFormat = block.textList()->format();
    int pnStart = 1;
    const int number = ListNumber(block, pnStart);
    firstIndent = block.blockFormat().intProperty(ListFirstIndent);
    QString family = FDefaultFont.family();
    // The number takes the font of the paragraph's first character.
    QTextCharFormat first = block.charFormat();
    if (!block.begin().atEnd())
        first = block.begin().fragment().charFormat();
    const QVariant families = first.fontFamilies();
    if (families.isValid() && !families.toStringList().isEmpty())
        family = families.toStringList().constFirst();
    const QByteArray font = QByteArray::number(FTables.FontIndex(family));
    QByteArray kind;
    QByteArray label;
    NumberLabel(listFormat.style(), number, kind, label);
    QByteArray p;
    if (kind.isEmpty()) {
        const QByteArray symbol = QByteArray::number(FTables.FontIndex(QStringLiteral("Symbol")));
        listText = "{\\pntext\\f" + symbol + "\\'b7\\tab}";
        p += "{\\*\\pn\\pnlvlblt\\pnf" + symbol + "\\pnindent0{\\pntxtb\\'b7}}";
    } else {
        const QByteArray prefix = TRtfWriterTables::Escaped(LabelBytes(listFormat.numberPrefix()));
        const QByteArray suffix = TRtfWriterTables::Escaped(LabelBytes(listFormat.numberSuffix()));
        listText = "{\\pntext\\f" + font + ' ' + prefix + label + suffix + "\\tab}";
        p += "{\\*\\pn\\pnlvlbody\\pnf" + font + "\\pnindent0\\pnstart" +
             QByteArray::number(pnStart) + kind;
        if (!prefix.isEmpty())
            p += "{\\pntxtb " + prefix + '}';
        if (!suffix.isEmpty())
            p += "{\\pntxta " + suffix + '}';
        p += '}';
    }
    // The same list for readers of the list table, which take it over the old form.
    p += "\\ls" + QByteArray::number(static_cast<qulonglong>(FTables.ListCount())) + "\\ilvl0";
    return p;
}
