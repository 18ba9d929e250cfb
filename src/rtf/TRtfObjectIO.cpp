#include "rtf/TRtfObjectIO.h"

#include "rtf/TCodePage1252.h"
#include "rtf/TRtfFormatProperties.h"
#include "text/StringUtils.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFormat>

#include <algorithm>
#include <cctype>
#include <map>
#include <string_view>

QByteArray TRtfObjectIO::EscapeText(const QString &text)
{
    QByteArray out;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == '\\' || u == '{' || u == '}') {
            out += '\\';
            out += char(u);
        } else if (u >= 32 && u < 128) {
            out += char(u);
        } else {
            out += "\\u" + QByteArray::number(static_cast<qint16>(u)) + '?';
        }
    }
    return out;
}

QByteArray TRtfObjectIO::ObjectStart(const QTextFormat &format)
{
    if (!TRichEditOleObject::IsObjectFormat(format))
        return {};
    const TRichEditOleObject object = TRichEditOleObject::FromFormat(format);
    QByteArray out = "{\\object";
    out += object.Kind() == TRichEditOleObject::TKind::Linked ? "\\objlink" : "\\objemb";
    const QTextImageFormat image = format.toImageFormat();
    // Twips at 96 pixels an inch.
    out += "\\objw" + QByteArray::number(qRound(image.width() * 15)) + "\\objh" +
           QByteArray::number(qRound(image.height() * 15));
    out += "{\\*\\objclass " + EscapeText(object.ClassName()) + '}';
    out += "{\\*\\objname " + EscapeText(object.FileName()) + '}';
    if (object.DisplayAsIcon())
        out += "{\\*\\objicon}";
    out += "{\\*\\objdata\r\n";
    const QByteArray hex = object.Data().toHex();
    for (qsizetype i = 0; i < hex.size(); i += 128) {
        out += hex.mid(i, 128);
        out += "\r\n";
    }
    out += "}{\\result ";
    return out;
}

namespace {

// A small scanner over rich text: enough to find the object groups and their parts.
class Scanner
{
public:
    explicit Scanner(const QByteArray &rtf) : FText(rtf) {}

    std::vector<TRtfObjectIO::TReadObject> Run();

private:
    enum class Part { None, Class, Name, Data };
    struct Group
    {
        Part Dest = Part::None;
        bool Skip = false;   // an ignorable or non-body destination
        bool Object = false; // the \object group itself
        bool Result = false; // inside the \result of an object
        bool Pict = false;   // inside a picture
    };

    void ControlWord(const QByteArray &word, int parameter, bool afterStar);
    void Text(char c);
    void Close();

    const QByteArray &FText;
    std::vector<Group> FGroups;
    std::vector<TRtfObjectIO::TReadObject> FObjects;
    QString FClass;
    QString FName;
    QByteArray FHex;
    int FPictures = 0;
    bool FCurrent = false;
    int FSkipChars = 0; // stand-in characters after \uN
};

std::vector<TRtfObjectIO::TReadObject> Scanner::Run()
{
    FGroups.push_back({});
    bool star = false;
    for (qsizetype i = 0; i < FText.size(); ++i) {
        const char c = FText.at(i);
        if (c == '{') {
            FGroups.push_back(FGroups.back());
            FGroups.back().Object = false;
            FGroups.back().Pict = false;
            star = false;
        } else if (c == '}') {
            Close();
            star = false;
        } else if (c == '\\' && i + 1 < FText.size()) {
            const char next = FText.at(i + 1);
            if (next == '*') {
                star = true;
                ++i;
            } else if (next == '\'' && i + 3 < FText.size()) {
                bool ok = false;
                const int byte = FText.mid(i + 2, 2).toInt(&ok, 16);
                if (ok)
                    Text(char(byte));
                i += 3;
            } else if (QChar::fromLatin1(next).isLetter()) {
                qsizetype j = i + 1;
                while (j < FText.size() && QChar::fromLatin1(FText.at(j)).isLetter())
                    ++j;
                const QByteArray word = FText.mid(i + 1, j - i - 1);
                const qsizetype numberStart = j;
                if (j < FText.size() && (FText.at(j) == '-' || std::isdigit(uchar(FText.at(j)))))
                    ++j;
                while (j < FText.size() && std::isdigit(uchar(FText.at(j))))
                    ++j;
                const int parameter = FText.mid(numberStart, j - numberStart).toInt();
                if (j < FText.size() && FText.at(j) == ' ')
                    ++j;
                if (word == "bin") {
                    // Binary data is passed over unread, as the rich text reader does.
                    j += std::clamp<qsizetype>(parameter, 0, FText.size() - j);
                    star = false;
                    i = j - 1;
                    continue;
                }
                ControlWord(word, parameter, star);
                star = false;
                i = j - 1;
            } else {
                Text(next);
                ++i;
            }
        } else if (c != '\r' && c != '\n') {
            Text(c);
        }
        if (FGroups.empty())
            break;
    }
    return std::move(FObjects);
}

void Scanner::ControlWord(const QByteArray &word, int parameter, bool afterStar)
{
    Group &g = FGroups.back();
    if (word == "object" && !g.Skip) {
        g.Object = true;
        FCurrent = true;
        FObjects.push_back({});
        FClass.clear();
        FName.clear();
        FHex.clear();
    } else if (word == "objemb" && FCurrent) {
        FObjects.back().Object.SetKind(TRichEditOleObject::TKind::Embedded);
    } else if (word == "objlink" && FCurrent) {
        FObjects.back().Object.SetKind(TRichEditOleObject::TKind::Linked);
    } else if (word == "objclass" && FCurrent) {
        g.Dest = Part::Class;
    } else if (word == "objname" && FCurrent) {
        g.Dest = Part::Name;
    } else if (word == "objdata" && FCurrent) {
        g.Dest = Part::Data;
    } else if (word == "objicon" && FCurrent) {
        FObjects.back().Object.SetDisplayAsIcon(true);
    } else if (word == "result" && FCurrent) {
        g.Result = true;
    } else if (word == "pict") {
        // Every picture counts, as the rich text reader numbers them.
        if (!g.Skip && g.Result && FCurrent && FObjects.back().PictureIndex < 0)
            FObjects.back().PictureIndex = FPictures;
        ++FPictures;
        g.Skip = true;
        g.Pict = true;
    } else if (word == "u" && (g.Dest == Part::Class || g.Dest == Part::Name)) {
        const QChar c(char16_t(static_cast<quint16>(parameter)));
        (g.Dest == Part::Class ? FClass : FName) += c;
        FSkipChars = 1;
    } else if (afterStar || word == "fonttbl" || word == "colortbl" || word == "stylesheet" ||
               word == "info" || word == "nonshppict" || word == "header" || word == "footer") {
        if (g.Dest == Part::None)
            g.Skip = true;
    }
}

void Scanner::Text(char c)
{
    if (FSkipChars > 0) {
        --FSkipChars;
        return;
    }
    switch (FGroups.back().Dest) {
    case Part::Class:
        FClass += TCodePage1252::ToUnicode(uchar(c));
        break;
    case Part::Name:
        FName += TCodePage1252::ToUnicode(uchar(c));
        break;
    case Part::Data:
        if (std::isxdigit(uchar(c)))
            FHex += c;
        break;
    case Part::None:
        break;
    }
}

void Scanner::Close()
{
    const Group closing = FGroups.back();
    FGroups.pop_back();
    if (!FCurrent)
        return;
    TRichEditOleObject &object = FObjects.back().Object;
    if (closing.Dest == Part::Class)
        object.SetClassName(FClass.trimmed());
    else if (closing.Dest == Part::Name)
        object.SetFileName(FName.trimmed());
    else if (closing.Dest == Part::Data)
        object.SetData(QByteArray::fromHex(FHex));
    if (closing.Object)
        FCurrent = false;
}

} // namespace

std::vector<TRtfObjectIO::TReadObject> TRtfObjectIO::ReadObjects(const QByteArray &rtf)
{
    return Scanner(rtf).Run();
}

void TRtfObjectIO::AttachObjects(const QByteArray &rtf, QTextDocument &document, int from, int to)
{
    // Asked of every document loaded, most of which hold no object.
    if (!ContainsBytes(std::string_view(rtf.constData(), static_cast<std::size_t>(rtf.size())),
                       "\\object"))
        return;
    const std::vector<TReadObject> objects = ReadObjects(rtf);
    // The pictures the reader put there, by the number of their \pict group.
    std::map<int, int> pictures;
    for (QTextBlock block = document.findBlock(from); block.isValid() && block.position() < to;
         block = block.next())
        for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            if (!format.isImageFormat() ||
                !format.hasProperty(TRtfFormatProperties::PictureOrdinal))
                continue;
            const int ordinal = format.intProperty(TRtfFormatProperties::PictureOrdinal);
            for (int p = fragment.position(); p < fragment.position() + fragment.length(); ++p)
                if (p >= from && p < to)
                    pictures.emplace(ordinal, p);
        }
    for (const TReadObject &read : objects) {
        const auto picture = pictures.find(read.PictureIndex);
        if (picture == pictures.end())
            continue;
        QTextCursor cursor(&document);
        cursor.setPosition(picture->second);
        cursor.setPosition(cursor.position() + 1, QTextCursor::KeepAnchor);
        QTextCharFormat format = cursor.charFormat();
        read.Object.ApplyTo(format);
        cursor.setCharFormat(format);
    }
}
