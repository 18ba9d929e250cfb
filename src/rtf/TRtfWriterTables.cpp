#include "rtf/TRtfWriterTables.h"

#include "rtf/TCodePage1252.h"

namespace {

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

} // namespace

int TRtfWriterTables::FontIndex(const QString &family)
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

int TRtfWriterTables::ColorIndex(const QColor &color)
{
    const QColor rgb = color.toRgb();
    for (int i = 0; i < FColors.size(); ++i) {
        if (FColors.at(i).rgb() == rgb.rgb())
            return i + 1;
    }
    FColors.append(rgb);
    return FColors.size();
}

QByteArray TRtfWriterTables::Escaped(const QByteArray &bytes)
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

QByteArray TRtfWriterTables::Header(bool plainRtf, int language) const
{
    QByteArray h = "{\\rtf1\\ansi\\ansicpg1252\\deff0";
    if (!plainRtf)
        h += "\\deflang" + QByteArray::number(language);
    h += FontTable();
    h += ColorTable();
    h += ListTables();
    h += "\\viewkind4\\uc1";
    return h;
}

QByteArray TRtfWriterTables::FontTable() const
{
    QByteArray h = "{\\fonttbl";
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
    return h;
}

QByteArray TRtfWriterTables::ColorTable() const
{
    if (FColors.isEmpty())
        return {};
    QByteArray h = "{\\colortbl ;";
    for (const QColor &color : FColors) {
        h += "\\red" + QByteArray::number(color.red()) + "\\green" +
             QByteArray::number(color.green()) + "\\blue" + QByteArray::number(color.blue()) + ';';
    }
    h += "}\r\n";
    return h;
}

QByteArray TRtfWriterTables::ListTables() const
{
    if (FLists.empty())
        return {};
    QByteArray table = "{\\*\\listtable";
    QByteArray overrides = "{\\*\\listoverridetable";
    for (size_t i = 0; i < FLists.size(); ++i) {
        const TListDefinition &list = FLists[i];
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
