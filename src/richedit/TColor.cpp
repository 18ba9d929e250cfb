#include "richedit/TColor.h"

#include <QApplication>
#include <QColor>
#include <QPalette>

namespace {
QPalette::ColorRole RoleOfSystemColor(quint32 index)
{
    switch (index) {
    case 5: // window
        return QPalette::Base;
    case 8: // window text
        return QPalette::Text;
    case 13:
        return QPalette::Highlight;
    case 14:
        return QPalette::HighlightedText;
    case 18: // button text
        return QPalette::ButtonText;
    case 23: // info text
        return QPalette::ToolTipText;
    case 24: // info background
        return QPalette::ToolTipBase;
    case 15: // button face
        return QPalette::Button;
    default:
        return QPalette::Window;
    }
}
} // namespace

namespace TColors {

TColor ColorToRGB(TColor color)
{
    if ((color & 0xFF000000u) == 0x80000000u) {
        const QPalette palette = QApplication::palette();
        return FromQColor(palette.color(RoleOfSystemColor(color & 0xFFu)));
    }
    return color & 0x00FFFFFFu;
}

QColor ToQColor(TColor color)
{
    const TColor rgb = ColorToRGB(color);
    return QColor(int(rgb & 0xFF), int((rgb >> 8) & 0xFF), int((rgb >> 16) & 0xFF));
}

TColor FromQColor(const QColor &color)
{
    const QColor c = color.toRgb();
    return TColor(c.red()) | (TColor(c.green()) << 8) | (TColor(c.blue()) << 16);
}

} // namespace TColors
