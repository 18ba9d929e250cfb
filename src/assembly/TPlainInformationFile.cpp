#include "assembly/TPlainInformationFile.h"

#include "text/StringUtils.h"
#include "text/TextFileDecoding.h"
#include "text/UnicodeText.h"

#include <algorithm>

namespace {
bool IsLineEnd(char16_t c)
{
    return c == u'\r' || c == u'\n' || c == u'\v' || c == 0x2028 || c == 0x2029;
}

// A document's frame marks and the object character.
bool IsDocumentMark(char16_t c)
{
    return c == 0xFDD0 || c == 0xFDD1 || c == 0xFFFC;
}

bool HasUtf16Mark(const std::string &bytes)
{
    return bytes.compare(0, 2, "\xFF\xFE") == 0 || bytes.compare(0, 2, "\xFE\xFF") == 0;
}

bool HasZeroBytes(const std::string &bytes)
{
    return !HasUtf16Mark(bytes) && bytes.find('\0') != std::string::npos;
}

bool IsAscii(const std::string &bytes)
{
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// The lines of the text, each made by lineOf from the stretch [start, end).
template <typename TText, typename TUnit, typename TLineOf>
std::vector<std::string> SplitLines(const TText &text, TUnit unitAt, TLineOf lineOf)
{
    std::vector<std::string> lines;
    const auto size = static_cast<std::size_t>(text.size());
    std::size_t start = 0;
    for (std::size_t i = 0; i < size; ++i) {
        const char16_t c = unitAt(i);
        if (!IsLineEnd(c))
            continue;
        lines.push_back(lineOf(start, i));
        if (c == u'\r' && i + 1 < size && unitAt(i + 1) == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < size)
        lines.push_back(lineOf(start, size));
    return lines;
}

// ASCII reads as the same characters in every encoding the pane takes, and is its own UTF-8.
std::vector<std::string> AsciiLines(const std::string &bytes)
{
    return SplitLines(
        bytes, [&bytes](std::size_t i) { return char16_t(static_cast<unsigned char>(bytes[i])); },
        [&bytes](std::size_t start, std::size_t end) { return bytes.substr(start, end - start); });
}

std::optional<std::vector<std::string>> DecodedLines(const std::string &bytes)
{
    const std::u16string text = DecodeTextFile(bytes);
    if (std::any_of(text.begin(), text.end(), IsDocumentMark))
        return std::nullopt;
    return SplitLines(
        text, [&text](std::size_t i) { return text[i]; },
        [&text](std::size_t start, std::size_t end) {
            return Utf8FromUtf16(std::u16string_view(text).substr(start, end - start));
        });
}
} // namespace

bool TPlainInformationFile::IsRich(const std::string &bytes)
{
    return bytes.compare(0, 5, "{\\rtf") == 0;
}

void TPlainInformationFile::CheckBytes(const std::string &bytes, const std::string &fileName)
{
    // Rich text carries binary data of its own (pictures); only plain text is checked.
    if (!IsRich(bytes) && HasZeroBytes(bytes))
        throw EStreamError("The information file " + fileName +
                           " holds zero bytes: it is not text that Zarvel can read (UTF-8, "
                           "UTF-16 with a byte order mark, or code page 1252). Save it as "
                           "text and select it again.");
}

std::optional<std::vector<std::string>> TPlainInformationFile::Lines(const std::string &bytes)
{
    if (IsRich(bytes) || HasZeroBytes(bytes))
        return std::nullopt;
    if (IsAscii(bytes))
        return AsciiLines(bytes);
    return DecodedLines(bytes);
}

std::optional<std::vector<std::string>>
TPlainInformationFile::LinesOfFile(const std::string &fileName)
{
    // A name Qt would take for one of the program's resources.
    if (fileName.empty() || fileName.front() == ':')
        return std::nullopt;
    try {
        return Lines(LoadFileBytes(fileName));
    } catch (const EStreamError &) {
        return std::nullopt;
    }
}
