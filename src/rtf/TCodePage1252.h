#pragma once

#include <QByteArray>
#include <QString>
#include <string>

// Conversion between Windows-1252 bytes and UTF-16, as the window system converts: the five
// bytes that 1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the control characters
// of the same number, and a character that 1252 cannot hold becomes "?".
class TCodePage1252
{
public:
    // The character of one byte.
    static char16_t ToUnicode(unsigned char byte);
    // The byte of one character, or -1 when 1252 has no byte for it.
    static int FromUnicode(char16_t character);

    static QString ToUnicode(const QByteArray &bytes);
    static QString ToUnicode(const char *bytes, qsizetype length);
    static QString ToUnicode(const std::string &bytes);
    static QByteArray FromUnicode(const QString &text);
    static std::string FromUnicodeStd(const QString &text);
};
