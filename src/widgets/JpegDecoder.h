#pragma once

#include <QByteArray>
#include <QImage>

// Decodes a JPEG picture with libjpeg. Any fault in the data gives a null image; nothing is
// printed and the process never exits.
QImage DecodeJpeg(const QByteArray &data);
