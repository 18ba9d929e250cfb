#include "print/TPdfCompactor.h"

#include "print/TPdfContentCompactor.h"

#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>
#include <QSaveFile>

#include <algorithm>
#include <exception>
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
    const QRegularExpression re(QRegularExpression::escape(key) +
                                QStringLiteral("\\s+(\\d+)\\s+\\d+\\s+R"));
    const auto m = re.match(text);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// The file as Qt writes it: objects one after the other, one cross-reference table, a
// trailer.
class TPdfFile
{
public:
    explicit TPdfFile(const QByteArray &pdf) : FPdf(pdf) {}

    bool Read() { return ReadXref() && ReadObjects(); }

    // The object's text up to its stream, if it has one.
    QString Head(int id) const
    {
        const QByteArrayView bytes = Bytes(id);
        const qsizetype stream = bytes.indexOf("stream");
        return Latin1(stream < 0 ? bytes : bytes.first(stream));
    }

    QByteArrayView Bytes(int id) const
    {
        const auto it = FObjects.find(id);
        return it == FObjects.end() ? QByteArrayView()
                                    : QByteArrayView(FPdf).sliced(it->start, it->end - it->start);
    }

    std::vector<int> Ids() const { return {FObjects.keyBegin(), FObjects.keyEnd()}; }

    // The file again, with some objects written anew.
    QByteArray Write(const QMap<int, QByteArray> &replaced) const
    {
        std::vector<std::pair<qsizetype, int>> order;
        for (auto it = FObjects.begin(); it != FObjects.end(); ++it)
            order.emplace_back(it->start, it.key());
        std::sort(order.begin(), order.end());
        QByteArray out = FPdf.left(order.front().first);
        QMap<int, qsizetype> offsets;
        for (const auto &[start, id] : order) {
            offsets.insert(id, out.size());
            out += replaced.contains(id) ? replaced.value(id) : Bytes(id).toByteArray();
        }
        const qsizetype xref = out.size();
        out += "xref\n";
        for (const auto &[first, count] : FSections) {
            out += QByteArray::number(first) + ' ' + QByteArray::number(count) + '\n';
            for (int id = first; id < first + count; ++id)
                out += offsets.contains(id)
                           ? QByteArray::number(offsets.value(id)).rightJustified(10, '0') + ' ' +
                                 QByteArray::number(FObjects.value(id).generation)
                                     .rightJustified(5, '0') +
                                 " n \n"
                           : FFree.value(id);
        }
        return out + FTrailer + "startxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
    }

private:
    struct TObject
    {
        qsizetype start = 0;
        qsizetype end = 0;
        int generation = 0;
    };

    bool ReadXref()
    {
        const qsizetype startxref = FPdf.lastIndexOf("startxref");
        if (startxref < 0)
            return false;
        bool ok = false;
        FXref = FPdf.mid(startxref + 9).trimmed().split('\n').value(0).trimmed().toLongLong(&ok);
        if (!ok || FXref <= 0 || FXref >= startxref || FPdf.mid(FXref, 4) != "xref")
            return false;
        qsizetype at = FXref + 4;
        qsizetype lineStart = at;
        const auto line = [this, &at, &lineStart] {
            while (at < FPdf.size() && (FPdf[at] == '\n' || FPdf[at] == '\r' || FPdf[at] == ' '))
                ++at;
            lineStart = at;
            const qsizetype end = FPdf.indexOf('\n', at);
            const QByteArray text = FPdf.mid(at, end - at).trimmed();
            at = end < 0 ? FPdf.size() : end + 1;
            return text;
        };
        for (QByteArray header = line(); header != "trailer"; header = line()) {
            const QList<QByteArray> numbers = header.split(' ');
            if (numbers.size() != 2 || !ReadSection(numbers[0].toInt(), numbers[1].toInt(), at))
                return false;
        }
        FTrailer = FPdf.mid(lineStart, startxref - lineStart);
        // Updates, encryption and cross-reference streams are more than this reads.
        return !FTrailer.contains("/Prev") && !FTrailer.contains("/Encrypt") &&
               !FTrailer.contains("/XRefStm");
    }

    bool ReadSection(int first, int count, qsizetype &at)
    {
        if (first < 0 || count <= 0 || at + qsizetype(count) * 20 > FPdf.size())
            return false;
        FSections.emplace_back(first, count);
        for (int i = 0; i < count; ++i, at += 20) {
            const QByteArray entry = FPdf.mid(at, 20);
            bool okOffset = false;
            bool okGeneration = false;
            const qsizetype offset = entry.left(10).toLongLong(&okOffset);
            const int generation = entry.mid(11, 5).toInt(&okGeneration);
            if (!okOffset || !okGeneration || entry[10] != ' ' || entry[16] != ' ')
                return false;
            if (entry[17] == 'f')
                FFree.insert(first + i, entry);
            else if (entry[17] == 'n')
                FObjects.insert(first + i, {offset, 0, generation});
            else
                return false;
        }
        return true;
    }

    // Each object runs to the next one; the last to the table.
    bool ReadObjects()
    {
        std::vector<std::pair<qsizetype, int>> order;
        for (auto it = FObjects.begin(); it != FObjects.end(); ++it)
            order.emplace_back(it->start, it.key());
        std::sort(order.begin(), order.end());
        for (size_t i = 0; i < order.size(); ++i) {
            TObject &object = FObjects[order[i].second];
            object.end = i + 1 < order.size() ? order[i + 1].first : FXref;
            const QByteArray opening = QByteArray::number(order[i].second) + ' ' +
                                       QByteArray::number(object.generation) + " obj";
            if (object.start <= 0 || object.end <= object.start ||
                FPdf.mid(object.start, opening.size()) != opening)
                return false;
        }
        return !order.empty();
    }

    const QByteArray &FPdf;
    qsizetype FXref = 0;
    QMap<int, TObject> FObjects;
    QMap<int, QByteArray> FFree;
    std::vector<std::pair<int, int>> FSections;
    QByteArray FTrailer;
};

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
    if (w < 0)
        return !cid.contains(QLatin1String("/W "));
    // "c [w1 w2 ...]" gives widths from c on, "c1 c2 w" one width for c1 to c2.
    const QString array = cid.mid(cid.indexOf(QLatin1Char('['), w) + 1);
    const QRegularExpression item(QStringLiteral("\\s*(\\[|\\]|[-\\d.]+)"));
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

// The fonts a page's content names, those whose widths are known.
TPdfContentCompactor::TFonts PageFonts(const TPdfFile &file, const QString &page)
{
    const int resources = Reference(page, QStringLiteral("/Resources"));
    const QString dictionary = resources >= 0 ? file.Head(resources) : page;
    const auto fonts = QRegularExpression(QStringLiteral("/Font\\s*<<([^>]*)>>")).match(dictionary);
    TPdfContentCompactor::TFonts result;
    const QRegularExpression entry(QStringLiteral("/([^\\s/<>\\[\\]()]+)\\s+(\\d+)\\s+\\d+\\s+R"));
    for (auto it = entry.globalMatch(fonts.captured(1)); it.hasNext();) {
        const auto m = it.next();
        TPdfContentCompactor::TFontWidths widths;
        if (ReadWidths(file, m.captured(2).toInt(), widths))
            result.insert(m.captured(1).toLatin1(), widths);
    }
    return result;
}

// A page's content stream compacted, with the object holding its length when that is one of
// its own; nothing when the stream is not as expected or does not get smaller.
void CompactContent(const TPdfFile &file, int id, const TPdfContentCompactor::TFonts &fonts,
                    QMap<int, QByteArray> &replaced)
{
    const QByteArrayView object = file.Bytes(id);
    const QString head = file.Head(id);
    const bool flate =
        head.contains(QRegularExpression(QStringLiteral("/Filter\\s*/FlateDecode\\b")));
    if (head.size() == object.size() || (head.contains(QLatin1String("/Filter")) && !flate) ||
        head.contains(QLatin1String("/DecodeParms")))
        return;
    const int lengthId = Reference(head, QStringLiteral("/Length"));
    const auto direct =
        QRegularExpression(QStringLiteral("/Length\\s+(\\d+)(?!\\s+\\d+\\s+R)")).match(head);
    bool ok = false;
    const qsizetype length = lengthId >= 0 ? Latin1(file.Bytes(lengthId))
                                                 .section(QLatin1String("obj"), 1)
                                                 .section(QLatin1String("endobj"), 0, 0)
                                                 .trimmed()
                                                 .toLongLong(&ok)
                                           : direct.captured(1).toLongLong(&ok);
    qsizetype start = head.size() + 6;
    start += object.sliced(start).startsWith("\r\n") ? 2
             : object.sliced(start).startsWith("\n") ? 1
                                                     : 0;
    if (!ok || length < 0 || start + length > object.size() ||
        !Latin1(object.sliced(start + length)).trimmed().startsWith(QLatin1String("endstream")))
        return;
    QByteArray content;
    if (!flate)
        content = object.sliced(start, length).toByteArray();
    else if (!Inflate(object.sliced(start, length), content))
        return;
    const QByteArray compact = TPdfContentCompactor(fonts).Compact(content);
    const QByteArray data = compact.isEmpty() ? QByteArray() : Deflate(compact);
    if (data.isEmpty() || data.size() >= length)
        return;
    QByteArray newHead = head.toLatin1();
    if (lengthId < 0)
        newHead.replace(direct.capturedStart(1), direct.capturedLength(1),
                        QByteArray::number(data.size()));
    if (!flate)
        newHead.insert(newHead.lastIndexOf(">>"), "/Filter /FlateDecode\n");
    replaced.insert(id, newHead + "stream\n" + data + "\nendstream\nendobj\n");
    if (lengthId >= 0)
        replaced.insert(lengthId, QByteArray::number(lengthId) + " 0 obj\n" +
                                      QByteArray::number(data.size()) + "\nendobj\n");
}
} // namespace

QByteArray TPdfCompactor::Compact(const QByteArray &pdf)
{
    TPdfFile file(pdf);
    if (!pdf.startsWith("%PDF-") || !file.Read())
        return {};
    const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?![A-Za-z0-9])"));
    QMap<int, QByteArray> replaced;
    for (const int id : file.Ids()) {
        const QString head = file.Head(id);
        if (head.contains(QLatin1String("/ObjStm")) || head.contains(QLatin1String("/XRef")))
            return {};
        const int contents = Reference(head, QStringLiteral("/Contents"));
        if (head.contains(page) && contents >= 0 && !replaced.contains(contents))
            CompactContent(file, contents, PageFonts(file, head), replaced);
    }
    return replaced.isEmpty() ? QByteArray() : file.Write(replaced);
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
