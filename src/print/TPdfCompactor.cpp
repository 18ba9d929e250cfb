#include "print/TPdfCompactor.h"

#include "print/TPdfContentCompactor.h"
#include "print/TPdfFile.h"

#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSet>

#include <algorithm>
#include <cmath>
#include <exception>
#include <optional>
#include <vector>

#include <zlib.h>

namespace {
// A whole zlib stream unpacked; false when it is cut short or damaged.
bool Inflate(QByteArrayView data, QByteArray &out)
{
    z_stream zs{};
    if (inflateInit(&zs) != Z_OK)
        return false;
    zs.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.data()));
    zs.avail_in = uInt(data.size());
    char buffer[65536];
    int status = Z_OK;
    while (status == Z_OK) {
        zs.next_out = reinterpret_cast<Bytef *>(buffer);
        zs.avail_out = sizeof buffer;
        status = inflate(&zs, Z_NO_FLUSH);
        out.append(buffer, qsizetype(sizeof buffer - zs.avail_out));
    }
    inflateEnd(&zs);
    return status == Z_STREAM_END;
}

QByteArray Deflate(const QByteArray &data)
{
    uLongf size = compressBound(uLong(data.size()));
    QByteArray out(qsizetype(size), Qt::Uninitialized);
    if (compress2(reinterpret_cast<Bytef *>(out.data()), &size,
                  reinterpret_cast<const Bytef *>(data.constData()), uLong(data.size()),
                  Z_BEST_COMPRESSION) != Z_OK)
        return {};
    out.truncate(qsizetype(size));
    return out;
}

QString Latin1(QByteArrayView bytes)
{
    return QString::fromLatin1(bytes);
}

// The first reference "key N G R" in a dictionary's text; -1 without one.
int Reference(const QString &text, const QString &key)
{
    // Read by hand: a pattern made for each key and object would be compiled again each time.
    const auto skipSpace = [&text](qsizetype at) {
        while (at < text.size() && text[at].isSpace())
            ++at;
        return at;
    };
    const auto digits = [&text](qsizetype at) {
        while (at < text.size() && text[at].isDigit())
            ++at;
        return at;
    };
    for (qsizetype at = text.indexOf(key); at >= 0; at = text.indexOf(key, at + 1)) {
        const qsizetype number = skipSpace(at + key.size());
        const qsizetype numberEnd = digits(number);
        if (number == at + key.size() || numberEnd == number)
            continue;
        const qsizetype generation = skipSpace(numberEnd);
        const qsizetype generationEnd = digits(generation);
        if (generation == numberEnd || generationEnd == generation)
            continue;
        const qsizetype r = skipSpace(generationEnd);
        if (r == generationEnd || r >= text.size() || text[r] != QLatin1Char('R'))
            continue;
        return text.mid(number, numberEnd - number).toInt();
    }
    return -1;
}

// The advance widths of a Type0 font with two-byte codes; false for any other font.
bool ReadWidths(const TPdfFile &file, int fontId, TPdfContentCompactor::TFontWidths &widths)
{
    const QString font = file.Head(fontId);
    if (!font.contains(QRegularExpression(QStringLiteral("/Subtype\\s*/Type0\\b"))) ||
        !font.contains(QRegularExpression(QStringLiteral("/Encoding\\s*/Identity-H\\b"))))
        return false;
    const auto descendant =
        QRegularExpression(QStringLiteral("/DescendantFonts\\s*\\[\\s*(\\d+)\\s+\\d+\\s+R\\s*\\]"))
            .match(font);
    if (!descendant.hasMatch())
        return false;
    const QString cid = file.Head(descendant.captured(1).toInt());
    const auto dw = QRegularExpression(QStringLiteral("/DW\\s+([\\d.]+)")).match(cid);
    if (dw.hasMatch())
        widths.Default = dw.captured(1).toDouble();
    const qsizetype w = cid.indexOf(QRegularExpression(QStringLiteral("/W\\s*\\[")));
    widths.Object = descendant.captured(1).toInt();
    if (w < 0)
        return !cid.contains(QLatin1String("/W "));
    // "c [w1 w2 ...]" gives widths from c on, "c1 c2 w" one width for c1 to c2.
    const QString array = cid.mid(cid.indexOf(QLatin1Char('['), w) + 1);
    static const QRegularExpression item(QStringLiteral("\\s*(\\[|\\]|[-\\d.]+)"));
    std::vector<double> pending;
    bool inList = false;
    uint next = 0;
    for (qsizetype at = 0;;) {
        const auto m = item.match(array, at, QRegularExpression::NormalMatch,
                                  QRegularExpression::AnchorAtOffsetMatchOption);
        if (!m.hasMatch())
            return false;
        at = m.capturedEnd();
        const QString token = m.captured(1);
        if (token == QLatin1String("[")) {
            if (inList || pending.size() != 1)
                return false;
            inList = true;
            next = uint(pending.front());
            pending.clear();
        } else if (token == QLatin1String("]")) {
            if (!inList)
                return pending.empty();
            inList = false;
        } else if (inList) {
            widths.Widths.insert(next++, token.toDouble());
        } else if (pending.size() == 2) {
            for (uint c = uint(pending[0]); c <= uint(pending[1]) && c - uint(pending[0]) < 65536;
                 ++c)
                widths.Widths.insert(c, token.toDouble());
            pending.clear();
        } else {
            pending.push_back(token.toDouble());
        }
    }
}

// The fonts read so far, by object: every page names the same few.
using TKnownFonts = QHash<int, std::optional<TPdfContentCompactor::TFontWidths>>;

// The fonts a page's content names, those whose widths are known.
TPdfContentCompactor::TFonts PageFonts(const TPdfFile &file, const QString &page,
                                       TKnownFonts &known)
{
    const int resources = Reference(page, QStringLiteral("/Resources"));
    const QString dictionary = resources >= 0 ? file.Head(resources) : page;
    static const QRegularExpression fontsPattern(QStringLiteral("/Font\\s*<<([^>]*)>>"));
    const auto fonts = fontsPattern.match(dictionary);
    TPdfContentCompactor::TFonts result;
    static const QRegularExpression entry(
        QStringLiteral("/([^\\s/<>\\[\\]()]+)\\s+(\\d+)\\s+\\d+\\s+R"));
    for (auto it = entry.globalMatch(fonts.captured(1)); it.hasNext();) {
        const auto m = it.next();
        const int id = m.captured(2).toInt();
        auto font = known.find(id);
        if (font == known.end()) {
            TPdfContentCompactor::TFontWidths widths;
            font = known.insert(id, ReadWidths(file, id, widths) ? std::optional(widths)
                                                                 : std::nullopt);
        }
        if (*font)
            result.insert(m.captured(1).toLatin1(), **font);
    }
    return result;
}

// "/Length N" in a stream's dictionary.
const QRegularExpression &DirectLength()
{
    static const QRegularExpression length(QStringLiteral("/Length\\s+(\\d+)"));
    return length;
}

// A page's content stream as read, unpacked.
struct TContent
{
    int id = -1;
    int lengthId = -1; // the object holding the length, or -1 when the head does
    QString head;
    bool flate = false;
    qsizetype length = 0;
    QByteArray data;
    TPdfContentCompactor::TFonts fonts;
};

// False when the stream is not as expected: another filter, a length that does not end it.
bool ReadContent(const TPdfFile &file, int id, TContent &content)
{
    const QByteArrayView object = file.Bytes(id);
    content.id = id;
    content.head = file.Head(id);
    const QString &head = content.head;
    static const QRegularExpression flate(QStringLiteral("/Filter\\s*/FlateDecode\\b"));
    content.flate = head.contains(flate);
    if (head.size() == object.size() ||
        (head.contains(QLatin1String("/Filter")) && !content.flate) ||
        head.contains(QLatin1String("/DecodeParms")))
        return false;
    content.lengthId = Reference(head, QStringLiteral("/Length"));
    bool ok = false;
    content.length = content.lengthId >= 0 ? Latin1(file.Bytes(content.lengthId))
                                                 .section(QLatin1String("obj"), 1)
                                                 .section(QLatin1String("endobj"), 0, 0)
                                                 .trimmed()
                                                 .toLongLong(&ok)
                                           : DirectLength().match(head).captured(1).toLongLong(&ok);
    qsizetype start = head.size() + 6;
    start += object.sliced(start).startsWith("\r\n") ? 2
             : object.sliced(start).startsWith("\n") ? 1
                                                     : 0;
    if (!ok || content.length < 0 || start + content.length > object.size() ||
        !Latin1(object.sliced(start + content.length))
             .trimmed()
             .startsWith(QLatin1String("endstream")))
        return false;
    const QByteArrayView data = object.sliced(start, content.length);
    if (!content.flate)
        content.data = data.toByteArray();
    return !content.flate || Inflate(data, content.data);
}

// The stream with new content, and the object holding its length when that is one of its own;
// nothing when the content does not get smaller.
void WriteContent(const TContent &content, const QByteArray &compact,
                  QMap<int, QByteArray> &replaced)
{
    const QByteArray data = compact.isEmpty() ? QByteArray() : Deflate(compact);
    if (data.isEmpty() || data.size() >= content.length)
        return;
    QByteArray head = content.head.toLatin1();
    if (content.lengthId < 0) {
        const auto direct = DirectLength().match(content.head);
        head.replace(direct.capturedStart(1), direct.capturedLength(1),
                     QByteArray::number(data.size()));
    }
    if (!content.flate)
        head.insert(head.lastIndexOf(">>"), "/Filter /FlateDecode\n");
    replaced.insert(content.id, head + "stream\n" + data + "\nendstream\nendobj\n");
    if (content.lengthId >= 0)
        replaced.insert(content.lengthId, QByteArray::number(content.lengthId) + " 0 obj\n" +
                                              QByteArray::number(data.size()) + "\nendobj\n");
}

// The widths that Qt's own advances show, where they are the font's widths but for rounding:
// the most frequent advance of each glyph, by descendant font. With them a line of text needs
// an adjustment only where kerning or justification moves a glyph.
QHash<int, QHash<uint, double>> LearntWidths(const TPdfContentCompactor::TAdvances &advances,
                                             const std::vector<TContent> &contents)
{
    QHash<int, const TPdfContentCompactor::TFontWidths *> fonts;
    for (const TContent &content : contents)
        for (const auto &font : content.fonts)
            fonts.insert(font.Object, &font);
    QHash<int, QHash<uint, double>> learnt;
    for (auto font = advances.begin(); font != advances.end(); ++font) {
        for (auto glyph = font->begin(); glyph != font->end(); ++glyph) {
            const auto mode = std::max_element(glyph->begin(), glyph->end());
            const double width = mode.key() / 100.0;
            const double stated = fonts.value(font.key())->Width(glyph.key());
            if (fonts.value(font.key())->Widths.contains(glyph.key()) && width != stated &&
                std::abs(width - stated) <= 1)
                learnt[font.key()].insert(glyph.key(), width);
        }
    }
    return learnt;
}

// A descendant font with the widths array written anew; empty when its array is not found.
QByteArray WithWidths(const TPdfFile &file, int id, const TPdfContentCompactor::TFontWidths &font)
{
    const QString text = Latin1(file.Bytes(id));
    const qsizetype start = text.indexOf(QRegularExpression(QStringLiteral("/W\\s*\\[")));
    qsizetype end = start < 0 ? -1 : text.indexOf(QLatin1Char('['), start);
    for (int depth = 0; end >= 0 && end < text.size(); ++end) {
        depth += text[end] == QLatin1Char('[') ? 1 : text[end] == QLatin1Char(']') ? -1 : 0;
        if (depth == 0)
            break;
    }
    if (end < 0 || end >= text.size())
        return {};
    QList<uint> codes = font.Widths.keys();
    std::sort(codes.begin(), codes.end());
    QByteArray array = "/W [";
    for (qsizetype i = 0; i < codes.size(); ++i) {
        if (i == 0 || codes[i] != codes[i - 1] + 1)
            array += (i == 0 ? "" : "] ") + QByteArray::number(codes[i]) + " [";
        else
            array += ' ';
        array += QByteArray::number(font.Width(codes[i]), 'g', 8);
    }
    array += codes.isEmpty() ? "]" : "]]";
    return (text.left(start) + QString::fromLatin1(array) + text.mid(end + 1)).toLatin1();
}
} // namespace

QByteArray TPdfCompactor::Compact(const QByteArray &pdf)
{
    TPdfFile file(pdf);
    if (!file.Read())
        return {};
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?![A-Za-z0-9])"));
    std::vector<TContent> contents;
    QSet<int> seen;
    TPdfContentCompactor::TAdvances advances;
    TKnownFonts known;
    for (const int id : file.Ids()) {
        const QString head = file.Head(id);
        if (head.contains(QLatin1String("/ObjStm")) || head.contains(QLatin1String("/XRef")))
            return {};
        const int stream = Reference(head, QStringLiteral("/Contents"));
        TContent content;
        if (!head.contains(page) || stream < 0 || seen.contains(stream) ||
            !ReadContent(file, stream, content))
            continue;
        seen.insert(stream);
        content.fonts = PageFonts(file, head, known);
        TPdfContentCompactor(content.fonts).Measure(content.data, advances);
        contents.push_back(std::move(content));
    }
    const auto learnt = LearntWidths(advances, contents);
    QMap<int, QByteArray> replaced;
    // The learnt widths go into each font once; the pages then share its table.
    QHash<int, TPdfContentCompactor::TFontWidths> changedFonts;
    for (const auto &font : std::as_const(known)) {
        const auto widths = font ? learnt.constFind(font->Object) : learnt.constEnd();
        if (widths == learnt.constEnd() || changedFonts.contains(font->Object))
            continue;
        TPdfContentCompactor::TFontWidths changed = *font;
        for (auto it = widths->begin(); it != widths->end(); ++it)
            changed.Widths.insert(it.key(), it.value());
        changedFonts.insert(font->Object, changed);
    }
    for (TContent &content : contents) {
        for (auto &font : content.fonts)
            font = changedFonts.value(font.Object, font);
        WriteContent(content, TPdfContentCompactor(content.fonts).Compact(content.data), replaced);
        content.data.clear();
    }
    if (replaced.isEmpty())
        return {};
    for (auto it = changedFonts.begin(); it != changedFonts.end(); ++it) {
        const QByteArray font = WithWidths(file, it.key(), it.value());
        if (font.isEmpty())
            return {};
        replaced.insert(it.key(), font);
    }
    return file.Write(replaced);
}

bool TPdfCompactor::CompactFile(const QString &fileName)
{
    if (!QFileInfo(fileName).isFile())
        return false;
    QByteArray compact;
    try {
        QFile in(fileName);
        if (!in.open(QIODevice::ReadOnly))
            return false;
        compact = Compact(in.readAll());
    } catch (const std::exception &) {
        return false;
    }
    if (compact.isEmpty())
        return false;
    QSaveFile out(fileName);
    return out.open(QIODevice::WriteOnly) && out.write(compact) == compact.size() && out.commit();
}
