#pragma once

#include <QByteArray>
#include <QImage>

// Decodes a JPEG picture with libjpeg for a preview: a picture over 4096 pixels on its longer
// side comes out at a half, a quarter or at most an eighth of its size, never under 2048
// pixels. Any fault in the data gives a null image; nothing is printed and the process never
// exits.
QImage DecodeJpeg(const QByteArray &data);
