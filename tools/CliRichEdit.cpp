// zarvel-cli text, lines and roundtrip: a file loaded as the editor panes load it.
#include "CliCommand.h"
#include "CliInputFile.h"
#include "CliTextCommand.h"

#include "assembly/TInformationReader.h"
#include "richedit/TRichEditEx.h"
#include "richedit/TRichEditStringsEx.h"
#include "rtf/TDocumentText.h"
#include "text/StringUtils.h"

#include <QDir>
#include <QFile>
#include <QString>
#include <QTextCursor>
#include <QTextDocument>

#include <cstdio>
#include <memory>

namespace {
// A control set up as the document pane: word wrap on, full rich text.
std::unique_ptr<TRichEditEx> DocumentPane()
{
    auto pane = std::make_unique<TRichEditEx>();
    pane->SetLanguage(1033);
    pane->SetWordWrap(true);
    pane->SetScrollBars(TScrollStyle::ssVertical);
    pane->SetHideScrollBars(false);
    pane->resize(800, 540);
    return pane;
}

QString FileArgument(const std::string &name)
{
    return QString::fromLocal8Bit(name.c_str());
}

// UTF-8 with LF for the control's paragraph and line breaks.
void PrintText(const QString &text)
{
    QString out = text;
    out.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    out.replace(QLatin1Char('\v'), QLatin1Char('\n'));
    const QByteArray bytes = out.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
}

// The one file name of a command; "-" reads standard input.
CliInputFile OneInput(const std::vector<std::string> &args)
{
    const std::vector<std::string> files = CliCommand::Operands(args);
    if (files.size() != 1)
        throw CliUsageError("expected one file name");
    return CliInputFile(files[0]);
}

int RunText(const std::vector<std::string> &args)
{
    const CliInputFile input = OneInput(args);
    // The text needs the document only: no control, and no layout of its pages.
    QFile file(FileArgument(input.Path()));
    if (!file.open(QIODevice::ReadOnly))
        throw EFOpenError(QDir::toNativeSeparators(file.fileName()).toStdString());
    QTextDocument document;
    QTextCursor cursor(&document);
    TDocumentText::Insert(file.readAll(), cursor);
    QString text = TDocumentText::Range(document, 0, -1);
    if (!text.isEmpty() && !text.endsWith(QLatin1Char('\r')))
        text += QLatin1Char('\r');
    PrintText(text);
    return 0;
}

int RunLines(const std::vector<std::string> &args)
{
    const CliInputFile input = OneInput(args);
    // The lines the merge takes, every character as it stands.
    const std::vector<std::string> lines = TInformationReader().Read(input.Path());
    std::printf("%zu\n", lines.size());
    for (const std::string &line : lines)
        PrintText(QString::fromStdString(line) + QLatin1Char('\n'));
    return 0;
}

int RunRoundtrip(const std::vector<std::string> &args)
{
    const std::vector<std::string> files = CliCommand::Operands(args);
    if (files.size() != 2)
        throw CliUsageError("expected an input and an output file name");
    auto pane = DocumentPane();
    pane->Lines().LoadFile(FileArgument(files[0]));
    // Rich text whatever the output's extension; the output appears only when complete.
    pane->Lines().SaveFile(FileArgument(files[1]));
    return 0;
}

// The front program reads most files itself (CliFrontText.cpp) and hands this one the rest.
const CliCommand TextCommand("text", CliTextCommand::KUsage, RunText, CliTextCommand::KHelp,
                             CliCommand::DocumentModel, CliCommand::NoWidgets);
const CliCommand LinesCommand("lines", "FILE", RunLines,
                              "Prints the line count, then the lines, as the information pane "
                              "reads the file.\nFILE - reads standard input.",
                              CliCommand::DocumentModel, CliCommand::NoWidgets);
const CliCommand RoundtripCommand("roundtrip", "IN OUT", RunRoundtrip,
                                  "Loads IN as the document pane does and saves it as rich text "
                                  "to OUT.",
                                  CliCommand::DocumentModel);
} // namespace
