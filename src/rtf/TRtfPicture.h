#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>

// A picture of rich text (\pict) as read: its kind, the numbers that describe its data and the
// data. Pictures the program cannot draw are kept whole so that they are written back
// unchanged; they show as a framed box of their size.
struct TRtfPicture
{
    QByteArray Kind;      // "pngblip", "jpegblip", "emfblip", "wmetafile", "dibitmap", ...
    int Width = 0;        // \picw: pixels for bitmaps, hundredths of a millimetre for metafiles
    int Height = 0;       // \pich
    int WidthBytes = 0;   // \wbmwidthbytes
    int BitsPerPixel = 0; // \wbmbitspixel
    int Planes = 1;       // \wbmplanes
    QByteArray Data;

    // The picture drawn, for PNG, JPEG, device-independent bitmaps (with or without a file
    // header) and Windows bitmaps of 1, 24 or 32 bits a pixel; a null image for the others and
    // for data that does not decode.
    QImage Decode() const;
    // Width and height in pixels of the data itself, for a goal size the rich text omits;
    // empty when unknown.
    QSize NaturalSize() const;

    // A framed box of the size (pixels) that stands for a picture not drawn, with the kind's
    // name inside when it fits.
    static QImage Box(QSize size, const QByteArray &kind);
};
