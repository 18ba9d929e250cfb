#pragma once

#include "rtf2html/TRtfFormat.h"

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>

namespace Rtf2Html {

// The inline tags a format opens, in opening order, and their close tags, last opened first;
// with the face names of the font table. A document uses few formats, but each of them over
// and over: the texts are built once (up to a bound, so that a document of ever new formats
// does not fill the memory).
class THtmlTagSets
{
public:
    struct TTagSet
    {
        std::string Open;
        std::string Close;
    };

    // A font table entry; the first entry of a number gives its face name.
    void AddFontName(int32_t number, const std::string &name);
    const TTagSet &Of(const TRtfFormat &format);

private:
    // The fields of a format that have tags.
    struct TKey
    {
        uint32_t Flags = 0;
        int32_t Colour = 0;
        int32_t Font = 0;
        int32_t Size = 0;
        bool operator==(const TKey &other) const
        {
            return Flags == other.Flags && Colour == other.Colour && Font == other.Font &&
                   Size == other.Size;
        }
    };
    struct TKeyHash
    {
        size_t operator()(const TKey &key) const;
    };
    static constexpr size_t KMaxSets = 4096;

    static TKey KeyOf(const TRtfFormat &format);
    // The FONT SIZE tag of a size in points.
    static const char *FontSizeTag(int32_t points);
    void Build(const TRtfFormat &format, TTagSet &tags) const;

    void Forget();

    std::map<int32_t, std::string> FFaceNames;
    std::unordered_map<TKey, TTagSet, TKeyHash> FSets;
    // The sets of the last few formats built or looked up: text mostly goes back and forth
    // between a few formats, and these are found without the hash table's division.
    struct TRecent
    {
        TKey Key;
        const TTagSet *Tags = nullptr;
    };
    std::array<TRecent, 4> FRecent{};
    size_t FNextRecent = 0; // the entry replaced next
};

} // namespace Rtf2Html
