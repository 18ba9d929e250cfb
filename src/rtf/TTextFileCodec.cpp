#include "rtf/TTextFileCodec.h"

#include "rtf/TCodePage1252.h"

#include <QStringDecoder>

namespace {
const QByteArray Utf8Bom("\xEF\xBB\xBF");

// The text of UTF-8 bytes, or a null string when they are not valid UTF-8.
QString FromUtf8(QByteArrayView bytes)
{
    // A second byte order mark is a character of the text.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return QString();
    if (text.isNull())
        text = QLatin1String("");
    return text;
}
} // namespace

QString TTextFileCodec::Decode(const QByteArray &bytes)
{
    const QByteArrayView view(bytes);
    // What many editors save as "Unicode": UTF-16 with its byte order mark.
    if (view.startsWith("\xFF\xFE") || view.startsWith("\xFE\xFF")) {
        QStringDecoder decoder(view.startsWith("\xFF\xFE") ? QStringDecoder::Utf16LE
                                                             : QStringDecoder::Utf16BE);
        return decoder.decode(view.sliced(2));
    }
    const QString utf8 = FromUtf8(view.startsWith(Utf8Bom) ? view.sliced(Utf8Bom.size()) : view);
    return utf8.isNull() ? TCodePage1252::ToUnicode(bytes) : utf8;
}

QByteArray TTextFileCodec::Encode(const QString &text)
{
    const QByteArray ansi = TCodePage1252::FromUnicode(text);
    if (Decode(ansi) == text)
        return ansi;
    return Utf8Bom + text.toUtf8();
}
