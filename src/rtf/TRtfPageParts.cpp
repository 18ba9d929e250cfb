#include "rtf/TRtfPageParts.h"

#include "rtf/TRtfFormatProperties.h"

#include <QSet>
#include <QTextDocument>
#include <QTextFrame>
#include <QVariantList>
#include <QVariantMap>

namespace {

using namespace TRtfFormatProperties;

bool IsLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The parts kept in a format under the three properties given.
TRtfPageParts ReadFrom(const QTextFormat &format, int groups, int fonts, int colors)
{
    TRtfPageParts parts;
    parts.Groups = format.property(groups).toByteArray();
    const QVariantMap names = format.property(fonts).toMap();
    for (auto it = names.constBegin(); it != names.constEnd(); ++it)
        parts.Fonts.insert(it.key().toInt(), it.value().toString());
    for (const QVariant &color : format.property(colors).toList())
        parts.Colors.append(color.value<QColor>());
    return parts;
}

void StoreInto(const TRtfPageParts &parts, QTextFormat &format, int groups, int fonts, int colors)
{
    if (parts.IsEmpty()) {
        format.clearProperty(groups);
        format.clearProperty(fonts);
        format.clearProperty(colors);
        return;
    }
    QVariantMap names;
    for (auto it = parts.Fonts.constBegin(); it != parts.Fonts.constEnd(); ++it)
        names.insert(QString::number(it.key()), it.value());
    QVariantList list;
    for (const QColor &color : parts.Colors)
        list.append(color);
    format.setProperty(groups, parts.Groups);
    format.setProperty(fonts, names);
    format.setProperty(colors, list);
}

} // namespace

TRtfPageParts TRtfPageParts::Of(const QTextDocument &document)
{
    return ReadFrom(document.rootFrame()->frameFormat(), PageParts, PagePartFonts, PagePartColors);
}

void TRtfPageParts::Store(QTextDocument &document) const
{
    QTextFrame *root = document.rootFrame();
    QTextFrameFormat format = root->frameFormat();
    if (IsEmpty() && !format.hasProperty(PageParts))
        return;
    StoreInto(*this, format, PageParts, PagePartFonts, PagePartColors);
    root->setFrameFormat(format);
}

TRtfPageParts TRtfPageParts::OfAnchor(const QTextFormat &format)
{
    return ReadFrom(format, KeptGroups, KeptGroupFonts, KeptGroupColors);
}

bool TRtfPageParts::IsAnchor(const QTextFormat &format)
{
    return format.hasProperty(KeptGroups);
}

void TRtfPageParts::StoreIn(QTextCharFormat &format) const
{
    StoreInto(*this, format, KeptGroups, KeptGroupFonts, KeptGroupColors);
}

QByteArray TRtfPageParts::Write(const std::function<int(const QString &)> &fontIndex,
                                const std::function<int(const QColor &)> &colorIndex) const
{
    static const QSet<QByteArray> FontWords = {"f", "af"};
    static const QSet<QByteArray> ColorWords = {
        "cf",      "cb",      "highlight", "chcbpat", "chcfpat", "cbpat",  "cfpat",
        "clcbpat", "clcfpat", "brdrcf",    "trcbpat", "trcfpat", "shading"};
    QByteArray out;
    out.reserve(Groups.size());
    const char *data = Groups.constData();
    const qsizetype size = Groups.size();
    qsizetype i = 0;
    while (i < size) {
        if (data[i] != '\\' || i + 1 >= size || !IsLetter(data[i + 1])) {
            // A symbol's character is copied with its backslash, so that "\\f1" stays text.
            const qsizetype length = data[i] == '\\' && i + 1 < size ? 2 : 1;
            out.append(data + i, length);
            i += length;
            continue;
        }
        qsizetype end = i + 1;
        while (end < size && IsLetter(data[end]))
            ++end;
        const QByteArray word(data + i + 1, end - i - 1);
        qsizetype digits = end;
        if (digits < size && data[digits] == '-')
            ++digits;
        while (digits < size && IsDigit(data[digits]))
            ++digits;
        const bool hasNumber = digits > end && IsDigit(data[digits - 1]);
        const int number = hasNumber ? QByteArray(data + end, digits - end).toInt() : 0;
        if (word == "bin" && hasNumber) {
            // Binary data is copied as it stands, with the space that ends the word.
            const qsizetype from = digits < size && data[digits] == ' ' ? digits + 1 : digits;
            const qsizetype to = std::min(size, from + std::max(0, number));
            out.append(data + i, to - i);
            i = to;
            continue;
        }
        if (hasNumber && FontWords.contains(word)) {
            const auto font = Fonts.constFind(number);
            out +=
                '\\' + word + QByteArray::number(font == Fonts.constEnd() ? 0 : fontIndex(*font));
        } else if (hasNumber && ColorWords.contains(word)) {
            const bool known = number > 0 && number < Colors.size() && Colors.at(number).isValid();
            out += '\\' + word + QByteArray::number(known ? colorIndex(Colors.at(number)) : 0);
        } else if (hasNumber && word == "ls") {
            // The saved file's list table is its own: a list of the source is none there.
            out += "\\ls0";
        } else {
            out.append(data + i, digits - i);
        }
        i = digits;
    }
    return out;
}
