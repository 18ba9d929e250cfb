#include "richedit/TRichEditStringsEx.h"

#include "richedit/EFileStreamError.h"
#include "richedit/EOutOfResources.h"
#include "richedit/TConversion.h"
#include "richedit/TConversionRegistry.h"
#include "richedit/TCustomRichEditEx.h"
#include "richedit/TWideRichEditStringsEx.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStringList>

#include <algorithm>

namespace {
using namespace TStreamFormat;

std::string NativeName(const QString &fileName)
{
    return QDir::toNativeSeparators(fileName).toStdString();
}
} // namespace

TRichEditStringsEx::TRichEditStringsEx(TCustomRichEditEx &owner) : FOwner(owner) {}

TRichEditStringsEx::~TRichEditStringsEx() = default;

int TRichEditStringsEx::LineCount() const
{
    return FOwner.WideLines().LineCount();
}

std::string TRichEditStringsEx::LineAt(int i) const
{
    return FOwner.ToAnsi(FOwner.WideLines().LineAt(i));
}

void TRichEditStringsEx::ReplaceLine(int i, const std::string &s)
{
    FOwner.WideLines().ReplaceLine(i, FOwner.ToWide(s));
}

void TRichEditStringsEx::InsertLine(int i, const std::string &s)
{
    FOwner.WideLines().InsertLine(i, FOwner.ToWide(s));
}

void TRichEditStringsEx::AppendLine(const std::string &s)
{
    InsertLine(LineCount(), s);
}

void TRichEditStringsEx::DeleteLine(int i)
{
    FOwner.WideLines().DeleteLine(i);
}

void TRichEditStringsEx::ClearLines()
{
    FOwner.ClearDocument();
}

std::string TRichEditStringsEx::AllText() const
{
    return FOwner.ToAnsi(FOwner.WideLines().AllText());
}

void TRichEditStringsEx::SetAllText(const std::string &s)
{
    FOwner.WideLines().SetAllText(FOwner.ToWide(s));
}

void TRichEditStringsEx::AppendLines(const std::vector<std::string> &lines)
{
    QStringList wide;
    wide.reserve(static_cast<qsizetype>(lines.size()));
    for (const std::string &line : lines)
        wide.append(FOwner.ToWide(line));
    FOwner.WideLines().AppendLines(wide);
}

void TRichEditStringsEx::BeginBatch()
{
    if (FOwner.FUpdateCount++ == 0)
        FOwner.SetRedraw(false);
}

void TRichEditStringsEx::EndBatch()
{
    if (FOwner.FUpdateCount == 0)
        return;
    if (--FOwner.FUpdateCount == 0) {
        FOwner.SetRedraw(true);
        FOwner.viewport()->update();
        FOwner.TextChangedNotification();
    }
}

TConversion &TRichEditStringsEx::ActiveConversion(std::unique_ptr<TConversion> &temporary)
{
    if (FConversion)
        return *FConversion;
    temporary = std::make_unique<TConversion>();
    return *temporary;
}

void TRichEditStringsEx::LoadStream(QIODevice &stream)
{
    std::unique_ptr<TConversion> temporary;
    TConversion &conversion = ActiveConversion(temporary);
    const qint64 start = stream.pos();
    // What the first pass read, for a second pass over a stream that cannot go back.
    QByteArray replay;
    qint64 replayed = -1;

    TEditStream transfer;
    transfer.Callback = [&](char *buffer, qint64 count, qint64 &done) -> int {
        done = 0;
        try {
            if (FOwner.OnLoadProgress)
                FOwner.OnLoadProgress(&FOwner, stream.pos(), stream.size());
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
            if (replayed < 0)
                replay.append(buffer, done);
            return 0;
        } catch (...) {
            done = 0;
            return 1;
        }
    };

    const unsigned format = FOwner.LoadFormat();
    FOwner.StreamIn(format, transfer);
    if ((format & 0x0F) == SF_RTF && transfer.Error != 0) {
        // Not rich text after all: the same bytes again as plain text.
        if (stream.isSequential() || !stream.seek(start))
            replayed = 0;
        else
            replay.clear();
        FOwner.StreamIn(SF_TEXT | (format & (SFF_SELECTION | SFF_PLAINRTF)), transfer);
        if (transfer.Error != 0)
            throw EOutOfResources("Failed to Load Stream");
    }
}

void TRichEditStringsEx::SaveStream(QIODevice &stream)
{
    std::unique_ptr<TConversion> temporary;
    TConversion &conversion = ActiveConversion(temporary);
    TEditStream transfer;
    transfer.Callback = [&](char *buffer, qint64 count, qint64 &done) -> int {
        done = 0;
        try {
            done = conversion.ConvertWriteStream(stream, buffer, count);
            if (FOwner.OnSaveProgress)
                FOwner.OnSaveProgress(&FOwner, stream.pos(), stream.size());
            return 0;
        } catch (...) {
            return 2;
        }
    };
    FOwner.StreamOut(FOwner.SaveFormat(), transfer);
    if (transfer.Error != 0)
        throw EOutOfResources("Failed to Save Stream");
}

void TRichEditStringsEx::LoadFile(const QString &fileName)
{
    FConversion = TConversionRegistry::Create(TConversionRegistry::ExtensionOf(fileName));
    try {
        QFile file(fileName);
        if (!file.open(QIODevice::ReadOnly))
            throw EFileStreamError("Cannot open file " + NativeName(fileName));
        LoadStream(file);
    } catch (...) {
        FConversion.reset();
        throw;
    }
}

void TRichEditStringsEx::SaveFile(const QString &fileName)
{
    FConversion = TConversionRegistry::Create(TConversionRegistry::ExtensionOf(fileName));
    try {
        // The old file is replaced only once the new one is complete.
        QSaveFile file(fileName);
        if (!file.open(QIODevice::WriteOnly))
            throw EFileStreamError("Cannot create file " + NativeName(fileName));
        SaveStream(file);
        if (!file.commit())
            throw EFileStreamError("Cannot write file " + NativeName(fileName));
    } catch (...) {
        FConversion.reset();
        throw;
    }
}
