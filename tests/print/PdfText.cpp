#include "PdfText.h"

#include <QHash>
#include <QRegularExpression>
#include <QTransform>

#include <zlib.h>

namespace {
QByteArray Inflate(const QByteArray &data)
{
    QByteArray out;
    z_stream zs{};
    if (inflateInit(&zs) != Z_OK)
        return out;
    zs.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData()));
    zs.avail_in = uInt(data.size());
    char buffer[16384];
    int status = Z_OK;
    do {
        zs.next_out = reinterpret_cast<Bytef *>(buffer);
        zs.avail_out = sizeof buffer;
        status = inflate(&zs, Z_NO_FLUSH);
        out.append(buffer, int(sizeof buffer - zs.avail_out));
    } while (status == Z_OK);
    inflateEnd(&zs);
    return out;
}

struct Pdf
{
    QHash<int, QString> objects; // bodies as Latin-1, bytes kept one to one

    QString Stream(int id) const
    {
        const QString body = objects.value(id);
        const int start = body.indexOf(QLatin1String("stream"));
        const int end = body.lastIndexOf(QLatin1String("endstream"));
        if (start < 0 || end < start)
            return {};
        int from = start + 6;
        if (body.mid(from, 2) == QLatin1String("\r\n"))
            from += 2;
        else if (body.mid(from, 1) == QLatin1String("\n"))
            from += 1;
        QByteArray data = body.mid(from, end - from).toLatin1();
        if (body.left(start).contains(QLatin1String("FlateDecode")))
            data = Inflate(data);
        return QString::fromLatin1(data);
    }

    int Reference(int id, const QString &key) const
    {
        const QRegularExpression re(QRegularExpression::escape(key) +
                                    QStringLiteral("\\s+(\\d+) 0 R"));
        const auto m = re.match(objects.value(id));
        return m.hasMatch() ? m.captured(1).toInt() : -1;
    }
};

QHash<uint, QString> ReadCMap(const QString &cmap)
{
    QHash<uint, QString> map;
    const auto hex = [](const QString &h) { return h.toUInt(nullptr, 16); };
    const auto unicode = [](const QString &h) {
        QString s;
        for (int i = 0; i + 4 <= h.size(); i += 4)
            s += QChar(char16_t(h.mid(i, 4).toUShort(nullptr, 16)));
        return s;
    };
    const QRegularExpression range(
        QStringLiteral("<([0-9A-Fa-f]+)>\\s*<([0-9A-Fa-f]+)>\\s*(\\[[^\\]]*\\]|<[0-9A-Fa-f]+>)"));
    const QRegularExpression item(QStringLiteral("<([0-9A-Fa-f]+)>"));
    for (const QString &section : cmap.split(QStringLiteral("beginbfrange"))) {
        const QString body = section.section(QStringLiteral("endbfrange"), 0, 0);
        if (section == cmap.split(QStringLiteral("beginbfrange")).first())
            continue;
        for (auto it = range.globalMatch(body); it.hasNext();) {
            const auto m = it.next();
            const uint from = hex(m.captured(1));
            const uint to = hex(m.captured(2));
            const QString target = m.captured(3);
            if (target.startsWith(QLatin1Char('['))) {
                uint code = from;
                for (auto t = item.globalMatch(target); t.hasNext() && code <= to; ++code)
                    map.insert(code, unicode(t.next().captured(1)));
            } else {
                const QString first = unicode(target.mid(1, target.size() - 2));
                for (uint code = from; code <= to && !first.isEmpty(); ++code)
                    map.insert(code,
                               QString(QChar(char16_t(first.at(0).unicode() + (code - from)))));
            }
        }
    }
    const QRegularExpression pair(QStringLiteral("<([0-9A-Fa-f]+)>\\s*<([0-9A-Fa-f]+)>"));
    for (const QString &section : cmap.split(QStringLiteral("beginbfchar")).mid(1)) {
        const QString body = section.section(QStringLiteral("endbfchar"), 0, 0);
        for (auto it = pair.globalMatch(body); it.hasNext();) {
            const auto m = it.next();
            map.insert(hex(m.captured(1)), unicode(m.captured(2)));
        }
    }
    return map;
}

// The operands and operators of a content stream, enough of them for what Qt writes.
class ContentReader
{
public:
    explicit ContentReader(const QString &content) : FText(content) {}

    // The next operator with its operands; false at the end.
    bool Next(QString &op, QStringList &operands)
    {
        operands.clear();
        while (SkipSpace()) {
            const QChar c = FText.at(FPos);
            if (c == QLatin1Char('<') && FText.mid(FPos, 2) != QLatin1String("<<")) {
                const int end = FText.indexOf(QLatin1Char('>'), FPos);
                operands << FText.mid(FPos, (end < 0 ? FText.size() : end + 1) - FPos);
                FPos = end < 0 ? FText.size() : end + 1;
            } else if (c == QLatin1Char('(')) {
                operands << ReadString();
            } else if (c == QLatin1Char('[') || c == QLatin1Char(']') ||
                       FText.mid(FPos, 2) == QLatin1String("<<") ||
                       FText.mid(FPos, 2) == QLatin1String(">>")) {
                FPos += c == QLatin1Char('[') || c == QLatin1Char(']') ? 1 : 2;
            } else {
                const int start = FPos;
                while (FPos < FText.size() && !FText.at(FPos).isSpace() &&
                       !QStringLiteral("<>[]()/").contains(FText.at(FPos)))
                    ++FPos;
                if (FPos == start) // a name starts with '/'
                    for (++FPos; FPos < FText.size() && !FText.at(FPos).isSpace() &&
                                 !QStringLiteral("<>[]()/").contains(FText.at(FPos));)
                        ++FPos;
                const QString token = FText.mid(start, FPos - start);
                const QChar first = token.at(0);
                if (first == QLatin1Char('/') || first.isDigit() || first == QLatin1Char('-') ||
                    first == QLatin1Char('.') || first == QLatin1Char('+')) {
                    operands << token;
                } else {
                    op = token;
                    return true;
                }
            }
        }
        return false;
    }

private:
    bool SkipSpace()
    {
        while (FPos < FText.size() && FText.at(FPos).isSpace())
            ++FPos;
        return FPos < FText.size();
    }
    // A literal string, given as the hex string of its bytes.
    QString ReadString()
    {
        QByteArray bytes;
        int depth = 0;
        for (; FPos < FText.size(); ++FPos) {
            QChar c = FText.at(FPos);
            if (c == QLatin1Char('\\') && FPos + 1 < FText.size()) {
                c = FText.at(++FPos);
                const int octal = QStringLiteral("01234567").indexOf(c);
                if (octal >= 0) {
                    int value = octal;
                    for (int i = 0; i < 2 && FPos + 1 < FText.size() &&
                                    QStringLiteral("01234567").contains(FText.at(FPos + 1));
                         ++i)
                        value = value * 8 + FText.at(++FPos).digitValue();
                    c = QChar(value & 0xff);
                } else {
                    const int escape = QStringLiteral("nrtbf").indexOf(c);
                    if (escape >= 0)
                        c = QChar("\n\r\t\b\f"[escape]);
                }
                bytes += char(c.unicode());
                continue;
            }
            if (c == QLatin1Char('(') && depth++ == 0)
                continue;
            if (c == QLatin1Char(')') && --depth == 0) {
                ++FPos;
                break;
            }
            bytes += char(c.unicode());
        }
        return QLatin1Char('<') + QString::fromLatin1(bytes.toHex()) + QLatin1Char('>');
    }

    const QString &FText;
    int FPos = 0;
};

// What placing a font's glyphs needs: the characters of each glyph code and its advance width
// in thousandths of the font size.
struct PdfFontUse
{
    QHash<uint, QString> characters;
    QHash<uint, double> widths;
    double defaultWidth = 1000;
};

// The widths of the descendant font of a Type0 font: /DW and the /W array's "c [w1 w2 ...]"
// and "c1 c2 w" entries.
void ReadWidths(const Pdf &pdf, int font, PdfFontUse &use)
{
    const auto descendant =
        QRegularExpression(QStringLiteral("/DescendantFonts\\s*\\[\\s*(\\d+) 0 R"))
            .match(pdf.objects.value(font));
    const QString cid = pdf.objects.value(descendant.captured(1).toInt());
    const auto dw = QRegularExpression(QStringLiteral("/DW\\s+([\\d.]+)")).match(cid);
    if (dw.hasMatch())
        use.defaultWidth = dw.captured(1).toDouble();
    const int w = cid.indexOf(QRegularExpression(QStringLiteral("/W\\s*\\[")));
    if (w < 0)
        return;
    const QString array = cid.mid(cid.indexOf(QLatin1Char('['), w) + 1);
    const QRegularExpression token(QStringLiteral("\\[|\\]|[-\\d.]+"));
    QList<double> pending;
    bool inList = false;
    uint next = 0;
    for (auto it = token.globalMatch(array); it.hasNext();) {
        const QString t = it.next().captured(0);
        if (t == QLatin1String("[")) {
            inList = true;
            next = uint(pending.value(0));
            pending.clear();
        } else if (t == QLatin1String("]")) {
            if (!inList)
                return;
            inList = false;
        } else if (inList) {
            use.widths.insert(next++, t.toDouble());
        } else if (pending.size() == 2) {
            for (uint c = uint(pending[0]); c <= uint(pending[1]); ++c)
                use.widths.insert(c, t.toDouble());
            pending.clear();
        } else {
            pending << t.toDouble();
        }
    }
}

QRectF MediaBox(const Pdf &pdf, int page, int pages)
{
    const QRegularExpression box(
        QStringLiteral("/MediaBox\\s*\\[\\s*([-\\d.]+)\\s+([-\\d.]+)\\s+([-\\d.]+)\\s+([-\\d.]+)"));
    for (int id : {page, pages}) {
        const auto m = box.match(pdf.objects.value(id));
        if (m.hasMatch())
            return QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                          QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()));
    }
    return QRectF(0, 0, 595, 842);
}

PdfPage ReadPage(const Pdf &pdf, int page, int pages)
{
    PdfPage result;
    const QRectF media = MediaBox(pdf, page, pages);
    result.size = media.size();
    // From user space (origin bottom left) to points from the top left corner.
    const QTransform toTop(1, 0, 0, -1, -media.left(), media.bottom());

    const int resources = pdf.Reference(page, QStringLiteral("/Resources"));
    const QString fonts = pdf.objects.value(resources)
                              .section(QLatin1String("/Font"), 1)
                              .section(QLatin1String(">>"), 0, 0);
    QHash<QString, PdfFontUse> uses;
    const QRegularExpression fontRef(QStringLiteral("/(\\w+)\\s+(\\d+) 0 R"));
    for (auto f = fontRef.globalMatch(fonts); f.hasNext();) {
        const auto m = f.next();
        const int id = m.captured(2).toInt();
        PdfFontUse use;
        use.characters = ReadCMap(pdf.Stream(pdf.Reference(id, QStringLiteral("/ToUnicode"))));
        ReadWidths(pdf, id, use);
        uses.insert(m.captured(1), use);
    }

    const QString content = pdf.Stream(pdf.Reference(page, QStringLiteral("/Contents")));
    ContentReader reader(content);
    QString op;
    QStringList args;
    QTransform ctm;
    std::vector<QTransform> saved;
    QTransform textMatrix, lineMatrix;
    PdfFontUse font;
    double fontSize = 0;
    const auto number = [&args](int i) { return i < args.size() ? args.at(i).toDouble() : 0.0; };
    const auto matrix = [&number] {
        return QTransform(number(0), number(1), number(2), number(3), number(4), number(5));
    };
    while (reader.Next(op, args)) {
        if (op == QLatin1String("q")) {
            saved.push_back(ctm);
        } else if (op == QLatin1String("Q")) {
            if (!saved.empty()) {
                ctm = saved.back();
                saved.pop_back();
            }
        } else if (op == QLatin1String("cm")) {
            ctm = matrix() * ctm;
        } else if (op == QLatin1String("BT")) {
            textMatrix = lineMatrix = QTransform();
        } else if (op == QLatin1String("Tm")) {
            textMatrix = lineMatrix = matrix();
        } else if (op == QLatin1String("Td")) {
            lineMatrix = QTransform::fromTranslate(number(0), number(1)) * lineMatrix;
            textMatrix = lineMatrix;
        } else if (op == QLatin1String("Tf")) {
            font = uses.value(args.value(0).mid(1));
            fontSize = number(1);
        } else if (op == QLatin1String("Tj") || op == QLatin1String("TJ")) {
            // Each glyph moves the next one on by its width; a number in a TJ array moves it
            // back by that many thousandths of the font size.
            const auto advance = [&textMatrix, &fontSize](double thousandths) {
                textMatrix =
                    QTransform::fromTranslate(thousandths * fontSize / 1000, 0) * textMatrix;
            };
            for (const QString &arg : std::as_const(args)) {
                if (!arg.startsWith(QLatin1Char('<'))) {
                    advance(-arg.toDouble());
                    continue;
                }
                for (int i = 1; i + 4 < arg.size(); i += 4) {
                    const uint code = arg.mid(i, 4).toUInt(nullptr, 16);
                    const QPointF origin = (textMatrix * ctm * toTop).map(QPointF(0, 0));
                    for (const QChar c : font.characters.value(code))
                        result.glyphs.push_back({c, origin});
                    advance(font.widths.value(code, font.defaultWidth));
                }
            }
        } else if (op == QLatin1String("Do")) {
            // An image fills the unit square of its matrix.
            result.images.push_back((ctm * toTop).mapRect(QRectF(0, 0, 1, 1)));
        }
    }
    return result;
}
} // namespace

QString PdfPage::Text() const
{
    QString text;
    for (const Glyph &g : glyphs)
        text += g.character;
    return text;
}

QPointF PdfPage::Find(const QString &word, int occurrence) const
{
    for (size_t i = 0; i < glyphs.size(); ++i) {
        size_t g = i;
        int c = 0;
        while (c < word.size() && g < glyphs.size()) {
            if (c > 0 && glyphs[g].character.isSpace()) {
                ++g;
                continue;
            }
            if (glyphs[g].character != word.at(c))
                break;
            ++g;
            ++c;
        }
        if (c == word.size() && occurrence-- == 0)
            return glyphs[i].origin;
    }
    return QPointF(-1, -1);
}

namespace {
Pdf ReadObjects(const QByteArray &pdfBytes)
{
    Pdf pdf;
    const QString all = QString::fromLatin1(pdfBytes);
    const QRegularExpression object(QStringLiteral("(\\d+) 0 obj(.*?)endobj"),
                                    QRegularExpression::DotMatchesEverythingOption);
    for (auto it = object.globalMatch(all); it.hasNext();) {
        const auto m = it.next();
        pdf.objects.insert(m.captured(1).toInt(), m.captured(2));
    }
    return pdf;
}

// The number of glyphs of a TrueType font program: numGlyphs of its 'maxp' table; -1 when the
// program has none.
int GlyphCount(const QByteArray &font)
{
    const auto word = [&font](int at) {
        return at + 2 <= font.size() ? (uchar(font[at]) << 8) | uchar(font[at + 1]) : -1;
    };
    const int tables = word(4);
    for (int i = 0; i < tables; ++i) {
        const int entry = 12 + 16 * i;
        if (font.mid(entry, 4) == "maxp") {
            const int offset = (word(entry + 8) << 16) | word(entry + 10);
            return word(offset + 4);
        }
    }
    return -1;
}
} // namespace

std::vector<PdfFont> PdfEmbeddedFonts(const QByteArray &pdfBytes)
{
    const Pdf pdf = ReadObjects(pdfBytes);
    std::vector<PdfFont> fonts;
    const QRegularExpression name(QStringLiteral("/FontName\\s*/([^\\s/]+)"));
    for (auto it = pdf.objects.constBegin(); it != pdf.objects.constEnd(); ++it) {
        if (!it.value().contains(QLatin1String("/Type /FontDescriptor")))
            continue;
        PdfFont font;
        font.Name = name.match(it.value()).captured(1);
        const int program = pdf.Reference(it.key(), QStringLiteral("/FontFile2"));
        if (program >= 0)
            font.Glyphs = GlyphCount(pdf.Stream(program).toLatin1());
        fonts.push_back(font);
    }
    return fonts;
}

std::vector<PdfPage> PdfPages(const QByteArray &pdfBytes)
{
    const Pdf pdf = ReadObjects(pdfBytes);
    std::vector<PdfPage> pages;
    for (auto it = pdf.objects.constBegin(); it != pdf.objects.constEnd(); ++it) {
        if (!it.value().contains(QLatin1String("/Type /Pages")))
            continue;
        const QString kids =
            it.value().section(QLatin1String("/Kids"), 1).section(QLatin1Char(']'), 0, 0);
        const QRegularExpression ref(QStringLiteral("(\\d+) 0 R"));
        for (auto r = ref.globalMatch(kids); r.hasNext();)
            pages.push_back(ReadPage(pdf, r.next().captured(1).toInt(), it.key()));
    }
    return pages;
}

QStringList PdfPageTexts(const QByteArray &pdf)
{
    QStringList texts;
    for (const PdfPage &page : PdfPages(pdf))
        texts << page.Text();
    return texts;
}
