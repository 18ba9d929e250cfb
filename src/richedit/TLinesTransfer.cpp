#include "richedit/TLinesTransfer.h"

#include "richedit/EFileStreamError.h"
#include "richedit/EOutOfResources.h"
#include "richedit/TConversion.h"
#include "richedit/TConversionRegistry.h"
#include "richedit/TEditStream.h"
#include "richedit/TFileSaver.h"
#include "richedit/TRichEditLinesHost.h"
#include "richedit/TRichEditOle.h"
#include "rtf/TTextFileCodec.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTextEdit>

#include <algorithm>

namespace {
using namespace TStreamFormat;

constexpr qint64 StreamChunk = 4096;

// 8-bit plain text: what a text file holds.
bool IsAnsiText(unsigned format)
{
    const unsigned kind = format & 0x0F;
    return (kind == SF_TEXT || kind == SF_TEXTIZED) && !(format & SF_UNICODE);
}

std::string NativeName(const QString &fileName)
{
    return QDir::toNativeSeparators(fileName).toStdString();
}
} // namespace

TLinesTransfer::TLinesTransfer(TRichEditLinesHost &host) : FHost(host) {}

TLinesTransfer::~TLinesTransfer() = default;

void TLinesTransfer::BeginBatch()
{
    if (FUpdateCount++ == 0)
        FHost.SetRedraw(false);
}

void TLinesTransfer::EndBatch()
{
    if (FUpdateCount == 0)
        return;
    if (--FUpdateCount == 0) {
        FHost.SetRedraw(true);
        FHost.Editor().viewport()->update();
        FHost.LinesChanged();
    }
}

TConversion &TLinesTransfer::ActiveConversion(std::unique_ptr<TConversion> &temporary)
{
    if (FConversion)
        return *FConversion;
    temporary = std::make_unique<TConversion>();
    return *temporary;
}

void TLinesTransfer::LoadStream(QIODevice &stream)
{
    std::unique_ptr<TConversion> temporary;
    TConversion &conversion = ActiveConversion(temporary);
    const qint64 start = stream.pos();
    // What the first pass read, for a second pass over a stream that cannot go back; one that
    // can goes back instead, and a copy of a document of megabytes costs more than reading it.
    QByteArray replay;
    const bool keepReplay = stream.isSequential();
    qint64 replayed = -1;

    TEditStream transfer;
    transfer.Callback = [&](char *buffer, qint64 count, qint64 &done) -> int {
        done = 0;
        try {
            FHost.LoadProgress(stream.pos(), stream.size());
            if (replayed >= 0 && replayed < replay.size()) {
                done = std::min<qint64>(count, replay.size() - replayed);
                std::copy_n(replay.constData() + replayed, done, buffer);
                replayed += done;
                return 0;
            }
            done = conversion.ConvertReadStream(stream, buffer, count);
            if (done < 0) {
                done = 0;
                return 1;
            }
            if (replayed < 0 && keepReplay)
                replay.append(buffer, done);
            return 0;
        } catch (...) {
            done = 0;
            return 1;
        }
    };

    const unsigned format = FHost.LoadFormat();
    if (IsAnsiText(format)) {
        StreamInPlainText(transfer, format);
        return;
    }
    FHost.StreamIn(format, transfer);
    if ((format & 0x0F) == SF_RTF && transfer.Error != 0) {
        // Not rich text after all: the same bytes again as plain text.
        if (stream.isSequential() || !stream.seek(start))
            replayed = 0;
        else
            replay.clear();
        if (StreamInPlainText(transfer, SF_TEXT | (format & (SFF_SELECTION | SFF_PLAINRTF))) != 0)
            throw EOutOfResources("Failed to Load Stream");
    }
}

int TLinesTransfer::StreamInPlainText(TEditStream &transfer, unsigned format)
{
    QByteArray bytes;
    QByteArray chunk(StreamChunk, Qt::Uninitialized);
    for (;;) {
        qint64 done = 0;
        transfer.Error = transfer.Callback(chunk.data(), StreamChunk, done);
        if (transfer.Error != 0)
            return transfer.Error;
        if (done <= 0)
            break;
        bytes.append(chunk.constData(), std::min(done, StreamChunk));
    }
    // The control takes the decoded text as UTF-16.
    QStringEncoder toWide(QStringConverter::Utf16LE);
    transfer.Error =
        FHost.StreamInBytes(toWide(TTextFileCodec::Decode(bytes)), format | SF_UNICODE);
    return transfer.Error;
}

void TLinesTransfer::SaveStream(QIODevice &stream)
{
    SaveStream(stream, FHost.OutputFormat());
}

void TLinesTransfer::SaveStream(QIODevice &stream, TOutputFormat outputFormat)
{
    std::unique_ptr<TConversion> temporary;
    TConversion &conversion = ActiveConversion(temporary);
    TEditStream transfer;
    transfer.Callback = [&](char *buffer, qint64 count, qint64 &done) -> int {
        done = 0;
        try {
            done = conversion.ConvertWriteStream(stream, buffer, count);
            FHost.SaveProgress(stream.pos(), stream.size());
            return 0;
        } catch (...) {
            return 2;
        }
    };
    const unsigned format = FHost.SaveFormat(outputFormat);
    if (IsAnsiText(format))
        StreamOutPlainText(transfer, format);
    else
        FHost.StreamOut(format, transfer);
    if (transfer.Error != 0)
        throw EOutOfResources("Failed to Save Stream");
}

void TLinesTransfer::StreamOutPlainText(TEditStream &transfer, unsigned format)
{
    QStringDecoder fromWide(QStringConverter::Utf16LE);
    QString text = fromWide(FHost.StreamOutBytes(format | SF_UNICODE));
    // An embedded object has no place in a text file.
    text.remove(QChar::ObjectReplacementCharacter);
    QByteArray bytes = TTextFileCodec::Encode(text);
    for (qint64 offset = 0; offset < bytes.size() && transfer.Error == 0;) {
        const qint64 count = std::min(StreamChunk, bytes.size() - offset);
        qint64 done = 0;
        transfer.Error = transfer.Callback(bytes.data() + offset, count, done);
        if (transfer.Error == 0 && done != count)
            transfer.Error = 2;
        offset += count;
    }
}

void TLinesTransfer::LoadFile(const QString &fileName)
{
    FConversion = TConversionRegistry::Create(TConversionRegistry::ExtensionOf(fileName));
    try {
        QFile file(fileName);
        if (!file.open(QIODevice::ReadOnly))
            throw EFileStreamError("Cannot open file " + NativeName(fileName));
        LoadStream(file);
        // Relative links of its objects belong to the document's folder.
        if (TRichEditOle *objects = FHost.Ole())
            objects->DocumentFolder = QFileInfo(fileName).absolutePath();
    } catch (...) {
        FConversion.reset();
        throw;
    }
}

void TLinesTransfer::SaveFile(const QString &fileName)
{
    SaveFile(fileName, FHost.OutputFormat());
}

void TLinesTransfer::SaveFile(const QString &fileName, TOutputFormat format)
{
    FConversion = TConversionRegistry::Create(TConversionRegistry::ExtensionOf(fileName));
    try {
        // The whole content first: the file is touched only once it is complete.
        QBuffer content;
        content.open(QIODevice::WriteOnly);
        SaveStream(content, format);
        TFileSaver::Save(fileName, content.data());
    } catch (...) {
        FConversion.reset();
        throw;
    }
}
