#include "richedit/TCustomRichEditEx.h"

#include "richedit/QuietScope.h"
#include "richedit/TRichEditStringsEx.h"
#include "richedit/TextBreaks.h"
#include "rtf/TRtfObjectIO.h"
#include "rtf/TRtfReader.h"
#include "rtf/TRtfWriter.h"

#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace {
using namespace TStreamFormat;

constexpr qint64 StreamChunk = 4096;
// dwError of a rich text load whose data is not rich text.
constexpr int ErrorNotRichText = -16;
// dwError of a write the callback did not take whole.
constexpr int ErrorShortWrite = -17;

QString DecodeUtf16LE(const QByteArray &data)
{
    QString text(data.size() / 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        text[i] = QChar(static_cast<char16_t>(static_cast<unsigned char>(data[2 * i]) |
                                              (static_cast<unsigned char>(data[2 * i + 1]) << 8)));
    return text;
}

QByteArray EncodeUtf16LE(const QString &text)
{
    QByteArray data(text.size() * 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text.at(i).unicode();
        data[2 * i] = static_cast<char>(unit & 0xFF);
        data[2 * i + 1] = static_cast<char>(unit >> 8);
    }
    return data;
}

// Paragraph breaks (CR in the control's ranges) written as CR LF, as plain-text saving does.
QString WithCrLf(const QString &text)
{
    QString out;
    out.reserve(text.size() + text.size() / 16);
    for (const QChar c : text) {
        out += c;
        if (c == QLatin1Char('\r'))
            out += QLatin1Char('\n');
    }
    return out;
}

} // namespace

// --- Streaming ---------------------------------------------------------------------------------

unsigned TCustomRichEditEx::LoadFormat() const
{
    unsigned format = SF_RTF;
    if (FInputFormat == TInputFormat::ifText)
        format = SF_TEXT;
    else if (FInputFormat == TInputFormat::ifUnicode)
        format = SF_TEXT | SF_UNICODE;
    if (FSelectedInOut)
        format |= SFF_SELECTION;
    if (FPlainRTF)
        format |= SFF_PLAINRTF;
    return format;
}

unsigned TCustomRichEditEx::SaveFormat(TOutputFormat outputFormat) const
{
    unsigned format = SF_RTF;
    switch (outputFormat) {
    case TOutputFormat::ofText:
        format = SF_TEXT;
        break;
    case TOutputFormat::ofRTF:
        format = SF_RTF;
        break;
    case TOutputFormat::ofRTFNoObjs:
        format = SF_RTFNOOBJS;
        break;
    case TOutputFormat::ofTextized:
        format = SF_TEXTIZED;
        break;
    case TOutputFormat::ofUnicode:
        format = SF_TEXT | SF_UNICODE;
        break;
    }
    if (FSelectedInOut)
        format |= SFF_SELECTION;
    if (FPlainRTF)
        format |= SFF_PLAINRTF;
    return format;
}

void TCustomRichEditEx::StreamIn(unsigned format, TEditStream &stream)
{
    stream.Error = 0;
    QByteArray data;
    QByteArray chunk(StreamChunk, Qt::Uninitialized);
    for (;;) {
        qint64 done = 0;
        const int answer = stream.Callback ? stream.Callback(chunk.data(), StreamChunk, done) : 0;
        if (answer != 0) {
            stream.Error = answer;
            return;
        }
        if (done <= 0)
            break;
        data.append(chunk.constData(), std::min(done, StreamChunk));
    }
    StreamInData(data, format, stream);
}

int TCustomRichEditEx::StreamInBytes(const QByteArray &data, unsigned format)
{
    TEditStream stream;
    qint64 offset = 0;
    stream.Callback = [&](char *buffer, qint64 count, qint64 &done) {
        done = std::min<qint64>(count, data.size() - offset);
        std::copy_n(data.constData() + offset, done, buffer);
        offset += done;
        return 0;
    };
    StreamIn(format, stream);
    return stream.Error;
}

void TCustomRichEditEx::StreamInData(const QByteArray &data, unsigned format, TEditStream &stream)
{
    const unsigned kind = format & 0x0F;
    const bool rich = kind == SF_RTF || kind == SF_RTFNOOBJS;
    if (rich && !TRtfReader::IsRtf(data)) {
        stream.Error = ErrorNotRichText;
        return;
    }
    auto fill = [&](QTextCursor &cursor) {
        if (rich) {
            const int from = cursor.selectionStart();
            TRtfReader::Read(data, cursor);
            TRtfObjectIO::AttachObjects(data, *document(), from, cursor.position());
            return;
        }
        const QString text = (format & SF_UNICODE)
                                 ? DecodeUtf16LE(data)
                                 : ToWide(std::string(data.constData(), data.size()));
        InsertPlainText(cursor, NormalizeBreaks(text));
    };

    if ((format & SFF_SELECTION) || FInsertMode) {
        QTextCursor cursor = textCursor();
        {
            QuietScope quiet(FQuietDepth);
            const int start = cursor.selectionStart();
            const int before = TextLength() - (cursor.selectionEnd() - start);
            cursor.beginEditBlock();
            fill(cursor);
            if (FMaxLength > 0 && TextLength() > FMaxLength) {
                // Keep what fits of the inserted text.
                const int end = cursor.position();
                const int keep = std::max(0, FMaxLength - before);
                QTextCursor excess(document());
                excess.setPosition(std::min(end, start + keep));
                excess.setPosition(end, QTextCursor::KeepAnchor);
                excess.removeSelectedText();
            }
            cursor.endEditBlock();
            setTextCursor(cursor);
        }
        ++FGeneration;
        FModified = true;
        FireChange();
        SelectionChanged();
    } else {
        ReplaceWhole(fill);
    }
    AfterStreamIn();
}

void TCustomRichEditEx::StreamOut(unsigned format, TEditStream &stream)
{
    stream.Error = 0;
    int from = 0;
    int to = -1;
    if (format & SFF_SELECTION) {
        const QTextCursor cursor = textCursor();
        from = cursor.selectionStart();
        to = cursor.selectionEnd();
    }
    const unsigned kind = format & 0x0F;
    QByteArray data;
    if (kind == SF_RTF || kind == SF_RTFNOOBJS) {
        TRtfWriter::Options options;
        options.PlainRTF = format & SFF_PLAINRTF;
        options.Language = FLanguage;
        data = TRtfWriter::Write(*document(), from, to, options);
    } else {
        const QString text = WithCrLf(WideTextRange(from, to));
        if (format & SF_UNICODE)
            data = EncodeUtf16LE(text);
        else
            data = QByteArray::fromStdString(ToAnsi(text));
    }
    for (qint64 offset = 0; offset < data.size();) {
        const qint64 count = std::min<qint64>(StreamChunk, data.size() - offset);
        qint64 done = 0;
        const int answer = stream.Callback ? stream.Callback(data.data() + offset, count, done) : 0;
        if (answer != 0) {
            stream.Error = answer;
            return;
        }
        if (done != count) {
            stream.Error = ErrorShortWrite;
            return;
        }
        offset += count;
    }
}

QByteArray TCustomRichEditEx::StreamOutBytes(unsigned format)
{
    QByteArray out;
    TEditStream stream;
    stream.Callback = [&](char *buffer, qint64 count, qint64 &done) {
        out.append(buffer, count);
        done = count;
        return 0;
    };
    StreamOut(format, stream);
    return out;
}

void TCustomRichEditEx::InsertFromFile(const QString &FileName)
{
    FInsertMode = true;
    try {
        FLines->LoadFile(FileName);
    } catch (...) {
        FInsertMode = false;
        throw;
    }
    FInsertMode = false;
}
