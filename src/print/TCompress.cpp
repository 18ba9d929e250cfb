#include "print/TCompress.h"

#include <QFile>
#include <QFileInfo>

#include <stdexcept>
#include <zlib.h>

void TCompress::CompressFile(const QString &source, const QString &destination)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        throw std::runtime_error(QStringLiteral("Cannot open file \"%1\". %2")
                                     .arg(source, in.errorString())
                                     .toStdString());
    QFile out(destination);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw std::runtime_error(QStringLiteral("Cannot create file \"%1\". %2")
                                     .arg(destination, out.errorString())
                                     .toStdString());
    z_stream zs{};
    if (deflateInit(&zs, Z_BEST_SPEED) != Z_OK)
        throw std::runtime_error("Compression could not start.");
    char inBuffer[BufferSize];
    unsigned char outBuffer[BufferSize];
    bool ok = true;
    int flush = Z_NO_FLUSH;
    do {
        const qint64 got = in.read(inBuffer, BufferSize);
        if (got < 0) {
            ok = false;
            break;
        }
        flush = in.atEnd() || got == 0 ? Z_FINISH : Z_NO_FLUSH;
        zs.next_in = reinterpret_cast<Bytef *>(inBuffer);
        zs.avail_in = uInt(got);
        do {
            zs.next_out = outBuffer;
            zs.avail_out = BufferSize;
            deflate(&zs, flush);
            const qint64 have = BufferSize - zs.avail_out;
            if (have > 0 && out.write(reinterpret_cast<const char *>(outBuffer), have) != have)
                ok = false;
        } while (zs.avail_out == 0 && ok);
    } while (flush != Z_FINISH && ok);
    deflateEnd(&zs);
    if (!ok || !out.flush()) {
        // The reason first: removing the half-written file resets it. Only a file is removed:
        // a device written to stays.
        const QString reason = out.errorString();
        if (QFileInfo(destination).isFile())
            out.remove();
        throw std::runtime_error(
            QStringLiteral("Cannot write file \"%1\": %2.").arg(destination, reason).toStdString());
    }
}

bool TCompress::DecompressFile(const QString &source, const QString &destination)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    QFile out(destination);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    z_stream zs{};
    if (inflateInit(&zs) != Z_OK)
        return false;
    char inBuffer[BufferSize];
    unsigned char outBuffer[BufferSize];
    int status = Z_OK;
    bool ok = true;
    while (ok && status != Z_STREAM_END) {
        const qint64 got = in.read(inBuffer, BufferSize);
        if (got <= 0)
            break; // the stream ended early
        zs.next_in = reinterpret_cast<Bytef *>(inBuffer);
        zs.avail_in = uInt(got);
        do {
            zs.next_out = outBuffer;
            zs.avail_out = BufferSize;
            status = inflate(&zs, Z_NO_FLUSH);
            if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR) {
                ok = false;
                break;
            }
            const qint64 have = BufferSize - zs.avail_out;
            if (have > 0 && out.write(reinterpret_cast<const char *>(outBuffer), have) != have)
                ok = false;
        } while (ok && zs.avail_out == 0 && status != Z_STREAM_END);
    }
    inflateEnd(&zs);
    ok = ok && status == Z_STREAM_END && out.flush();
    if (!ok)
        out.remove();
    return ok;
}
