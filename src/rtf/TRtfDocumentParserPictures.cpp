// Pictures of the document reader: the words of a picture group, and the picture placed in
// the text with what a save needs to write it back unchanged.

#include "rtf/TRtfDocumentParser.h"

#include "rtf/TRtfFormatProperties.h"

#include <QImage>
#include <QTextDocument>
#include <QUrl>

namespace RtfReading {

using namespace TRtfFormatProperties;

void TRtfDocumentParser::PictureWord(const Word &word, bool hasParameter, int parameter)
{
    if (word.Id == Kw::picwgoal) {
        FPictGoalWidth = qBound(0, parameter, 31680 * 4);
    } else if (word.Id == Kw::pichgoal) {
        FPictGoalHeight = qBound(0, parameter, 31680 * 4);
    } else if (word.Id == Kw::picscalex) {
        FPictScaleX = parameter;
    } else if (word.Id == Kw::picscaley) {
        FPictScaleY = parameter;
    } else {
        static const KwSet Kinds = {Kw::pngblip,  Kw::jpegblip, Kw::emfblip, Kw::wmetafile,
                                    Kw::dibitmap, Kw::wbitmap,  Kw::macpict, Kw::pmmetafile};
        const bool kind = Kinds.contains(word.Id);
        if (kind)
            FPict.Kind = word.Text.toByteArray();
        else if (word.Id == Kw::picw)
            FPict.Width = parameter;
        else if (word.Id == Kw::pich)
            FPict.Height = parameter;
        else if (word.Id == Kw::wbmwidthbytes)
            FPict.WidthBytes = parameter;
        else if (word.Id == Kw::wbmbitspixel)
            FPict.BitsPerPixel = parameter;
        else if (word.Id == Kw::wbmplanes)
            FPict.Planes = parameter;
        // The words that describe the data go back out as they came; other words in a
        // picture group (a damaged file's text or tables, say) are not the picture's.
        const bool describesData = kind || (word.Text.startsWith("pic") && word.Id != Kw::pict) ||
                                   word.Text.startsWith("wbm") || word.Text.startsWith("blip");
        if (describesData && FPictHeader.size() < 512) {
            FPictHeader += '\\';
            FPictHeader += word.Text;
            if (hasParameter)
                FPictHeader += QByteArray::number(parameter);
        }
    }
}

void TRtfDocumentParser::EndPicture()
{
    if (FPict.Data.isEmpty() || FPict.Kind.isEmpty() || State().Dest != Destination::Body)
        return;
    QImage image = FPict.Decode();
    QSize natural = image.isNull() ? FPict.NaturalSize() : image.size();
    if (natural.isEmpty())
        natural = QSize(96, 96);
    const int goalWidth =
        FPictGoalWidth > 0 ? FPictGoalWidth : qBound(1, PixelsToTwips(natural.width()), 31680 * 4);
    const int goalHeight = FPictGoalHeight > 0
                               ? FPictGoalHeight
                               : qBound(1, PixelsToTwips(natural.height()), 31680 * 4);
    const int scaleX = qBound(1, FPictScaleX, 10000);
    const int scaleY = qBound(1, FPictScaleY, 10000);
    const qreal width = TwipsToPixels(goalWidth) * scaleX / 100.0;
    const qreal height = TwipsToPixels(goalHeight) * scaleY / 100.0;
    if (image.isNull())
        image = TRtfPicture::Box(QSizeF(width, height).toSize(), FPict.Kind);

    QTextDocument *document = FCursor.document();
    QUrl name;
    do {
        name = QUrl(QStringLiteral("rtfpicture:%1").arg(++FPictureSerial));
    } while (document->resource(QTextDocument::ImageResource, name).isValid());
    document->addResource(QTextDocument::ImageResource, name, image);

    QTextImageFormat format;
    format.merge(CharFormat(State().Char));
    format.setObjectType(QTextFormat::ImageObject);
    format.setName(name.toString());
    format.setWidth(width);
    format.setHeight(height);
    format.setProperty(PictureData, FPict.Data);
    format.setProperty(PictureKind, QString::fromLatin1(FPict.Kind));
    format.setProperty(PictureHeader, FPictHeader);
    format.setProperty(PictureGoalWidth, goalWidth);
    format.setProperty(PictureGoalHeight, goalHeight);
    format.setProperty(PictureScaleX, scaleX);
    format.setProperty(PictureScaleY, scaleY);
    format.setProperty(PictureOrdinal, FPictOrdinal);
    Flush();
    Prepare(true);
    FCursor.insertImage(format);
    FLastImage = FCursor.position() - 1;
    ++FImagesShown;
    FParagraphHasContent = true;
    FJustLeftTable = false;
    NoteContent();
}

} // namespace RtfReading
