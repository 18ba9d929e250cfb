#include "rtf/TCodePage1252.h"

#include "text/UnicodeText.h"

char16_t TCodePage1252::ToUnicode(unsigned char byte)
{
    return static_cast<char16_t>(CharOf1252(byte));
}

int TCodePage1252::FromUnicode(char16_t character)
{
    return ByteOf1252(character);
}

QString TCodePage1252::ToUnicode(const char *bytes, qsizetype length)
{
    QString text(length, Qt::Uninitialized);
    QChar *out = text.data();
    for (qsizetype i = 0; i < length; ++i)
        out[i] = QChar(ToUnicode(static_cast<unsigned char>(bytes[i])));
    return text;
}

QString TCodePage1252::ToUnicode(const QByteArray &bytes)
{
    return ToUnicode(bytes.constData(), bytes.size());
}

QString TCodePage1252::ToUnicode(const std::string &bytes)
{
    return ToUnicode(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

QByteArray TCodePage1252::FromUnicode(const QString &text)
{
    QByteArray bytes(text.size(), Qt::Uninitialized);
    char *out = bytes.data();
    qsizetype length = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        // A character outside the basic plane is one character, so one "?".
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        const int b = FromUnicode(c.unicode());
        out[length++] = b < 0 ? '?' : static_cast<char>(b);
    }
    bytes.truncate(length);
    return bytes;
}

std::string TCodePage1252::FromUnicodeStd(const QString &text)
{
    const QByteArray bytes = FromUnicode(text);
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}
