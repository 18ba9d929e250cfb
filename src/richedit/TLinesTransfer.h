#pragma once

#include "richedit/RichEditTypes.h"

#include <QString>

#include <memory>

class QIODevice;
class TConversion;
class TRichEditLinesHost;
struct TEditStream;

// File and stream transfer of a control's lines, and their batches of changes: what
// TRichEditStringsEx and TWideRichEditStringsEx both load, save and batch through, so that
// bytes and formats are the same for both. Owned by the control; the file-level behaviour
// (conversions, the plain-text fallback, the errors thrown) is described at
// TRichEditStringsEx.
class TLinesTransfer
{
public:
    explicit TLinesTransfer(TRichEditLinesHost &host);
    ~TLinesTransfer();
    TLinesTransfer(const TLinesTransfer &) = delete;
    TLinesTransfer &operator=(const TLinesTransfer &) = delete;

    void BeginBatch();
    void EndBatch();

    void LoadFile(const QString &fileName);
    void SaveFile(const QString &fileName);
    void SaveFile(const QString &fileName, TOutputFormat format);
    void LoadStream(QIODevice &stream);
    void SaveStream(QIODevice &stream);
    void SaveStream(QIODevice &stream, TOutputFormat format);

private:
    TConversion &ActiveConversion(std::unique_ptr<TConversion> &temporary);
    // Reads the rest of the transfer and inserts it as plain text; returns the transfer's
    // error, 0 on success.
    int StreamInPlainText(TEditStream &transfer, unsigned format);
    // Writes the content as a plain text file through the transfer.
    void StreamOutPlainText(TEditStream &transfer, unsigned format);

    TRichEditLinesHost &FHost;
    std::unique_ptr<TConversion> FConversion;
    int FUpdateCount = 0; // nested BeginBatch
};
