#include "rtf/TRtfWriter.h"

#include "rtf/TCodePage1252.h"
#include "rtf/TRtfFormatProperties.h"
#include "rtf/TRtfObjectIO.h"
#include "rtf/TRtfPageParts.h"
#include "rtf/TRtfTableWriter.h"

#include <QBuffer>
#include <QHash>
#include <QImage>
#include <QPixmap>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>
#include <QUrl>

#include <vector>

namespace {

using namespace TRtfFormatProperties;

// The character formatting that the rich text states for a run.
struct RunFormat
{
    int Font = 0;
    int HalfPoints = 20;
    bool Bold = false;
    bool Italic = false;
    int Underline = 0; // 0 none, 1 single, 2 dotted, 3 dashed, 4 wave
    bool Strike = false;
    int Color = 0;
    int Highlight = 0;
    int Script = 0; // 0 normal, 1 superscript, 2 subscript
    bool Hidden = false;
    bool Protected = false;
};

const char *FontFamilyKeyword(const QString &family)
{
    static const QStringList Swiss = {"arial",         "helvetica",       "tahoma",
                                      "verdana",       "liberation sans", "dejavu sans",
                                      "ms sans serif", "segoe ui",        "calibri"};
    static const QStringList Roman = {"times new roman", "times",   "liberation serif", "georgia",
                                      "dejavu serif",    "cambria", "ms serif"};
    static const QStringList Modern = {"courier new",      "courier",  "liberation mono",
                                       "dejavu sans mono", "consolas", "lucida console"};
    const QString name = family.toLower();
    if (Swiss.contains(name))
        return "\\fswiss";
    if (Roman.contains(name))
        return "\\froman";
    if (Modern.contains(name))
        return "\\fmodern";
    return "\\fnil";
}

bool IsSymbolFont(const QString &family)
{
    const QString name = family.toLower();
    return name == QLatin1String("symbol") || name == QLatin1String("wingdings") ||
           name == QLatin1String("webdings");
}

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

// Label bytes as rich text.
QByteArray Escaped(const QByteArray &bytes)
{
    QByteArray out;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80) {
            out += "\\'" + QByteArray::number(byte, 16);
            continue;
        }
        if (c == '\\' || c == '{' || c == '}')
            out += '\\';
        out += c;
    }
    return out;
}

// A list as the list table states it: one level, numbered or bulleted.
struct ListDefinition
{
    int Nfc = 0; // \levelnfc: 0 decimal, 1 upper roman, 2 lower roman, 3 upper and 4 lower
                 // letters, 23 bullet
    int Start = 1;
    QByteArray Prefix; // code page 1252
    QByteArray Suffix;
    int BulletFont = -1;
};

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

// The list table and the list override table: list n is override n.
QByteArray ListTables(const std::vector<ListDefinition> &lists)
{
    if (lists.empty())
        return {};
    QByteArray table = "{\\*\\listtable";
    QByteArray overrides = "{\\*\\listoverridetable";
    for (size_t i = 0; i < lists.size(); ++i) {
        const ListDefinition &list = lists[i];
        const QByteArray id = QByteArray::number(static_cast<qulonglong>(i + 1));
        const QByteArray nfc = QByteArray::number(list.Nfc);
        table += "\r\n{\\list\\listtemplateid" + id + "\\listsimple{\\listlevel\\levelnfc" + nfc +
                 "\\levelnfcn" + nfc + "\\leveljc0\\leveljcn0\\levelfollow0\\levelstartat" +
                 QByteArray::number(list.Start) + "{\\leveltext";
        if (list.Nfc == 23) {
            table += "\\'01\\'b7;}{\\levelnumbers;}\\f" + QByteArray::number(list.BulletFont);
        } else {
            const int length = static_cast<int>(list.Prefix.size() + 1 + list.Suffix.size());
            const QByteArray position =
                QByteArray::number(static_cast<int>(list.Prefix.size()) + 1, 16)
                    .rightJustified(2, '0');
            table += "\\'" + QByteArray::number(length, 16).rightJustified(2, '0') +
                     Escaped(list.Prefix) + "\\'00" + Escaped(list.Suffix) +
                     ";}{\\levelnumbers\\'" + position + ";}";
        }
        table += "}\\listid" + id + '}';
        overrides += "\r\n{\\listoverride\\listid" + id + "\\listoverridecount0\\ls" + id + '}';
    }
    return table + "}\r\n" + overrides + "}\r\n";
}

// The size as read stands unless the picture was given another size since.
bool KeepsSize(int goal, int scale, bool has, qreal shown)
{
    return goal > 0 && scale > 0 &&
           (!has || qAbs(TwipsToPixels(goal) * scale / 100.0 - shown) < 0.01);
}

// A picture shows the groups it came with (a shape, a picture wrapper) as long as it keeps
// its size; a picture resized since goes out as a picture of its own.
bool ShowsKeptGroups(const QTextImageFormat &format)
{
    const int scaleX = format.hasProperty(PictureScaleX) ? format.intProperty(PictureScaleX) : 100;
    const int scaleY = format.hasProperty(PictureScaleY) ? format.intProperty(PictureScaleY) : 100;
    return TRtfPageParts::IsAnchor(format) &&
           KeepsSize(format.intProperty(PictureGoalWidth), scaleX,
                     format.hasProperty(QTextFormat::ImageWidth), format.width()) &&
           KeepsSize(format.intProperty(PictureGoalHeight), scaleY,
                     format.hasProperty(QTextFormat::ImageHeight), format.height());
}

class Writer
{
public:
    Writer(const QTextDocument &document, const TRtfWriter::Options &options)
        : FDocument(document), FOptions(options), FDefaultFont(document.defaultFont())
    {
    }

    QByteArray Run(int from, int to);

private:
    int FontIndex(const QString &family);
    int ColorIndex(const QColor &color);
    RunFormat Resolve(int formatIndex, const QTextCharFormat &format);
    void Word(const char *word);
    void Word(const char *word, int value);
    void Text(const QString &text, int from, int length);
    void Character(char16_t c);
    void Escape(unsigned char byte);
    void ChangeFormat(const RunFormat &format);
    QByteArray ParagraphProperties(const QTextBlock &block, QByteArray &listText);
    void Picture(const QTextImageFormat &format);
    // The groups kept at an anchor, their fonts and colours in the saved tables.
    void KeptGroups(const QTextFormat &format);
    // Text whose object replacement characters are anchors of kept groups.
    void AnchoredText(const QString &text, int from, int length, const QTextFormat &format);
    QByteArray Header() const;
    // Content of a frame or a cell; level is the table nesting depth of its paragraphs.
    void Items(QTextFrame::iterator it, int level, bool cell);
    void Table(const QTextTable &table, int level);
    void Row(const QTextTable &table, int row, int level);
    void CoveredCell(int level);
    // A paragraph; cellEnd: it ends its cell, which it then states even outside the range.
    void Block(const QTextBlock &block, int level, bool cellEnd);
    // \pard and the properties when they differ from the last stated (or force is set).
    void ParagraphStart(const QByteArray &properties, const QByteArray &listText, bool force);

    const QTextDocument &FDocument;
    const TRtfWriter::Options FOptions;
    const QFont FDefaultFont;
    QByteArray FOut;
    bool FDelimit = false;
    QStringList FFonts;
    QList<QColor> FColors;
    QHash<int, RunFormat> FResolved;
    RunFormat FCurrent;
    // The run of list paragraphs that the last paragraph belongs to.
    QByteArray FRunKey;
    // The lists of the list table, one for each run of list paragraphs.
    std::vector<ListDefinition> FLists;
    int FRunStart = 1;
    int FRunNumber = 1;
    bool FFormatKnown = false;
    // The range being written.
    int FFrom = 0;
    int FTo = 0;
    // Table depth of the cell that holds the whole range, written as plain paragraphs.
    int FBaseLevel = 0;
    // Paragraph properties last stated with \pard, and whether one was stated at all.
    QByteArray FParagraph;
    bool FParagraphStated = false;
    // The next paragraph states its properties: the first of a table row.
    bool FRowStart = false;
    // Paragraphs written since the last table ended, -1 when none ended. A reader that looks
    // for the end of a table wants \pard twice after it.
    int FAfterTable = -1;
};

QByteArray TableWords(int level)
{
    if (level <= 0)
        return {};
    return level == 1 ? QByteArray("\\intbl") : "\\intbl\\itap" + QByteArray::number(level);
}

int Writer::FontIndex(const QString &family)
{
    // The table holds names as a reader will take them back: a ";" ends a name and spaces
    // around it do not count. Names that read back the same share one entry.
    const QString name = family.section(u';', 0, 0).trimmed();
    int index = FFonts.indexOf(name);
    if (index < 0) {
        index = FFonts.size();
        FFonts.append(name);
    }
    return index;
}

int Writer::ColorIndex(const QColor &color)
{
    const QColor rgb = color.toRgb();
    for (int i = 0; i < FColors.size(); ++i) {
        if (FColors.at(i).rgb() == rgb.rgb())
            return i + 1;
    }
    FColors.append(rgb);
    return FColors.size();
}

RunFormat Writer::Resolve(int formatIndex, const QTextCharFormat &format)
{
    const auto cached = FResolved.constFind(formatIndex);
    if (cached != FResolved.constEnd())
        return cached.value();

    RunFormat run;
    QString family = FDefaultFont.family();
    const QVariant families = format.fontFamilies();
    if (families.isValid() && !families.toStringList().isEmpty())
        family = families.toStringList().constFirst();
    run.Font = FontIndex(family);

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
    if (format.hasProperty(QTextFormat::TextUnderlineStyle)) {
        switch (format.underlineStyle()) {
        case QTextCharFormat::NoUnderline:
            run.Underline = 0;
            break;
        case QTextCharFormat::DotLine:
            run.Underline = 2;
            break;
        case QTextCharFormat::DashUnderline:
            run.Underline = 3;
            break;
        case QTextCharFormat::WaveUnderline:
            run.Underline = 4;
            break;
        default:
            run.Underline = 1;
        }
    } else {
        run.Underline =
            format.fontUnderline() ||
                    (!format.hasProperty(QTextFormat::FontUnderline) && FDefaultFont.underline())
                ? 1
                : 0;
    }
    run.Strike = format.hasProperty(QTextFormat::FontStrikeOut) ? format.fontStrikeOut()
                                                                : FDefaultFont.strikeOut();
    if (format.foreground().style() != Qt::NoBrush)
        run.Color = ColorIndex(format.foreground().color());
    if (format.background().style() != Qt::NoBrush)
        run.Highlight = ColorIndex(format.background().color());
    if (format.verticalAlignment() == QTextCharFormat::AlignSuperScript)
        run.Script = 1;
    else if (format.verticalAlignment() == QTextCharFormat::AlignSubScript)
        run.Script = 2;
    run.Hidden = format.boolProperty(Hidden);
    run.Protected = format.boolProperty(Protected);
    FResolved.insert(formatIndex, run);
    return run;
}

void Writer::Word(const char *word)
{
    FOut += word;
    FDelimit = true;
}

void Writer::Word(const char *word, int value)
{
    FOut += word;
    FOut += QByteArray::number(value);
    FDelimit = true;
}

void Writer::Escape(unsigned char byte)
{
    static const char Hex[] = "0123456789abcdef";
    FOut += "\\'";
    FOut += Hex[byte >> 4];
    FOut += Hex[byte & 15];
    FDelimit = false;
}

void Writer::Character(char16_t c)
{
    switch (c) {
    case u'\\':
    case u'{':
    case u'}':
        FOut += '\\';
        FOut += static_cast<char>(c);
        FDelimit = false;
        return;
    case u'\t':
        Word("\\tab");
        return;
    case 0x2028:
        Word("\\line");
        return;
    case 0x000C:
        Word("\\page");
        return;
    case QChar::ObjectReplacementCharacter:
    case 0xFDD0: // frame boundaries of tables
    case 0xFDD1:
        return;
    default:
        break;
    }
    if (c < 0x20)
        return;
    if (c < 0x80) {
        if (FDelimit)
            FOut += ' ';
        FOut += static_cast<char>(c);
        FDelimit = false;
        return;
    }
    const int byte = TCodePage1252::FromUnicode(c);
    if (byte >= 0) {
        Escape(static_cast<unsigned char>(byte));
        return;
    }
    FOut += "\\u";
    FOut += QByteArray::number(static_cast<int>(static_cast<int16_t>(c)));
    FOut += '?';
    FDelimit = false;
}

void Writer::Text(const QString &text, int from, int length)
{
    const QChar *chars = text.constData() + from;
    int i = 0;
    while (i < length) {
        // Plain ASCII goes out in one piece; everything else one character at a time.
        int end = i;
        while (end < length) {
            const char16_t c = chars[end].unicode();
            if (c < 0x20 || c >= 0x80 || c == u'\\' || c == u'{' || c == u'}')
                break;
            ++end;
        }
        if (end > i) {
            if (FDelimit)
                FOut += ' ';
            FDelimit = false;
            const qsizetype old = FOut.size();
            FOut.resize(old + (end - i));
            char *out = FOut.data() + old;
            for (int k = i; k < end; ++k)
                *out++ = static_cast<char>(chars[k].unicode());
            i = end;
            continue;
        }
        Character(chars[i].unicode());
        ++i;
    }
}

void Writer::ChangeFormat(const RunFormat &f)
{
    const RunFormat &c = FCurrent;
    const bool all = !FFormatKnown;
    if (all || f.Font != c.Font)
        Word("\\f", f.Font);
    if (all || f.HalfPoints != c.HalfPoints)
        Word("\\fs", f.HalfPoints);
    if ((all && f.Color) || (!all && f.Color != c.Color))
        Word("\\cf", f.Color);
    if ((all && f.Highlight) || (!all && f.Highlight != c.Highlight))
        Word("\\highlight", f.Highlight);
    if ((all && f.Bold) || (!all && f.Bold != c.Bold))
        Word(f.Bold ? "\\b" : "\\b0");
    if ((all && f.Italic) || (!all && f.Italic != c.Italic))
        Word(f.Italic ? "\\i" : "\\i0");
    if ((all && f.Underline) || (!all && f.Underline != c.Underline)) {
        static const char *Words[] = {"\\ulnone", "\\ul", "\\uld", "\\uldash", "\\ulwave"};
        Word(Words[f.Underline]);
    }
    if ((all && f.Strike) || (!all && f.Strike != c.Strike))
        Word(f.Strike ? "\\strike" : "\\strike0");
    if ((all && f.Script) || (!all && f.Script != c.Script)) {
        static const char *Words[] = {"\\nosupersub", "\\super", "\\sub"};
        Word(Words[f.Script]);
    }
    if ((all && f.Hidden) || (!all && f.Hidden != c.Hidden))
        Word(f.Hidden ? "\\v" : "\\v0");
    if ((all && f.Protected) || (!all && f.Protected != c.Protected))
        Word(f.Protected ? "\\protect" : "\\protect0");
    FCurrent = f;
    FFormatKnown = true;
}

QByteArray Writer::ParagraphProperties(const QTextBlock &block, QByteArray &listText)
{
    const QTextBlockFormat format = block.blockFormat();
    QByteArray p;
    int firstIndent = PixelsToTwips(format.textIndent());
    if (QTextList *list = block.textList()) {
        const QTextListFormat listFormat = list->format();
        const int start = listFormat.hasProperty(ListStart) ? listFormat.intProperty(ListStart) : 1;
        // Numbered paragraphs in a row that look alike are one list to a reader of rich text,
        // whatever lists the document keeps; an item that starts a run states its own number
        // as the start, so that reading it back numbers it the same.
        const QTextListFormat::Style style = listFormat.style();
        const bool numbered =
            style == QTextListFormat::ListDecimal || style == QTextListFormat::ListLowerAlpha ||
            style == QTextListFormat::ListUpperAlpha || style == QTextListFormat::ListLowerRoman ||
            style == QTextListFormat::ListUpperRoman;
        // Compared as written (labels that differ only beyond what the file keeps of them read
        // back as one list), apart by a byte that no written label holds.
        const QByteArray runKey = numbered ? QByteArray::number(int(style)) + '\1' +
                                                 LabelBytes(listFormat.numberPrefix()) + '\1' +
                                                 LabelBytes(listFormat.numberSuffix())
                                           : QByteArray("bullet");
        int number = start + list->itemNumber(block);
        int pnStart = number;
        if (runKey == FRunKey) {
            number = ++FRunNumber;
            pnStart = FRunStart;
        } else {
            FRunKey = runKey;
            FRunStart = FRunNumber = number;
            ListDefinition definition;
            definition.Nfc = NfcOf(style);
            if (numbered) {
                definition.Start = number;
                definition.Prefix = LabelBytes(listFormat.numberPrefix());
                definition.Suffix = LabelBytes(listFormat.numberSuffix());
            } else {
                definition.BulletFont = FontIndex(QStringLiteral("Symbol"));
            }
            FLists.push_back(definition);
        }
        firstIndent = format.intProperty(ListFirstIndent);
        QString family = FDefaultFont.family();
        // The number takes the font of the paragraph's first character.
        QTextCharFormat first = block.charFormat();
        if (!block.begin().atEnd())
            first = block.begin().fragment().charFormat();
        const QVariant families = first.fontFamilies();
        if (families.isValid() && !families.toStringList().isEmpty())
            family = families.toStringList().constFirst();
        const QByteArray font = QByteArray::number(FontIndex(family));
        QByteArray kind;
        QByteArray label;
        switch (listFormat.style()) {
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
        if (kind.isEmpty()) {
            const QByteArray symbol = QByteArray::number(FontIndex(QStringLiteral("Symbol")));
            listText = "{\\pntext\\f" + symbol + "\\'b7\\tab}";
            p += "{\\*\\pn\\pnlvlblt\\pnf" + symbol + "\\pnindent0{\\pntxtb\\'b7}}";
        } else {
            const QByteArray prefix = Escaped(LabelBytes(listFormat.numberPrefix()));
            const QByteArray suffix = Escaped(LabelBytes(listFormat.numberSuffix()));
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
        p += "\\ls" + QByteArray::number(static_cast<qulonglong>(FLists.size())) + "\\ilvl0";
    } else {
        FRunKey.clear();
    }
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

void Writer::Picture(const QTextImageFormat &format)
{
    QByteArray data = format.property(PictureData).toByteArray();
    QByteArray kind = format.stringProperty(PictureKind).toLatin1();
    QByteArray header = format.property(PictureHeader).toByteArray();
    QImage image;
    const QVariant resource = FDocument.resource(QTextDocument::ImageResource, QUrl(format.name()));
    if (resource.userType() == QMetaType::QImage)
        image = resource.value<QImage>();
    else if (resource.userType() == QMetaType::QPixmap)
        image = resource.value<QPixmap>().toImage();
    else if (resource.userType() == QMetaType::QByteArray)
        image.loadFromData(resource.toByteArray());
    // A picture that came with its data goes back with the same bytes; others as PNG.
    if (data.isEmpty() || kind.isEmpty()) {
        if (image.isNull())
            return;
        data.clear();
        QBuffer buffer(&data);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        kind = "pngblip";
        header.clear();
    }
    if (header.isEmpty()) {
        header = "\\" + kind + "\\picw" + QByteArray::number(image.isNull() ? 0 : image.width()) +
                 "\\pich" + QByteArray::number(image.isNull() ? 0 : image.height());
    }
    const int width = image.isNull() ? 0 : image.width();
    const int height = image.isNull() ? 0 : image.height();
    int goalWidth = format.intProperty(PictureGoalWidth);
    int goalHeight = format.intProperty(PictureGoalHeight);
    int scaleX = format.hasProperty(PictureScaleX) ? format.intProperty(PictureScaleX) : 100;
    int scaleY = format.hasProperty(PictureScaleY) ? format.intProperty(PictureScaleY) : 100;
    if (!KeepsSize(goalWidth, scaleX, format.hasProperty(QTextFormat::ImageWidth),
                   format.width())) {
        goalWidth =
            PixelsToTwips(format.hasProperty(QTextFormat::ImageWidth) ? format.width() : width);
        scaleX = 100;
    }
    if (!KeepsSize(goalHeight, scaleY, format.hasProperty(QTextFormat::ImageHeight),
                   format.height())) {
        goalHeight =
            PixelsToTwips(format.hasProperty(QTextFormat::ImageHeight) ? format.height() : height);
        scaleY = 100;
    }
    FOut += "{\\pict" + header + "\\picwgoal" + QByteArray::number(goalWidth) + "\\pichgoal" +
            QByteArray::number(goalHeight);
    if (scaleX != 100)
        FOut += "\\picscalex" + QByteArray::number(scaleX);
    if (scaleY != 100)
        FOut += "\\picscaley" + QByteArray::number(scaleY);
    FOut += "\r\n";
    const QByteArray hex = data.toHex();
    for (qsizetype i = 0; i < hex.size(); i += 128) {
        FOut += hex.mid(i, 128);
        FOut += "\r\n";
    }
    FOut += '}';
    FDelimit = false;
}

void Writer::KeptGroups(const QTextFormat &format)
{
    FOut += TRtfPageParts::OfAnchor(format).Write(
        [this](const QString &family) { return FontIndex(family); },
        [this](const QColor &color) { return ColorIndex(color); });
    FDelimit = false;
}

void Writer::AnchoredText(const QString &text, int from, int length, const QTextFormat &format)
{
    // Text typed next to an anchor may share its format; only the anchor writes the groups.
    const int end = from + length;
    while (from < end) {
        int next = from;
        while (next < end && text.at(next) != QChar::ObjectReplacementCharacter)
            ++next;
        Text(text, from, next - from);
        if (next < end)
            KeptGroups(format);
        from = next + 1;
    }
}

QByteArray Writer::Header() const
{
    QByteArray h = "{\\rtf1\\ansi\\ansicpg1252\\deff0";
    if (!FOptions.PlainRTF)
        h += "\\deflang" + QByteArray::number(FOptions.Language);
    h += "{\\fonttbl";
    for (int i = 0; i < FFonts.size(); ++i) {
        const QString &family = FFonts.at(i);
        h += "{\\f" + QByteArray::number(i) + FontFamilyKeyword(family) + "\\fcharset" +
             (IsSymbolFont(family) ? "2" : "0") + ' ';
        for (const QChar c : family) {
            const int byte = TCodePage1252::FromUnicode(c.unicode());
            if (c == u'\\' || c == u'{' || c == u'}') {
                h += '\\';
                h += static_cast<char>(c.unicode());
            } else if (byte >= 0x80) {
                h += "\\'" + QByteArray::number(byte, 16);
            } else if (byte >= 0x20) {
                h += static_cast<char>(byte);
            } else {
                h += '?';
            }
        }
        h += ";}";
    }
    h += "}\r\n";
    if (!FColors.isEmpty()) {
        h += "{\\colortbl ;";
        for (const QColor &color : FColors) {
            h += "\\red" + QByteArray::number(color.red()) + "\\green" +
                 QByteArray::number(color.green()) + "\\blue" + QByteArray::number(color.blue()) +
                 ';';
        }
        h += "}\r\n";
    }
    h += ListTables(FLists);
    h += "\\viewkind4\\uc1";
    return h;
}

void Writer::ParagraphStart(const QByteArray &properties, const QByteArray &listText, bool force)
{
    if (force || !FParagraphStated || properties != FParagraph || FRowStart) {
        FOut += "\\pard" + listText + properties;
        FDelimit = !properties.endsWith('}') && !(properties.isEmpty() && !listText.isEmpty());
        FParagraph = properties;
        FParagraphStated = true;
        FRowStart = false;
    } else if (!listText.isEmpty()) {
        FOut += listText;
        FDelimit = false;
    }
}

void Writer::Block(const QTextBlock &block, int level, bool cellEnd)
{
    const int breakPosition = block.position() + block.length() - 1;
    const bool inRange = block.position() < FTo && breakPosition >= FFrom;
    if (!inRange && !cellEnd)
        return;
    QByteArray listText;
    const QByteArray properties =
        TableWords(level - FBaseLevel) + ParagraphProperties(block, listText);
    const bool afterTable = level == FBaseLevel && FAfterTable >= 0 && FAfterTable < 2;
    ParagraphStart(properties, listText, afterTable);
    bool wroteText = false;
    for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        const int start = qMax(fragment.position(), FFrom);
        const int end = qMin(fragment.position() + fragment.length(), FTo);
        if (start >= end)
            continue;
        const QTextCharFormat format = fragment.charFormat();
        ChangeFormat(Resolve(fragment.charFormatIndex(), format));
        wroteText = true;
        if (format.isImageFormat()) {
            const QByteArray object = TRtfObjectIO::ObjectStart(format);
            if (object.isEmpty() && ShowsKeptGroups(format.toImageFormat())) {
                KeptGroups(format);
                continue;
            }
            FOut += object;
            Picture(format.toImageFormat());
            if (!object.isEmpty()) {
                FOut += TRtfObjectIO::ObjectEnd();
                FDelimit = false;
            }
            continue;
        }
        if (TRtfPageParts::IsAnchor(format))
            AnchoredText(fragment.text(), start - fragment.position(), end - start, format);
        else
            Text(fragment.text(), start - fragment.position(), end - start);
    }
    const bool breakInRange = breakPosition >= FFrom && breakPosition < FTo;
    if (!breakInRange && !cellEnd)
        return;
    if (!wroteText && inRange) {
        // An empty paragraph still states its font, as the paragraph mark has one. The mark
        // of a cell's first paragraph also holds the cell's shading, which is no character's.
        QTextCharFormat format = block.charFormat();
        if (format.isTableCellFormat()) {
            format.clearBackground();
            format.clearProperty(QTextFormat::TextVerticalAlignment);
        }
        ChangeFormat(Resolve(-1 - block.blockNumber(), format));
        FResolved.remove(-1 - block.blockNumber());
    }
    if (FAfterTable >= 0 && level == FBaseLevel)
        ++FAfterTable;
    if (cellEnd) {
        Word(level - FBaseLevel == 1 ? "\\cell" : "\\nestcell");
        return;
    }
    FOut += "\\par\r\n";
    FDelimit = false;
}

void Writer::Items(QTextFrame::iterator it, int level, bool cell)
{
    bool afterTable = false;
    while (!it.atEnd()) {
        QTextFrame::iterator next = it;
        ++next;
        if (QTextFrame *frame = it.currentFrame()) {
            if (const auto *table = qobject_cast<QTextTable *>(frame))
                Table(*table, level + 1);
            else
                Items(frame->begin(), level, false);
            afterTable = true;
        } else {
            const QTextBlock block = it.currentBlock();
            const bool cellEnd = cell && next.atEnd();
            // The document keeps an empty paragraph before and after every table that rich
            // text has not: a table ends the paragraph before it and the one after begins anew.
            const bool beforeTable = !next.atEnd() && next.currentFrame();
            const bool kept = block.length() == 1 && (beforeTable || (afterTable && !cellEnd));
            if (!kept)
                Block(block, level, cellEnd);
            afterTable = false;
        }
        it = next;
    }
}

void Writer::Table(const QTextTable &table, int level)
{
    if (table.firstPosition() > FTo || table.lastPosition() < FFrom)
        return;
    for (int row = 0; row < table.rows(); ++row) {
        // Rows outside the range are left out; rows of merged cells only go with their cells.
        bool inRange = false;
        bool ownCells = false;
        for (const TRtfTableWriter::TSlot &slot : TRtfTableWriter::Slots(table, row)) {
            if (slot.Covered)
                continue;
            ownCells = true;
            inRange =
                inRange || (slot.Cell.firstPosition() <= FTo && slot.Cell.lastPosition() >= FFrom);
        }
        if (inRange || (!ownCells && row > 0))
            Row(table, row, level);
    }
    if (level - FBaseLevel == 1)
        FAfterTable = 0;
}

void Writer::Row(const QTextTable &table, int row, int level)
{
    const int depth = level - FBaseLevel;
    const auto colorIndex = [this](const QColor &color) { return ColorIndex(color); };
    if (depth == 1) {
        FOut += TRtfTableWriter::RowDefinition(table, row, colorIndex);
        FDelimit = true;
        FRowStart = true;
    }
    for (const TRtfTableWriter::TSlot &slot : TRtfTableWriter::Slots(table, row)) {
        if (slot.Covered)
            CoveredCell(level);
        else
            Items(slot.Cell.begin(), level, true);
    }
    if (depth == 1) {
        FOut += "\\row\r\n";
    } else {
        FOut += "{\\*\\nesttableprops" + TRtfTableWriter::RowDefinition(table, row, colorIndex) +
                "\\nestrow}{\\nonesttables\\par}\r\n";
    }
    FDelimit = false;
}

void Writer::CoveredCell(int level)
{
    // The place of a cell merged into the one above: an empty paragraph ended as a cell.
    FRunKey.clear();
    ParagraphStart(TableWords(level - FBaseLevel), QByteArray(), false);
    Word(level - FBaseLevel == 1 ? "\\cell" : "\\nestcell");
}

QByteArray Writer::Run(int from, int to)
{
    const int count = FDocument.characterCount();
    if (to < 0 || to > count)
        to = count;
    from = qBound(0, from, to);
    FFrom = from;
    FTo = to;
    FOut.reserve((to - from) + (to - from) / 4 + 256);

    if (FDocument.rootFrame()->childFrames().isEmpty()) {
        for (QTextBlock block = FDocument.findBlock(from); block.isValid() && block.position() < to;
             block = block.next())
            Block(block, 0, false);
    } else {
        // A range inside one cell is written as the paragraphs it holds, without the table.
        QTextCursor cursor(const_cast<QTextDocument *>(&FDocument));
        cursor.setPosition(from);
        const int last = qMax(from, to - 1);
        std::vector<QTextTableCell> cells;
        for (QTextTable *table = cursor.currentTable(); table;) {
            cells.insert(cells.begin(), table->cellAt(from));
            QTextFrame *parent = table->parentFrame();
            table = qobject_cast<QTextTable *>(parent);
        }
        QTextTableCell container;
        for (const QTextTableCell &cell : cells) {
            if (cell.firstPosition() > last || cell.lastPosition() < last)
                break;
            container = cell;
            ++FBaseLevel;
        }
        if (container.isValid())
            Items(container.begin(), FBaseLevel, false);
        else
            Items(FDocument.rootFrame()->begin(), 0, false);
    }
    if (FFonts.isEmpty())
        FontIndex(FDefaultFont.family());
    // Headers and footers belong to the whole document only.
    QByteArray pageParts;
    if (from == 0 && to == count) {
        pageParts = TRtfPageParts::Of(FDocument).Write(
            [this](const QString &family) { return FontIndex(family); },
            [this](const QColor &color) { return ColorIndex(color); });
    }
    if (!FFormatKnown) {
        FOut += "\\pard\\f0\\fs" + QByteArray::number(FCurrent.HalfPoints);
        FDelimit = true;
    } else if (FAfterTable >= 0 && FAfterTable < 2) {
        FOut += "\\pard";
    }
    FOut += "}\r\n";
    return Header() + pageParts + FOut;
}

} // namespace

QByteArray TRtfWriter::Write(const QTextDocument &document, int from, int to,
                             const Options &options)
{
    Writer writer(document, options);
    return writer.Run(from, to);
}

QByteArray TRtfWriter::Write(const QTextDocument &document, int from, int to)
{
    return Write(document, from, to, Options());
}
