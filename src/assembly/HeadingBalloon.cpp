#include "assembly/HeadingBalloon.h"

#include "assembly/AssemblyTexts.h"
#include "assembly/TPlaceholderScanner.h"

#include <climits>

std::optional<TPlaceholderSpan> PlaceholderAt(const std::string &text, std::size_t index)
{
    TPlaceholderScanner scanner(text, TPlaceholderScanner::TTextKind::Plain, false);
    while (const auto match = scanner.Next()) {
        const std::size_t end = match->Position + match->Text.size();
        if (index < match->Position)
            break;
        if (index < end)
            return TPlaceholderSpan{match->Position, end,
                                    match->Number > INT_MAX ? -1 : match->Number};
    }
    return std::nullopt;
}

std::optional<THeadingBalloon> HeadingBalloonFor(long pairNumber,
                                                 const std::vector<std::string> &informationLines)
{
    if (pairNumber < 0)
        return std::nullopt;
    if (informationLines.size() < 2)
        return THeadingBalloon{NoInformationBalloonText, true};
    if (pairNumber == 0)
        return std::nullopt; // no pair 0, so no heading
    const auto headingLine = static_cast<unsigned long long>(pairNumber) * 2 - 1;
    if (headingLine > informationLines.size())
        return std::nullopt;
    const std::string &heading = informationLines[static_cast<std::size_t>(headingLine - 1)];
    if (heading.empty())
        return std::nullopt;
    return THeadingBalloon{heading, false};
}
