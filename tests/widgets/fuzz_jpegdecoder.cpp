// Feeds arbitrary bytes to the JPEG decoder of the open dialog's picture preview.
#include "widgets/JpegDecoder.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QImage image =
        DecodeJpeg(QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)));
    if (!image.isNull() && (image.width() <= 0 || image.height() <= 0))
        __builtin_trap();
    return 0;
}
