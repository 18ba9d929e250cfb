#include "assembly/MergeTextFile.h"

#include "text/StringUtils.h"

#include <algorithm>
#include <cstdlib>

namespace {
bool IsLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// At a backslash of rich text: the length of the "\binN" control word there with its
// delimiter, and its count of data bytes; 0 when it is no such word.
std::size_t BinaryWordAt(const std::string &text, std::size_t at, std::size_t &dataBytes)
{
    if (text.compare(at, 4, "\\bin") != 0 || (at + 4 < text.size() && IsLetter(text[at + 4])))
        return 0;
    std::size_t end = at + 4;
    while (end < text.size() && IsDigit(text[end]))
        ++end;
    if (end == at + 4)
        return 0;
    dataBytes = std::strtoul(text.c_str() + at + 4, nullptr, 10);
    if (end < text.size() && text[end] == ' ')
        ++end;
    return end - at;
}
} // namespace

std::string MergeTextOf(const std::string &bytes)
{
    const bool rich = bytes.compare(0, 5, "{\\rtf") == 0;
    std::string text;
    text.reserve(bytes.size() + bytes.size() / 32 + 2);
    const std::size_t n = bytes.size();
    std::size_t i = 0;
    bool lineOpen = false;
    while (i < n) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            text += "\r\n";
            i += c == '\r' && i + 1 < n && bytes[i + 1] == '\n' ? 2 : 1;
            lineOpen = false;
            continue;
        }
        lineOpen = true;
        if (rich && c == '\\' && i + 1 < n) {
            std::size_t dataBytes = 0;
            if (const std::size_t word = BinaryWordAt(bytes, i, dataBytes)) {
                const std::size_t end = i + word + std::min(dataBytes, n - i - word);
                text.append(bytes, i, end - i);
                i = end;
                continue;
            }
            // "\\\\" and "\\{" are characters; "\\" before a line end is a paragraph mark whose
            // line end is written as every other.
            if (bytes[i + 1] != '\r' && bytes[i + 1] != '\n') {
                text.append(bytes, i, 2);
                i += 2;
                continue;
            }
        }
        text += c;
        ++i;
    }
    if (lineOpen)
        text += "\r\n";
    return text;
}

std::string LoadMergeText(const std::string &fileName)
{
    return MergeTextOf(LoadFileBytes(fileName));
}
