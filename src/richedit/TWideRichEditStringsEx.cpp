#include "richedit/TWideRichEditStringsEx.h"

#include "richedit/EOutOfResources.h"
#include "richedit/TLinesTransfer.h"
#include "richedit/TRichEditLinesHost.h"
#include "richedit/TSuspendedEvent.h"

namespace {
// Marks the control as driven directly in UTF-16 for the life of one operation.
class WideCallScope
{
public:
    explicit WideCallScope(TRichEditLinesHost &host) : FHost(host) { FHost.SetWideCall(true); }
    ~WideCallScope() { FHost.SetWideCall(false); }
    WideCallScope(const WideCallScope &) = delete;
    WideCallScope &operator=(const WideCallScope &) = delete;

private:
    TRichEditLinesHost &FHost;
};

// Sets the control's event mask for the life of one operation and puts the old one back.
class EventMaskScope
{
public:
    EventMaskScope(TRichEditLinesHost &host, unsigned mask) : FHost(host), FSaved(host.EventMask())
    {
        FHost.SetEventMask(mask);
    }
    ~EventMaskScope() { FHost.SetEventMask(FSaved); }
    EventMaskScope(const EventMaskScope &) = delete;
    EventMaskScope &operator=(const EventMaskScope &) = delete;

private:
    TRichEditLinesHost &FHost;
    const unsigned FSaved;
};

// The lines of a text as a string list splits it: CR, LF or CR LF end a line, and a final
// break adds no empty line.
QStringList SplitLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            lines.append(text.mid(start, i - start));
            if (c == QLatin1Char('\r') && i + 1 < text.size() &&
                text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            start = ++i;
        } else {
            ++i;
        }
    }
    if (start < text.size())
        lines.append(text.mid(start));
    return lines;
}
} // namespace

TWideRichEditStringsEx::TWideRichEditStringsEx(TRichEditLinesHost &owner) : FOwner(owner) {}

int TWideRichEditStringsEx::LineCount() const
{
    const int count = FOwner.PlatformLineCount();
    if (FOwner.LineLength(FOwner.LineIndex(count - 1)) == 0)
        return count - 1;
    return count;
}

QString TWideRichEditStringsEx::LineAt(int i) const
{
    if (i < 0)
        return QString();
    WideCallScope wide(FOwner);
    QString text = FOwner.LineText(i);
    if (text.endsWith(QLatin1Char('\r')))
        text.chop(1);
    return text;
}

void TWideRichEditStringsEx::ReplaceLine(int i, const QString &s)
{
    if (i < 0)
        return;
    WideCallScope wide(FOwner);
    const int start = FOwner.LineIndex(i);
    if (start == -1)
        return;
    FOwner.ReplaceRange(start, start + FOwner.LineLength(start), s, false);
}

void TWideRichEditStringsEx::InsertLine(int i, const QString &s)
{
    if (i < 0)
        return;
    WideCallScope wide(FOwner);
    int position = FOwner.LineIndex(i);
    QString text;
    if (position >= 0) {
        text = s + QLatin1Char('\r');
    } else {
        const int previous = FOwner.LineIndex(i - 1);
        if (previous < 0)
            return;
        const int length = FOwner.LineLength(previous);
        if (length == 0)
            return;
        position = previous + length;
        text = QLatin1Char('\r') + s;
    }
    // The text as the control stores it (a CR LF inside s is one paragraph break).
    int expected = 0;
    for (qsizetype k = 0; k < text.size(); ++k) {
        if (text.at(k) == QLatin1Char('\r') && k + 1 < text.size() &&
            text.at(k + 1) == QLatin1Char('\n'))
            ++k;
        ++expected;
    }
    FOwner.ReplaceRange(position, position, text, false);
    if (FOwner.SelectionStart() != position + expected)
        throw EOutOfResources("RichEdit line insertion error");
}

void TWideRichEditStringsEx::AppendLine(const QString &s)
{
    InsertLine(LineCount(), s);
}

void TWideRichEditStringsEx::DeleteLine(int i)
{
    if (i < 0)
        return;
    WideCallScope wide(FOwner);
    const int start = FOwner.LineIndex(i);
    if (start == -1)
        return;
    int end = FOwner.LineIndex(i + 1);
    if (end == -1)
        end = start + FOwner.LineLength(start);
    FOwner.ReplaceRange(start, end, QString(), false);
}

void TWideRichEditStringsEx::ClearLines()
{
    FOwner.ClearDocument();
}

QString TWideRichEditStringsEx::AllText() const
{
    QString text;
    const int count = LineCount();
    for (int i = 0; i < count; ++i) {
        text += LineAt(i);
        text += QLatin1String("\r\n");
    }
    return text;
}

void TWideRichEditStringsEx::SetAllText(const QString &s)
{
    const EventMaskScope noChange(FOwner, FOwner.EventMask() & ~TEventMask::ENM_CHANGE);
    BeginBatch();
    try {
        ClearLines();
        for (const QString &line : SplitLines(s))
            AppendLine(line);
    } catch (...) {
        EndBatch();
        throw;
    }
    EndBatch();
}

void TWideRichEditStringsEx::AppendLines(const QStringList &lines)
{
    const TSuspendedEvent selectionChange(FOwner.SelectionChangeEvent());
    BeginBatch();
    try {
        for (const QString &line : lines)
            AppendLine(line);
    } catch (...) {
        EndBatch();
        throw;
    }
    EndBatch();
}

void TWideRichEditStringsEx::BeginBatch()
{
    FOwner.LinesTransfer().BeginBatch();
}

void TWideRichEditStringsEx::EndBatch()
{
    FOwner.LinesTransfer().EndBatch();
}

void TWideRichEditStringsEx::LoadFile(const QString &fileName)
{
    FOwner.LinesTransfer().LoadFile(fileName);
}

void TWideRichEditStringsEx::SaveFile(const QString &fileName)
{
    FOwner.LinesTransfer().SaveFile(fileName);
}

void TWideRichEditStringsEx::LoadStream(QIODevice &stream)
{
    FOwner.LinesTransfer().LoadStream(stream);
}

void TWideRichEditStringsEx::SaveStream(QIODevice &stream)
{
    FOwner.LinesTransfer().SaveStream(stream);
}

int TWideRichEditStringsEx::Language() const
{
    return FOwner.Language();
}

void TWideRichEditStringsEx::SetLanguage(int language)
{
    FOwner.SetLanguage(language);
}
