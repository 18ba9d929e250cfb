#include "PdfText.h"

#include <QHash>
#include <QRegularExpression>

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
} // namespace

QStringList PdfPageTexts(const QByteArray &pdfBytes)
{
    Pdf pdf;
    const QString all = QString::fromLatin1(pdfBytes);
    const QRegularExpression object(QStringLiteral("(\\d+) 0 obj(.*?)endobj"),
                                    QRegularExpression::DotMatchesEverythingOption);
    for (auto it = object.globalMatch(all); it.hasNext();) {
        const auto m = it.next();
        pdf.objects.insert(m.captured(1).toInt(), m.captured(2));
    }
    QList<int> pages;
    for (auto it = pdf.objects.constBegin(); it != pdf.objects.constEnd(); ++it) {
        if (!it.value().contains(QLatin1String("/Type /Pages")))
            continue;
        const QString kids =
            it.value().section(QLatin1String("/Kids"), 1).section(QLatin1Char(']'), 0, 0);
        const QRegularExpression ref(QStringLiteral("(\\d+) 0 R"));
        for (auto r = ref.globalMatch(kids); r.hasNext();)
            pages << r.next().captured(1).toInt();
    }

    QStringList texts;
    const QRegularExpression op(QStringLiteral("/(\\w+)\\s+[-\\d.]+\\s+Tf|<([0-9A-Fa-f]*)>\\s*Tj"));
    for (int page : pages) {
        const int resources = pdf.Reference(page, QStringLiteral("/Resources"));
        const QString fonts = pdf.objects.value(resources)
                                  .section(QLatin1String("/Font"), 1)
                                  .section(QLatin1String(">>"), 0, 0);
        QHash<QString, QHash<uint, QString>> maps;
        const QRegularExpression fontRef(QStringLiteral("/(\\w+)\\s+(\\d+) 0 R"));
        for (auto f = fontRef.globalMatch(fonts); f.hasNext();) {
            const auto m = f.next();
            const int toUnicode =
                pdf.Reference(m.captured(2).toInt(), QStringLiteral("/ToUnicode"));
            maps.insert(m.captured(1), ReadCMap(pdf.Stream(toUnicode)));
        }
        const QString content = pdf.Stream(pdf.Reference(page, QStringLiteral("/Contents")));
        QString text;
        QHash<uint, QString> current;
        for (auto it = op.globalMatch(content); it.hasNext();) {
            const auto m = it.next();
            if (!m.captured(1).isEmpty()) {
                current = maps.value(m.captured(1));
                continue;
            }
            const QString glyphs = m.captured(2);
            for (int i = 0; i + 4 <= glyphs.size(); i += 4)
                text += current.value(glyphs.mid(i, 4).toUInt(nullptr, 16));
        }
        texts << text;
    }
    return texts;
}
