#include "assembly/TInformationReader.h"

#include "richedit/TRichEditEx.h"
#include "richedit/TRichEditStringsEx.h"

#include <QFile>
#include <QTextDocument>

#include <algorithm>

TInformationReader::TInformationReader() : FPane(std::make_unique<TRichEditEx>())
{
    // What decides the lines of a loaded file, as the window's information pane has it.
    FPane->SetLanguage(1033);
    FPane->SetInputFormat(TInputFormat::ifRTF);
    FPane->SetPlainRTF(true);
    FPane->SetWordWrap(false);
    // Without word wrap the lines need no layout, and nobody sees this control: a page of no
    // size keeps the document from laying out (and shaping) every file it loads.
    FPane->document()->setPageSize(QSizeF(0, 0));
}

TInformationReader::~TInformationReader() = default;

std::vector<std::string> TInformationReader::Read(const std::string &fileName)
{
    FPane->Lines().LoadFile(QFile::decodeName(QByteArray::fromStdString(fileName)));
    return LinesOf(*FPane);
}

std::vector<std::string> TInformationReader::LinesOf(TRichEditEx &pane)
{
    TRichEditStringsEx &lines = pane.Lines();
    const int count = lines.LineCount();
    std::vector<std::string> result;
    result.reserve(static_cast<std::size_t>(std::max(count, 0)));
    for (int i = 0; i < count; ++i)
        result.push_back(lines.LineAt(i));
    return result;
}
