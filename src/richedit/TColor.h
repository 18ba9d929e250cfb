#pragma once

#include <QtGlobal>

class QColor;

// Colours as the program stores them: 0x00BBGGRR, or a system colour 0x800000nn.
using TColor = quint32;
namespace TColors {
constexpr TColor clBlack = 0x000000;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clWindow = 0x80000005;
constexpr TColor clWindowText = 0x80000008;
// The RGB value of a colour, system colours resolved through the application palette.
TColor ColorToRGB(TColor color);
QColor ToQColor(TColor color);
TColor FromQColor(const QColor &color);
} // namespace TColors
