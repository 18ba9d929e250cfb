#pragma once

#include <QByteArray>
#include <QString>

// The bytes of a plain text file and the text they hold. A file that starts with a UTF-16 byte
// order mark (either order) reads as UTF-16. Otherwise it reads as UTF-8 when its bytes
// are valid UTF-8 (after a byte order mark, if there is one), otherwise as code page 1252,
// which takes any bytes. A text is written in code page 1252 when that reads back as the same
// text, otherwise as UTF-8 with a byte order mark, so that a save and a load never change it.
class TTextFileCodec
{
public:
    static QString Decode(const QByteArray &bytes);
    static QByteArray Encode(const QString &text);
};
