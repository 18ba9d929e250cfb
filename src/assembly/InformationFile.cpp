#include "assembly/InformationFile.h"

#include "assembly/TRtfTextMap.h"
#include "rtf2html/StringUtils.h"

#include <fstream>
#include <iterator>

namespace {
std::vector<std::string> SplitLines(const std::string &text)
{
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(std::move(line));
            line.clear();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            line.push_back(c);
        }
    }
    // The line after the last break exists only when it holds text.
    if (!line.empty())
        lines.push_back(std::move(line));
    return lines;
}
} // namespace

std::vector<std::string> InformationLinesFromText(const std::string &content)
{
    if (content.compare(0, 5, "{\\rtf") == 0)
        return SplitLines(TRtfTextMap(content).Text());
    return SplitLines(content);
}

std::vector<std::string> ReadInformationFile(const std::string &fileName)
{
    std::ifstream file(fileName, std::ios::binary);
    if (!file)
        throw EFOpenError(fileName);
    std::string content((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (file.bad())
        throw EFOpenError(fileName);
    return InformationLinesFromText(content);
}
