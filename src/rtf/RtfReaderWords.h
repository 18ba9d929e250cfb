#pragma once

// Control words and bytes of rich text as the document reader sees them: a word's letters and
// the keyword it is, sets and tables of keywords, and the digits of picture data and line
// ends. Internal to the reader.

#include "rtf/RtfKeywords.h"

#include <QByteArrayView>

#include <array>
#include <cstddef>
#include <initializer_list>
#include <utility>

namespace RtfReading {

using RtfKeywords::Kw;

// Digits of picture data.
inline bool IsHex(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// The value of a digit that IsHex accepts.
inline int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return c - 'A' + 10;
}

// A control word: its letters and what the reader knows it as.
struct Word
{
    QByteArrayView Text;
    Kw Id = Kw::Unknown;
};

// Which of the keywords belong to a kind.
class KwSet
{
public:
    KwSet(std::initializer_list<Kw> words)
    {
        for (const Kw word : words)
            FIn[static_cast<std::size_t>(word)] = true;
    }
    bool contains(Kw word) const { return FIn[static_cast<std::size_t>(word)]; }

private:
    std::array<bool, RtfKeywords::Count> FIn{};
};

// A value for some of the keywords.
template <typename T> class KwMap
{
public:
    KwMap(std::initializer_list<std::pair<Kw, T>> entries)
    {
        for (const auto &entry : entries) {
            FValues[static_cast<std::size_t>(entry.first)] = entry.second;
            FHas[static_cast<std::size_t>(entry.first)] = true;
        }
    }
    // The value of the word, nullptr when it has none.
    const T *Find(Kw word) const
    {
        const auto i = static_cast<std::size_t>(word);
        return FHas[i] ? &FValues[i] : nullptr;
    }

private:
    std::array<T, RtfKeywords::Count> FValues{};
    std::array<bool, RtfKeywords::Count> FHas{};
};

// Line ends in rich text are no text; spaces are.
inline bool IsLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

} // namespace RtfReading
