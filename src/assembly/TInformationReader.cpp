#include "assembly/TInformationReader.h"

#include "richedit/TConversion.h"
#include "richedit/TConversionRegistry.h"
#include "richedit/TRichEditEx.h"
#include "richedit/TRichEditStringsEx.h"
#include "richedit/TWideRichEditStringsEx.h"
#include "rtf/TRtfReader.h"
#include "rtf/TTextFileCodec.h"
#include "text/StringUtils.h"

#include <QFile>
#include <QTextDocument>

#include <algorithm>
#include <optional>
#include <typeinfo>

namespace {
// The whole file, when the control would take its bytes as they stand (its extension has no
// conversion of its own) and all of them can be read; nothing otherwise, and the control's
// load then gives the error.
std::optional<std::string> UnconvertedBytes(const QString &fileName)
{
    const std::unique_ptr<TConversion> conversion =
        TConversionRegistry::Create(TConversionRegistry::ExtensionOf(fileName));
    if (typeid(*conversion) != typeid(TConversion))
        return std::nullopt;
    // The control's file would be one of the program's own resources.
    if (fileName.startsWith(QLatin1Char(':')))
        return std::nullopt;
    try {
        return LoadFileBytes(QFile::encodeName(fileName).toStdString());
    } catch (const EStreamError &) {
        return std::nullopt;
    }
}

bool IsAscii(const std::string &bytes)
{
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Paragraph ends and manual line breaks of plain text as the control takes them.
bool IsLineEnd(char16_t c)
{
    return c == u'\r' || c == u'\n' || c == u'\v' || c == 0x2028 || c == 0x2029;
}

char16_t UnitOf(char c)
{
    return static_cast<unsigned char>(c);
}

char16_t UnitOf(QChar c)
{
    return c.unicode();
}

// The lines the control shows for a plain text: each paragraph end (CR, LF, CR LF, U+2029)
// and manual line break (VT, U+2028) ends one; the empty line after a final break is not
// counted. lineOf makes the line of the text's stretch [start, end).
template <typename TText, typename TLineOf>
std::vector<std::string> SplitLines(const TText &text, TLineOf lineOf)
{
    std::vector<std::string> lines;
    const auto size = static_cast<std::size_t>(text.size());
    std::size_t start = 0;
    for (std::size_t i = 0; i < size; ++i) {
        const char16_t c = UnitOf(text[i]);
        if (!IsLineEnd(c))
            continue;
        lines.push_back(lineOf(start, i));
        if (c == u'\r' && i + 1 < size && UnitOf(text[i + 1]) == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < size)
        lines.push_back(lineOf(start, size));
    return lines;
}

// The lines of a plain text of ASCII bytes: they read as the same characters whether the
// control takes them for UTF-8 or code page 1252, and the pane gives each back as it was.
std::vector<std::string> AsciiLines(const std::string &bytes)
{
    return SplitLines(bytes, [&bytes](std::size_t start, std::size_t end) {
        return bytes.substr(start, end - start);
    });
}

// The language of the information pane; its code page is 1252.
constexpr int PaneLanguage = 1033;

// Characters that the control's document may treat as more than a character of the text
// (its frame marks, the object character): a text that holds one is left to the control.
bool IsDocumentMark(QChar c)
{
    return c.unicode() == 0xFDD0 || c.unicode() == 0xFDD1 || c.unicode() == 0xFFFC;
}

// The lines of a decoded plain text, as UTF-8, as the pane shows them. Nothing when the text
// holds a character the control's document treats specially.
std::optional<std::vector<std::string>> PlainTextLines(const QString &text)
{
    if (std::any_of(text.begin(), text.end(), IsDocumentMark))
        return std::nullopt;
    return SplitLines(text, [&text](std::size_t start, std::size_t end) {
        return text.mid(static_cast<qsizetype>(start), static_cast<qsizetype>(end - start))
            .toUtf8()
            .toStdString();
    });
}

bool HasUtf16Mark(const std::string &bytes)
{
    return bytes.compare(0, 2, "\xFF\xFE") == 0 || bytes.compare(0, 2, "\xFE\xFF") == 0;
}
} // namespace

TInformationReader::TInformationReader() = default;

TInformationReader::~TInformationReader() = default;

TRichEditEx &TInformationReader::Pane()
{
    // Made for the first file that needs it: most never do.
    if (FPane)
        return *FPane;
    FPane = std::make_unique<TRichEditEx>();
    // What decides the lines of a loaded file, as the window's information pane has it.
    FPane->SetLanguage(PaneLanguage);
    FPane->SetInputFormat(TInputFormat::ifRTF);
    FPane->SetPlainRTF(true);
    FPane->SetWordWrap(false);
    // Without word wrap the lines need no layout, and nobody sees this control: a page of no
    // size keeps the document from laying out (and shaping) every file it loads.
    FPane->document()->setPageSize(QSizeF(0, 0));
    return *FPane;
}

void TInformationReader::CheckBytes(const std::string &bytes, const std::string &fileName)
{
    // Rich text carries binary data of its own (pictures); only plain text is checked.
    const bool rich = bytes.compare(0, 5, "{\\rtf") == 0;
    if (!rich && !HasUtf16Mark(bytes) && bytes.find('\0') != std::string::npos)
        throw EStreamError("The information file " + fileName +
                           " holds zero bytes: it is not text that Zarvel can read (UTF-8, "
                           "UTF-16 with a byte order mark, or code page 1252). Save it as "
                           "text and select it again.");
}

std::vector<std::string> TInformationReader::Read(const std::string &fileName)
{
    const QString name = QFile::decodeName(QByteArray::fromStdString(fileName));
    // Most information files are plain text, whose lines are found without building a
    // document for them.
    if (const std::optional<std::string> bytes = UnconvertedBytes(name)) {
        CheckBytes(*bytes, fileName);
        const QByteArray view =
            QByteArray::fromRawData(bytes->data(), static_cast<qsizetype>(bytes->size()));
        if (!TRtfReader::IsRtf(view)) {
            if (IsAscii(*bytes))
                return AsciiLines(*bytes);
            if (auto lines = PlainTextLines(TTextFileCodec::Decode(view)))
                return std::move(*lines);
        }
    }
    return ReadInControl(fileName);
}

std::vector<std::string> TInformationReader::ReadInControl(const std::string &fileName)
{
    TRichEditEx &pane = Pane();
    pane.Lines().LoadFile(QFile::decodeName(QByteArray::fromStdString(fileName)));
    return LinesOf(pane);
}

std::vector<std::string> TInformationReader::LinesOf(TRichEditEx &pane)
{
    const int count = pane.WideLines().LineCount();
    std::vector<std::string> result;
    result.reserve(static_cast<std::size_t>(std::max(count, 0)));
    for (int i = 0; i < count; ++i)
        result.push_back(pane.WideLines().LineAt(i).toUtf8().toStdString());
    return result;
}
