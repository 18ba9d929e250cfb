#include "richedit/TConversion.h"

#include <QIODevice>

qint64 TConversion::ConvertReadStream(QIODevice &stream, char *buffer, qint64 count)
{
    return stream.read(buffer, count);
}

qint64 TConversion::ConvertWriteStream(QIODevice &stream, const char *buffer, qint64 count)
{
    return stream.write(buffer, count);
}
