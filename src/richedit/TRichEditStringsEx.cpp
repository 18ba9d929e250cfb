#include "richedit/TRichEditStringsEx.h"

#include "richedit/TLinesTransfer.h"
#include "richedit/TRichEditLinesHost.h"
#include "richedit/TWideRichEditStringsEx.h"

#include <QStringList>

TRichEditStringsEx::TRichEditStringsEx(TRichEditLinesHost &owner) : FOwner(owner) {}

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
    FOwner.LinesTransfer().BeginBatch();
}

void TRichEditStringsEx::EndBatch()
{
    FOwner.LinesTransfer().EndBatch();
}

void TRichEditStringsEx::LoadFile(const QString &fileName)
{
    FOwner.LinesTransfer().LoadFile(fileName);
}

void TRichEditStringsEx::SaveFile(const QString &fileName)
{
    FOwner.LinesTransfer().SaveFile(fileName);
}

void TRichEditStringsEx::SaveFile(const QString &fileName, TOutputFormat format)
{
    FOwner.LinesTransfer().SaveFile(fileName, format);
}

void TRichEditStringsEx::LoadStream(QIODevice &stream)
{
    FOwner.LinesTransfer().LoadStream(stream);
}

void TRichEditStringsEx::SaveStream(QIODevice &stream)
{
    FOwner.LinesTransfer().SaveStream(stream);
}

void TRichEditStringsEx::SaveStream(QIODevice &stream, TOutputFormat format)
{
    FOwner.LinesTransfer().SaveStream(stream, format);
}
