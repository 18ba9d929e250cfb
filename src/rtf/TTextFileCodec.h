#pragma once

#include <QByteArray>
#include <QString>

// The bytes of a plain text file and the text they hold, read as DecodeTextFile reads them. A
// text is written in code page 1252 when that reads back as the same text, otherwise as UTF-8
// with a byte order mark, so that a save and a load never change it.
class TTextFileCodec
{
public:
    static QString Decode(const QByteArray &bytes);
    static QByteArray Encode(const QString &text);
};
