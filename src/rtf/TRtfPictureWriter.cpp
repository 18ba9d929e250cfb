#include "rtf/TRtfPictureWriter.h"

#include "rtf/TRtfFormatProperties.h"
#include "rtf/TRtfPageParts.h"

#include <QBuffer>
#include <QImage>
#include <QPixmap>
#include <QTextDocument>
#include <QTextFormat>
#include <QUrl>

using namespace TRtfFormatProperties;

namespace {

// The size as read stands unless the picture was given another size since.
bool KeepsSize(int goal, int scale, bool has, qreal shown)
{
    return goal > 0 && scale > 0 &&
           (!has || qAbs(TwipsToPixels(goal) * scale / 100.0 - shown) < 0.01);
}

int ScaleX(const QTextImageFormat &format)
{
    return format.hasProperty(PictureScaleX) ? format.intProperty(PictureScaleX) : 100;
}

int ScaleY(const QTextImageFormat &format)
{
    return format.hasProperty(PictureScaleY) ? format.intProperty(PictureScaleY) : 100;
}

QImage ImageOf(const QTextDocument &document, const QTextImageFormat &format)
{
    QImage image;
    const QVariant resource = document.resource(QTextDocument::ImageResource, QUrl(format.name()));
    if (resource.userType() == QMetaType::QImage)
        image = resource.value<QImage>();
    else if (resource.userType() == QMetaType::QPixmap)
        image = resource.value<QPixmap>().toImage();
    else if (resource.userType() == QMetaType::QByteArray)
        image.loadFromData(resource.toByteArray());
    return image;
}

} // namespace

bool TRtfPictureWriter::ShowsKeptGroups(const QTextImageFormat &format)
{
    return TRtfPageParts::IsAnchor(format) &&
           KeepsSize(format.intProperty(PictureGoalWidth), ScaleX(format),
                     format.hasProperty(QTextFormat::ImageWidth), format.width()) &&
           KeepsSize(format.intProperty(PictureGoalHeight), ScaleY(format),
                     format.hasProperty(QTextFormat::ImageHeight), format.height());
}

QByteArray TRtfPictureWriter::Picture(const QTextDocument &document, const QTextImageFormat &format)
{
    QByteArray data = format.property(PictureData).toByteArray();
    QByteArray kind = format.stringProperty(PictureKind).toLatin1();
    QByteArray header = format.property(PictureHeader).toByteArray();
    const QImage image = ImageOf(document, format);
    // A picture that came with its data goes back with the same bytes; others as PNG.
    if (data.isEmpty() || kind.isEmpty()) {
        if (image.isNull())
            return {};
        data.clear();
        QBuffer buffer(&data);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        kind = "pngblip";
        header.clear();
    }
    if (header.isEmpty()) {
        header = "\\" + kind + "\\picw" + QByteArray::number(image.isNull() ? 0 : image.width()) +
                 "\\pich" + QByteArray::number(image.isNull() ? 0 : image.height());
    }
    const int width = image.isNull() ? 0 : image.width();
    const int height = image.isNull() ? 0 : image.height();
    int goalWidth = format.intProperty(PictureGoalWidth);
    int goalHeight = format.intProperty(PictureGoalHeight);
    int scaleX = ScaleX(format);
    int scaleY = ScaleY(format);
    if (!KeepsSize(goalWidth, scaleX, format.hasProperty(QTextFormat::ImageWidth),
                   format.width())) {
        goalWidth =
            PixelsToTwips(format.hasProperty(QTextFormat::ImageWidth) ? format.width() : width);
        scaleX = 100;
    }
    if (!KeepsSize(goalHeight, scaleY, format.hasProperty(QTextFormat::ImageHeight),
                   format.height())) {
        goalHeight =
            PixelsToTwips(format.hasProperty(QTextFormat::ImageHeight) ? format.height() : height);
        scaleY = 100;
    }
    QByteArray out = "{\\pict" + header + "\\picwgoal" + QByteArray::number(goalWidth) +
                     "\\pichgoal" + QByteArray::number(goalHeight);
    if (scaleX != 100)
        out += "\\picscalex" + QByteArray::number(scaleX);
    if (scaleY != 100)
        out += "\\picscaley" + QByteArray::number(scaleY);
    out += "\r\n";
    const QByteArray hex = data.toHex();
    for (qsizetype i = 0; i < hex.size(); i += 128) {
        out += hex.mid(i, 128);
        out += "\r\n";
    }
    out += '}';
    return out;
}
