#include "rtf/TTextFileCodec.h"

#include "rtf/TCodePage1252.h"
#include "text/TextFileDecoding.h"

#include <string_view>

QString TTextFileCodec::Decode(const QByteArray &bytes)
{
    const std::u16string text =
        DecodeTextFile(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    // Not QString::fromUtf16, which would take a leading U+FFFE for a byte order mark.
    return QString(reinterpret_cast<const QChar *>(text.data()),
                   static_cast<qsizetype>(text.size()));
}

QByteArray TTextFileCodec::Encode(const QString &text)
{
    const QByteArray ansi = TCodePage1252::FromUnicode(text);
    if (Decode(ansi) == text)
        return ansi;
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}
