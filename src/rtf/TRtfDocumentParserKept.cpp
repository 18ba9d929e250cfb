// Kept groups of the document reader: shapes, drawing objects and picture wrappers are kept
// as read, carried by the character that shows them, so that a save writes them back.

#include "rtf/TRtfDocumentParser.h"

#include "rtf/TRtfLexer.h"

#include <QRegularExpression>
#include <QTextDocument>

#include <algorithm>
#include <cstring>
#include <limits>

namespace RtfReading {

qsizetype TRtfDocumentParser::GroupOpenBefore(qsizetype backslash) const
{
    qsizetype at = backslash - 1;
    while (at >= 0 && IsLineEnd(FData.at(at)))
        --at;
    if (at >= 1 && FData.at(at) == '*' && FData.at(at - 1) == '\\') {
        at -= 2;
        while (at >= 0 && IsLineEnd(FData.at(at)))
            --at;
    }
    return at >= 0 && FData.at(at) == '{' ? at : -1;
}

// The lexer that Parse reads through finds the end, so that both agree.
qsizetype TRtfDocumentParser::GroupClose(qsizetype open) const
{
    const std::size_t close = TRtfLexer::GroupClose(
        std::string_view(FData.constData(), static_cast<std::size_t>(FData.size())),
        static_cast<std::size_t>(open));
    return close == std::string_view::npos ? -1 : static_cast<qsizetype>(close);
}

bool TRtfDocumentParser::BeginKept(KeptKind kind, const char *textWord)
{
    GroupState &s = State();
    if (FKeptStart >= 0 || !FExcess.empty() || s.Dest != Destination::Body)
        return false;
    const qsizetype open = GroupOpenBefore(FWordStart);
    if (open < 0)
        return false;
    if (textWord) {
        // A text box's text is shown in the text; its shape kept as well would show it twice.
        if (s.InTextShape)
            return false;
        s.InTextShape = true;
        const qsizetype close = GroupClose(open);
        if (close < 0)
            return false;
        const char *from = FData.constData() + open;
        const char *to = FData.constData() + close;
        if (std::search(from, to, textWord, textWord + std::strlen(textWord)) != to)
            return false;
        s.InTextShape = false;
    }
    FKeptStart = open;
    FKeptDepth = FStack.size();
    FKeptKind = kind;
    FKeptImages = FImagesShown;
    FKeptContent = FContentRead;
    if (kind != KeptKind::ShapePicture)
        s.Dest = Destination::Skip;
    return true;
}

void TRtfDocumentParser::EndKept()
{
    const qsizetype open = FKeptStart;
    const QByteArray group = FData.mid(open, FPos + 1 - open);
    FKeptStart = -1;
    const int wrapper = FWrapperImage;
    FWrapperImage = -1;
    switch (FKeptKind) {
    case KeptKind::Shape:
        if (ShowShapePicture(open, FPos))
            AttachKept(FLastImage, group);
        else
            Anchor(group);
        break;
    case KeptKind::ShapePicture:
        if (FImagesShown == FKeptImages + 1 && FContentRead == FKeptContent + 1) {
            AttachKept(FLastImage, group);
            FWrapperImage = FLastImage;
            FWrapperEnd = FPos + 1;
        } else if (FContentRead == FKeptContent) {
            Anchor(group);
        }
        // Otherwise what the wrapper held is shown as read, and saved as such.
        break;
    case KeptKind::Fallback: {
        // The stand-in that follows a picture wrapper goes with its picture.
        qsizetype at = FWrapperEnd;
        while (wrapper >= 0 && at < open && IsLineEnd(FData.at(at)))
            ++at;
        if (wrapper >= 0 && at == open)
            AttachKept(wrapper, group);
        else
            Anchor(group);
        break;
    }
    }
}

TRtfPageParts TRtfDocumentParser::KeptParts(const QByteArray &groups) const
{
    TRtfPageParts parts;
    parts.Groups = groups;
    for (auto it = FFonts.constBegin(); it != FFonts.constEnd(); ++it)
        parts.Fonts.insert(it.key(), it->Name);
    parts.Colors = FColors;
    return parts;
}

void TRtfDocumentParser::Anchor(const QByteArray &group)
{
    Flush();
    Prepare(true);
    QTextCharFormat format = CharFormat(State().Char);
    KeptParts(group).StoreIn(format);
    FCursor.insertText(QString(QChar::ObjectReplacementCharacter), format);
    FParagraphHasContent = true;
    FJustLeftTable = false;
    NoteContent();
}

void TRtfDocumentParser::AttachKept(int position, const QByteArray &group)
{
    QTextCursor cursor(FCursor.document());
    cursor.setPosition(position);
    cursor.setPosition(position + 1, QTextCursor::KeepAnchor);
    QTextCharFormat format = cursor.charFormat();
    KeptParts(TRtfPageParts::OfAnchor(format).Groups + group).StoreIn(format);
    cursor.setCharFormat(format);
}

bool TRtfDocumentParser::ShowShapePicture(qsizetype open, qsizetype close)
{
    // {\sp{\sn pib}{\sv {\pict ...}}}: the picture is the first one after the name.
    const QByteArray range = FData.mid(open, close - open);
    static const QRegularExpression Pib(QStringLiteral("\\\\sn\\s*pib\\s*\\}"));
    const QRegularExpressionMatch name = Pib.match(QString::fromLatin1(range));
    if (!name.hasMatch())
        return false;
    const qsizetype value = range.indexOf("\\sv", name.capturedEnd());
    const qsizetype word = value < 0 ? -1 : range.indexOf("\\pict", value);
    if (word < 0)
        return false;
    const qsizetype pictOpen = GroupOpenBefore(open + word);
    const qsizetype pictClose = pictOpen < 0 ? -1 : GroupClose(pictOpen);
    if (pictClose < 0 || pictClose > close)
        return false;
    // The picture is read again where the shape stood, as a picture of the text; it is the
    // result of no object, whose pictures are told by their number.
    const int pictures = FPictureCount;
    FPictureCount = std::numeric_limits<int>::min() / 2;
    const int images = FImagesShown;
    const std::size_t depth = FStack.size();
    GroupState base = State();
    base.Dest = Destination::Body;
    base.FieldOwner = false;
    base.ShapeTextOwner = false;
    FStack.push_back(base);
    FStarPending = false;
    FSkipCount = 0;
    Parse(pictOpen, pictClose + 1);
    FStack.resize(depth);
    FPictureCount = pictures;
    return FImagesShown > images;
}

} // namespace RtfReading
