#include "rtf/TRtfWriterOutput.h"

#include "rtf/TCodePage1252.h"

void TRtfWriterOutput::Word(const char *word)
{
    FBytes += word;
    FDelimit = true;
}

void TRtfWriterOutput::Word(const char *word, int value)
{
    FBytes += word;
    FBytes += QByteArray::number(value);
    FDelimit = true;
}

void TRtfWriterOutput::Closed(const QByteArray &bytes)
{
    FBytes += bytes;
    FDelimit = false;
}

void TRtfWriterOutput::Append(const QByteArray &bytes, bool delimit)
{
    FBytes += bytes;
    FDelimit = delimit;
}

void TRtfWriterOutput::Escape(unsigned char byte)
{
    static const char Hex[] = "0123456789abcdef";
    FBytes += "\\'";
    FBytes += Hex[byte >> 4];
    FBytes += Hex[byte & 15];
    FDelimit = false;
}

void TRtfWriterOutput::Character(char16_t c)
{
    switch (c) {
    case u'\\':
    case u'{':
    case u'}':
        FBytes += '\\';
        FBytes += static_cast<char>(c);
        FDelimit = false;
        return;
    case u'\t':
        Word("\\tab");
        return;
    case 0x2028:
        Word("\\line");
        return;
    case 0x000C:
        Word("\\page");
        return;
    case QChar::ObjectReplacementCharacter:
    case 0xFDD0: // frame boundaries of tables
    case 0xFDD1:
        return;
    default:
        break;
    }
    if (c < 0x20)
        return;
    if (c < 0x80) {
        if (FDelimit)
            FBytes += ' ';
        FBytes += static_cast<char>(c);
        FDelimit = false;
        return;
    }
    const int byte = TCodePage1252::FromUnicode(c);
    if (byte >= 0) {
        Escape(static_cast<unsigned char>(byte));
        return;
    }
    FBytes += "\\u";
    FBytes += QByteArray::number(static_cast<int>(static_cast<int16_t>(c)));
    FBytes += '?';
    FDelimit = false;
}

void TRtfWriterOutput::Text(const QString &text, int from, int length)
{
    const QChar *chars = text.constData() + from;
    int i = 0;
    while (i < length) {
        // Plain ASCII goes out in one piece; everything else one character at a time.
        int end = i;
        while (end < length) {
            const char16_t c = chars[end].unicode();
            if (c < 0x20 || c >= 0x80 || c == u'\\' || c == u'{' || c == u'}')
                break;
            ++end;
        }
        if (end > i) {
            if (FDelimit)
                FBytes += ' ';
            FDelimit = false;
            const qsizetype old = FBytes.size();
            FBytes.resize(old + (end - i));
            char *out = FBytes.data() + old;
            for (int k = i; k < end; ++k)
                *out++ = static_cast<char>(chars[k].unicode());
            i = end;
            continue;
        }
        Character(chars[i].unicode());
        ++i;
    }
}
