#include "rtf/TCodePage1252.h"

#include <array>

namespace {

// The characters of the bytes 0x80 to 0x9F; the rest of 1252 equals Latin-1.
constexpr std::array<char16_t, 32> HighControlBlock = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

} // namespace

char16_t TCodePage1252::ToUnicode(unsigned char byte)
{
    if (byte >= 0x80 && byte < 0xA0)
        return HighControlBlock[byte - 0x80];
    return byte;
}

int TCodePage1252::FromUnicode(char16_t character)
{
    if (character < 0x80 || (character >= 0xA0 && character <= 0xFF))
        return character;
    for (std::size_t i = 0; i < HighControlBlock.size(); ++i) {
        if (HighControlBlock[i] == character)
            return static_cast<int>(0x80 + i);
    }
    return -1;
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
