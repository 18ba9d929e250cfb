#include "app/BundledIcons.h"

#include <QFile>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace {
// Drawn for the tool bar's 16-pixel glyphs and for screens with twice the pixel density.
constexpr int IconSizes[] = {16, 32};
const QByteArray SwatchColour = QByteArrayLiteral("#000000");

QByteArray IconSource(const QString &name)
{
    QFile file(QStringLiteral(":/icons/%1.svg").arg(name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QIcon RenderIcon(const QByteArray &source)
{
    QSvgRenderer renderer(source);
    if (!renderer.isValid())
        return {};
    QIcon icon;
    for (const int size : IconSizes) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        renderer.render(&painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}
} // namespace

QIcon BundledIcon(const QString &name)
{
    return RenderIcon(IconSource(name));
}

QIcon ColourIcon(const QColor &colour)
{
    QByteArray source = IconSource(QStringLiteral("colour"));
    source.replace(SwatchColour, colour.name().toLatin1());
    return RenderIcon(source);
}
