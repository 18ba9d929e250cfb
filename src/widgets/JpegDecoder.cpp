#include "widgets/JpegDecoder.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace {

// Pictures larger than this are not decoded (a preview has no use for them and a forged
// header must not make us allocate gigabytes).
constexpr JDIMENSION MaxSide = 20000;
constexpr unsigned long long MaxPixels = 100ull * 1000 * 1000;
// Larger pictures are decoded at a half, a quarter or an eighth of their size: a preview shows
// no more, and a few hundred bytes that claim tens of millions of pixels cost milliseconds,
// not seconds.
constexpr JDIMENSION PreviewSide = 2048;

// The smallest of libjpeg's scales that keeps the longer side at PreviewSide or more.
unsigned int ScaleDenominator(const jpeg_decompress_struct &info)
{
    const JDIMENSION longer = std::max(info.image_width, info.image_height);
    unsigned int denominator = 1;
    while (denominator < 8 && longer / (denominator * 2) >= PreviewSide)
        denominator *= 2;
    return denominator;
}

struct ErrorManager
{
    jpeg_error_mgr Base;
    std::jmp_buf Jump;
};

[[noreturn]] void OnError(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<ErrorManager *>(info->err)->Jump, 1);
}

void OnMessage(j_common_ptr, int) {}

// Runs the decompression; no C++ object with a destructor lives in this frame, so leaving it
// with longjmp is safe.
bool Decode(jpeg_decompress_struct &info, ErrorManager &errors, const QByteArray &data,
            QImage &image)
{
    if (setjmp(errors.Jump))
        return false;
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char *>(data.constData()),
                 static_cast<unsigned long>(data.size()));
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK)
        return false;
    if (info.image_width == 0 || info.image_height == 0 || info.image_width > MaxSide ||
        info.image_height > MaxSide ||
        static_cast<unsigned long long>(info.image_width) * info.image_height > MaxPixels)
        return false;
    // CMYK pictures come out inverted from most writers; everything else is converted to RGB.
    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    info.scale_num = 1;
    info.scale_denom = ScaleDenominator(info);
    jpeg_start_decompress(&info);
    image = QImage(int(info.output_width), int(info.output_height), QImage::Format_RGB32);
    if (image.isNull())
        return false;
    const int components = info.output_components;
    if ((cmyk && components != 4) || (!cmyk && components != 3))
        return false;
    image.fill(Qt::white);
    JSAMPLE *row = static_cast<JSAMPLE *>(
        (*info.mem->alloc_small)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                 static_cast<size_t>(info.output_width) * components));
    while (info.output_scanline < info.output_height) {
        const int y = int(info.output_scanline);
        JSAMPROW rows[1] = {row};
        if (jpeg_read_scanlines(&info, rows, 1) != 1)
            break;
        auto *out = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (JDIMENSION x = 0; x < info.output_width; ++x) {
            const JSAMPLE *p = row + x * components;
            if (cmyk) {
                const int k = p[3];
                out[x] = qRgb(p[0] * k / 255, p[1] * k / 255, p[2] * k / 255);
            } else {
                out[x] = qRgb(p[0], p[1], p[2]);
            }
        }
    }
    jpeg_finish_decompress(&info);
    return true;
}

} // namespace

QImage DecodeJpeg(const QByteArray &data)
{
    if (data.isEmpty())
        return QImage();
    jpeg_decompress_struct info{};
    ErrorManager errors{};
    info.err = jpeg_std_error(&errors.Base);
    errors.Base.error_exit = OnError;
    errors.Base.emit_message = OnMessage;
    QImage image;
    const bool ok = Decode(info, errors, data, image);
    jpeg_destroy_decompress(&info);
    return ok ? image : QImage();
}
