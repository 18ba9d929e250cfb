#pragma once

#include <QtGlobal>

class QIODevice;

// Moves the bytes of a stream transfer between a stream and the rich text control. The base
// class passes them through unchanged; a conversion for another file format derives from it.
class TConversion
{
public:
    virtual ~TConversion() = default;

    // Reads up to count bytes of the stream into buffer; returns how many came (0 at the end).
    // A failure throws.
    virtual qint64 ConvertReadStream(QIODevice &stream, char *buffer, qint64 count);
    // Writes count bytes of buffer to the stream; returns how many were written. A failure
    // throws.
    virtual qint64 ConvertWriteStream(QIODevice &stream, const char *buffer, qint64 count);
};
