#pragma once

#include <QTextFormat>
#include <QtGlobal>

// Properties of QTextFormat that the rich text reader sets and the writer reads, for what Qt's
// formats have no field of their own.
namespace TRtfFormatProperties {

enum Property : int {
    // Character format, bool: protected text (\protect). Edits that touch it are refused.
    Protected = QTextFormat::UserProperty + 0x5A00,
    // Character format, bool: hidden text (\v). The control shows it as nothing.
    Hidden,
    // Block format, int twips: first-line indent of a bulleted or numbered paragraph. Qt places
    // the bullet left of the text itself, so such a block keeps textIndent 0 and this value.
    ListFirstIndent,
    // List format, int: first number of a numbered list (\pnstart).
    ListStart,
    // Image format, QByteArray: the picture's data as read, written back unchanged.
    PictureData,
    // Image format, QString: the picture's kind as read ("pngblip", "jpegblip").
    PictureKind,
    // Image format, int twips: the picture's intended width and height (\picwgoal, \pichgoal).
    PictureGoalWidth,
    PictureGoalHeight,
};

// Layout units of a QTextDocument are pixels of 1/96 inch; rich text measures in twips.
constexpr qreal TwipsPerPixel = 15.0;

inline qreal TwipsToPixels(int twips)
{
    return twips / TwipsPerPixel;
}

inline int PixelsToTwips(qreal pixels)
{
    return qRound(pixels * TwipsPerPixel);
}

} // namespace TRtfFormatProperties
