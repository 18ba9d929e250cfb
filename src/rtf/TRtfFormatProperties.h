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
    // Image format, QString: the picture's kind as read ("pngblip", "jpegblip", "emfblip",
    // "wmetafile", "dibitmap", "wbitmap", "macpict", "pmmetafile").
    PictureKind,
    // Image format, int twips: the picture's intended width and height (\picwgoal, \pichgoal).
    PictureGoalWidth,
    PictureGoalHeight,
    // Image format, QByteArray: the control words that describe the picture's data (its kind
    // with its parameter, \picw, \pich, the bitmap words, cropping), written back as read.
    PictureHeader,
    // Image format, int percent: the picture's scaling as read (\picscalex, \picscaley).
    PictureScaleX,
    PictureScaleY,
    // Image format, int: which \pict group of the rich text the picture came from, counting
    // every \pict control word from 0. Ties pictures to the objects whose results they are.
    PictureOrdinal,
    // Table cell format, int twips: the height of the cell's row (\trrh; negative: exact).
    TableRowHeight,
    // Table cell format, bool: the cell's row repeats at the top of each page (\trhdr).
    TableHeaderRow,
    // Table cell format, bool: the cell only fills the grid right of a row that is shorter than
    // the table; it is no cell of the row and is not written.
    TableFiller,
    // Root frame format: the headers and footers of the rich text read, kept to be written
    // back (QByteArray), and the font names (QVariantMap by number) and colours (QVariantList)
    // their numbers refer to.
    PageParts,
    PagePartFonts,
    PagePartColors,
    // Character format: groups the document does not show (shapes, drawing objects, the
    // wrappers of pictures) kept as read where they stood, to be written back there
    // (QByteArray), with the font names (QVariantMap by number) and colours (QVariantList) of
    // the file they came from. Their character is a picture that shows them, or an object
    // replacement character that shows nothing.
    KeptGroups,
    KeptGroupFonts,
    KeptGroupColors,
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
