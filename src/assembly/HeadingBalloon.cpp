#include "assembly/HeadingBalloon.h"

#include "assembly/AssemblyTexts.h"

#include <algorithm>
#include <climits>
#include <iterator>

namespace {

bool IsDigit(unsigned char c)
{
    return c >= '0' && c <= '9';
}

// The letters of code page 1252: ASCII letters, the accented letters from 0xC0 (less the
// multiplication and division signs) and the few letters among 0x83-0xBA.
bool IsLetter(unsigned char c)
{
    static constexpr unsigned char OtherLetters[] = {0x83, 0x8A, 0x8C, 0x8E, 0x9A, 0x9C,
                                                     0x9E, 0x9F, 0xAA, 0xB5, 0xBA};
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))
        return true;
    if (c >= 0xC0)
        return c != 0xD7 && c != 0xF7;
    return std::find(std::begin(OtherLetters), std::end(OtherLetters), c) != std::end(OtherLetters);
}

long PairNumber(const std::string &text, std::size_t from, std::size_t to)
{
    long long value = 0;
    for (std::size_t i = from; i < to; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > INT_MAX)
            return -1;
    }
    return static_cast<long>(value);
}

} // namespace

std::optional<TPlaceholderSpan> PlaceholderAt(const std::string &text, std::size_t index)
{
    if (index >= text.size())
        return std::nullopt;
    std::size_t at = index;
    while (at > 0 && IsDigit(static_cast<unsigned char>(text[at])))
        --at;
    if (text[at] != '@')
        return std::nullopt;
    if (at > 0) {
        const auto before = static_cast<unsigned char>(text[at - 1]);
        if (IsLetter(before) || IsDigit(before))
            return std::nullopt;
    }
    std::size_t end = at + 1;
    while (end < text.size() && IsDigit(static_cast<unsigned char>(text[end])))
        ++end;
    if (end == at + 1)
        return std::nullopt;
    return TPlaceholderSpan{at, end, PairNumber(text, at + 1, end)};
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
