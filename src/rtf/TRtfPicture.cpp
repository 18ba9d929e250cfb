#include "rtf/TRtfPicture.h"

#include <QBuffer>
#include <QImageReader>
#include <QPainter>
#include <QtEndian>

#include <algorithm>

namespace {

// Pictures larger than this many pixels are not decoded.
constexpr qint64 LargestPicture = 64LL * 1024 * 1024;
// A box is drawn at most this large; the document scales it to the picture's size.
constexpr int LargestBox = 1200;
// Size of a BMP file header, which a device-independent bitmap in rich text has not.
constexpr int FileHeaderSize = 14;

quint32 ReadU32(const QByteArray &data, int at)
{
    return at + 4 <= data.size() ? qFromLittleEndian<quint32>(data.constData() + at) : 0;
}

quint16 ReadU16(const QByteArray &data, int at)
{
    return at + 2 <= data.size() ? qFromLittleEndian<quint16>(data.constData() + at) : 0;
}

QImage Read(const QByteArray &data, const char *format)
{
    QByteArray bytes = data;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    const QSize size = reader.size();
    if (!size.isValid() || qint64(size.width()) * size.height() > LargestPicture)
        return QImage();
    return reader.read();
}

// A device-independent bitmap as a BMP file: the file header says where the pixels start,
// after the information header, the colour masks and the palette.
QImage ReadDib(const QByteArray &dib)
{
    if (dib.startsWith("BM"))
        return Read(dib, "BMP");
    const quint32 headerSize = ReadU32(dib, 0);
    if (headerSize < 12 || headerSize > quint32(dib.size()))
        return QImage();
    quint32 palette = 0;
    if (headerSize == 12) {
        const quint16 bits = ReadU16(dib, 10);
        palette = bits <= 8 ? (1u << bits) * 3 : 0;
    } else {
        const quint16 bits = ReadU16(dib, 14);
        const quint32 compression = ReadU32(dib, 16);
        const quint32 used = ReadU32(dib, 32);
        palette = (used ? std::min<quint32>(used, 256) : (bits <= 8 ? 1u << bits : 0)) * 4;
        if (headerSize == 40 && (compression == 3 || compression == 6))
            palette += compression == 3 ? 12 : 16;
    }
    QByteArray file(FileHeaderSize, '\0');
    file[0] = 'B';
    file[1] = 'M';
    qToLittleEndian<quint32>(quint32(FileHeaderSize + dib.size()), file.data() + 2);
    qToLittleEndian<quint32>(FileHeaderSize + headerSize + palette, file.data() + 10);
    return Read(file + dib, "BMP");
}

// Bits of a device-dependent bitmap: rows of WidthBytes from the top.
QImage ReadBitmap(const TRtfPicture &picture)
{
    const int width = picture.Width;
    const int height = picture.Height;
    const int stride = picture.WidthBytes;
    if (width <= 0 || height <= 0 || qint64(width) * height > LargestPicture ||
        picture.Planes != 1 || qint64(stride) * height > picture.Data.size())
        return QImage();
    QImage::Format format = QImage::Format_Invalid;
    int needed = 0;
    switch (picture.BitsPerPixel) {
    case 1:
        format = QImage::Format_Mono;
        needed = (width + 7) / 8;
        break;
    case 24:
        format = QImage::Format_RGB888;
        needed = width * 3;
        break;
    case 32:
        format = QImage::Format_RGB32;
        needed = width * 4;
        break;
    default:
        return QImage();
    }
    if (stride < needed)
        return QImage();
    QImage image(width, height, format);
    if (image.isNull())
        return QImage();
    if (format == QImage::Format_Mono)
        image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    for (int y = 0; y < height; ++y)
        std::copy_n(picture.Data.constData() + qint64(y) * stride, needed, image.scanLine(y));
    // Windows keeps 24-bit pixels as blue, green, red.
    return format == QImage::Format_RGB888 ? image.rgbSwapped() : image;
}

QString NameOf(const QByteArray &kind)
{
    if (kind == "emfblip")
        return QStringLiteral("EMF");
    if (kind == "wmetafile")
        return QStringLiteral("WMF");
    if (kind == "macpict")
        return QStringLiteral("PICT");
    if (kind == "pmmetafile")
        return QStringLiteral("OS/2");
    return QString::fromLatin1(kind);
}

} // namespace

QImage TRtfPicture::Decode() const
{
    if (Kind == "pngblip")
        return Read(Data, "png");
    if (Kind == "jpegblip")
        return Read(Data, "jpeg");
    if (Kind == "dibitmap")
        return ReadDib(Data);
    if (Kind == "wbitmap")
        return ReadBitmap(*this);
    return QImage();
}

QSize TRtfPicture::NaturalSize() const
{
    if (Width <= 0 || Height <= 0)
        return QSize();
    // Metafiles measure in hundredths of a millimetre, the others in pixels.
    if (Kind == "emfblip" || Kind == "wmetafile" || Kind == "pmmetafile")
        return QSize(qRound(Width * 96 / 2540.0), qRound(Height * 96 / 2540.0));
    return QSize(Width, Height);
}

QImage TRtfPicture::Box(QSize size, const QByteArray &kind)
{
    size = size.expandedTo(QSize(1, 1));
    if (size.width() > LargestBox || size.height() > LargestBox)
        size.scale(LargestBox, LargestBox, Qt::KeepAspectRatio);
    size = size.expandedTo(QSize(2, 2));
    QImage box(size, QImage::Format_ARGB32_Premultiplied);
    box.fill(Qt::transparent);
    QPainter painter(&box);
    painter.setPen(QPen(Qt::gray, 1));
    painter.drawRect(QRectF(0.5, 0.5, size.width() - 1, size.height() - 1));
    const QString name = NameOf(kind);
    QFont font;
    font.setPixelSize(10);
    painter.setFont(font);
    const QRect text = painter.fontMetrics().boundingRect(name);
    if (text.width() + 6 <= size.width() && text.height() + 4 <= size.height()) {
        painter.setPen(Qt::darkGray);
        painter.drawText(box.rect(), Qt::AlignCenter, name);
    }
    return box;
}
