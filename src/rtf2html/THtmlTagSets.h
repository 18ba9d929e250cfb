#pragma once

#include "rtf2html/TRtfFormat.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace Rtf2Html {

// The inline tags a format opens, in opening order, and their close tags, last opened first;
// with the face names of the font table. A document uses few formats, but each of them over
// and over: the texts of the last ones used are kept.
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
    struct TEntry
    {
        bool Valid = false;
        TKey Key;
        TTagSet Tags;
    };
    static constexpr size_t KEntries = 1024;

    static TKey KeyOf(const TRtfFormat &format);
    void Build(const TRtfFormat &format, TTagSet &tags) const;

    std::map<int32_t, std::string> FFaceNames;
    std::vector<TEntry> FEntries = std::vector<TEntry>(KEntries);
};

} // namespace Rtf2Html
