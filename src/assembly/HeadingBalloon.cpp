#include "assembly/HeadingBalloon.h"

#include "assembly/AssemblyTexts.h"
#include "rtf2html/StringUtils.h"

#include <climits>

bool ExtendsPlaceholderSelection(const std::string &selectedText)
{
    const std::string last = RightPart(selectedText, 1);
    return last.size() == 1 && last[0] >= '0' && last[0] <= '9';
}

long BalloonPairNumber(const std::string &selectedText)
{
    std::string number = selectedText;
    if (!number.empty() && number[0] == '@')
        number.erase(0, 1);
    number = TrimSpaces(number);
    if (number.empty() || number.size() > 10)
        return -1;
    long long value = 0;
    for (const char c : number) {
        if (c < '0' || c > '9')
            return -1;
        value = value * 10 + (c - '0');
    }
    return value <= INT_MAX ? static_cast<long>(value) : -1;
}

std::optional<THeadingBalloon> HeadingBalloonFor(const std::string &selectedText,
                                                 const std::vector<std::string> &informationLines)
{
    const long n = BalloonPairNumber(selectedText);
    if (n < 0)
        return std::nullopt;
    if (informationLines.size() < 2)
        return THeadingBalloon{NoInformationBalloonText, true};
    if (n == 0)
        return std::nullopt; // no pair 0, so no heading
    const auto headingLine = static_cast<unsigned long long>(n) * 2 - 1;
    if (headingLine > informationLines.size())
        return std::nullopt;
    const std::string &heading = informationLines[static_cast<std::size_t>(headingLine - 1)];
    if (heading.empty())
        return std::nullopt;
    return THeadingBalloon{heading, false};
}
