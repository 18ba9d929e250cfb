#pragma once

#include "richedit/TRichEditHost.h"

#include <QByteArray>

class TLinesTransfer;
class TRichEditOle;
class TWideRichEditStringsEx;
struct TEditStream;

// What the lines objects (TRichEditStringsEx, TWideRichEditStringsEx) and their file and
// stream transfer need of the control besides TRichEditHost: its laid-out lines, edits that
// bypass the undo history, streaming and the progress events. TCustomRichEditEx implements it.
class TRichEditLinesHost : public TRichEditHost
{
public:
    virtual TWideRichEditStringsEx &WideLines() = 0;
    // The transfer both lines objects load, save and batch through.
    virtual TLinesTransfer &LinesTransfer() = 0;
    virtual TRichEditOle *Ole() const = 0;

    // Laid-out lines, as TCustomRichEditEx describes them.
    virtual int PlatformLineCount() const = 0;
    virtual int LineIndex(int line) const = 0;
    virtual int LineLength(int position) const = 0;
    virtual QString LineText(int line) const = 0;

    virtual bool ReplaceRange(int from, int to, const QString &text, bool undoable) = 0;
    virtual void ClearDocument() = 0;
    virtual unsigned EventMask() const = 0;
    virtual void SetEventMask(unsigned mask) = 0;
    virtual void SetLanguage(int language) = 0;
    // True while the UTF-16 lines talk to the control directly.
    virtual void SetWideCall(bool on) = 0;

    virtual unsigned LoadFormat() const = 0;
    virtual unsigned SaveFormat(TOutputFormat format) const = 0;
    virtual TOutputFormat OutputFormat() const = 0;
    virtual void StreamIn(unsigned format, TEditStream &stream) = 0;
    virtual void StreamOut(unsigned format, TEditStream &stream) = 0;
    virtual int StreamInBytes(const QByteArray &data, unsigned format) = 0;
    virtual QByteArray StreamOutBytes(unsigned format) = 0;

    // Raise OnLoadProgress and OnSaveProgress with the control as sender.
    virtual void LoadProgress(qint64 pos, qint64 size) = 0;
    virtual void SaveProgress(qint64 pos, qint64 size) = 0;
    // The text-changed notification at the end of a batch of line changes.
    virtual void LinesChanged() = 0;

protected:
    TRichEditLinesHost() = default;
    ~TRichEditLinesHost() = default;
};
