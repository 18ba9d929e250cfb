#include "rtf/TRichEditOleObject.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QIcon>
#include <QImageReader>
#include <QMimeDatabase>
#include <QPainter>
#include <QTextDocument>
#include <QUrl>

#include <algorithm>
#include <stdexcept>

namespace {

// Properties of the object in its picture format.
constexpr int PropertyKind = QTextFormat::UserProperty + 0x0B10;
constexpr int PropertyClass = PropertyKind + 1;
constexpr int PropertyFile = PropertyKind + 2;
constexpr int PropertyData = PropertyKind + 3;
constexpr int PropertyIcon = PropertyKind + 4;
constexpr int PropertyId = PropertyKind + 5;

QImage IconPicture(const QString &fileName, const QString &className)
{
    const QString label =
        QFileInfo(fileName).fileName().isEmpty() ? className : QFileInfo(fileName).fileName();
    QFont font;
    font.setPixelSize(11);
    const QFontMetrics metrics(font);
    constexpr int IconSize = 32;
    const int width = std::max(IconSize + 8, std::min(200, metrics.horizontalAdvance(label) + 8));
    QImage image(width, IconSize + metrics.height() + 8, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    QIcon icon = QIcon::fromTheme(QMimeDatabase().mimeTypeForName(className).iconName());
    if (icon.isNull())
        icon = QIcon::fromTheme(QStringLiteral("text-x-generic"));
    const QRect iconRect((width - IconSize) / 2, 2, IconSize, IconSize);
    if (!icon.isNull()) {
        icon.paint(&painter, iconRect);
    } else {
        // A page with a folded corner when the desktop has no icon theme.
        painter.setPen(Qt::black);
        painter.setBrush(QColor(0xF0, 0xF0, 0xF0));
        painter.drawRect(iconRect.adjusted(4, 0, -4, -1));
        painter.drawLine(iconRect.right() - 12, iconRect.top(), iconRect.right() - 4,
                         iconRect.top() + 8);
    }
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QRect(0, IconSize + 4, width, metrics.height() + 2), Qt::AlignHCenter,
                     metrics.elidedText(label, Qt::ElideMiddle, width - 4));
    return image;
}

} // namespace

TRichEditOleObject TRichEditOleObject::FromFile(const QString &fileName, TKind kind,
                                                bool displayAsIcon)
{
    TRichEditOleObject object;
    object.FKind = kind;
    object.SetFileName(QFileInfo(fileName).absoluteFilePath());
    object.FDisplayAsIcon = displayAsIcon;
    object.FClassName = QMimeDatabase().mimeTypeForFile(fileName).name();
    if (kind == TKind::Embedded) {
        QFile file(fileName);
        if (!file.open(QIODevice::ReadOnly))
            throw std::runtime_error(QStringLiteral("Cannot open file \"%1\". %2")
                                         .arg(fileName, file.errorString())
                                         .toStdString());
        object.FData = file.readAll();
    } else if (!QFileInfo::exists(fileName)) {
        throw std::runtime_error(
            QStringLiteral("File \"%1\" not found.").arg(fileName).toStdString());
    }
    return object;
}

bool TRichEditOleObject::IsObjectFormat(const QTextFormat &format)
{
    return format.hasProperty(PropertyKind);
}

TRichEditOleObject TRichEditOleObject::FromFormat(const QTextFormat &format)
{
    TRichEditOleObject object;
    object.FKind = format.intProperty(PropertyKind) == 1 ? TKind::Linked : TKind::Embedded;
    object.FClassName = format.stringProperty(PropertyClass);
    object.SetFileName(format.stringProperty(PropertyFile));
    object.FData = format.property(PropertyData).toByteArray();
    object.FDisplayAsIcon = format.boolProperty(PropertyIcon);
    object.FId = format.intProperty(PropertyId);
    return object;
}

void TRichEditOleObject::SetFormatId(QTextFormat &format, int id)
{
    format.setProperty(PropertyId, id);
}

QTextImageFormat TRichEditOleObject::ToFormat(QTextDocument &document) const
{
    const QImage picture = Presentation();
    int serial = 0;
    QUrl name;
    do
        name = QUrl(QStringLiteral("oleobject:%1").arg(++serial));
    while (document.resource(QTextDocument::ImageResource, name).isValid());
    document.addResource(QTextDocument::ImageResource, name, picture);
    QTextImageFormat format;
    format.setName(name.toString());
    const QSizeF size = DisplaySize(picture.size());
    format.setWidth(size.width());
    format.setHeight(size.height());
    ApplyTo(format);
    return format;
}

QSizeF TRichEditOleObject::DisplaySize(const QSize &picture)
{
    constexpr qreal MaxWidth = 6 * 96;
    constexpr qreal MaxHeight = 8 * 96;
    const QSizeF size(std::max(1, picture.width()), std::max(1, picture.height()));
    if (size.width() <= MaxWidth && size.height() <= MaxHeight)
        return size;
    return size.scaled(MaxWidth, MaxHeight, Qt::KeepAspectRatio);
}

void TRichEditOleObject::SetFileName(const QString &name)
{
    if (FKind == TKind::Linked) {
        FFileName = name;
        return;
    }
    // The name after the last folder separator, of this system's or another's.
    const qsizetype slash =
        std::max(name.lastIndexOf(QLatin1Char('/')), name.lastIndexOf(QLatin1Char('\\')));
    FFileName = name.mid(slash + 1);
}

void TRichEditOleObject::ApplyTo(QTextFormat &format) const
{
    format.setProperty(PropertyKind, FKind == TKind::Linked ? 1 : 0);
    format.setProperty(PropertyClass, FClassName);
    format.setProperty(PropertyFile, FFileName);
    format.setProperty(PropertyData, FData);
    format.setProperty(PropertyIcon, FDisplayAsIcon);
    format.setProperty(PropertyId, FId);
}

QByteArray TRichEditOleObject::Content() const
{
    if (FKind == TKind::Embedded)
        return FData;
    // A document can link anything: only a regular file of sensible size is read (a link to
    // /dev/zero would never end), and a relative name is not read against the program's
    // folder.
    constexpr qint64 MaxLinkedSize = 64 * 1024 * 1024;
    const QFileInfo info(FFileName);
    if (info.isRelative() || !info.isFile() || info.size() > MaxLinkedSize)
        return {};
    QFile file(FFileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.read(MaxLinkedSize);
}

QImage TRichEditOleObject::Presentation() const
{
    if (!FDisplayAsIcon) {
        QByteArray content = Content();
        QBuffer buffer(&content);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer);
        // Refuse pictures too large to show rather than allocate for them.
        reader.setAllocationLimit(64);
        const QImage image = reader.read();
        if (!image.isNull())
            return image;
    }
    return IconPicture(FFileName, FClassName);
}
