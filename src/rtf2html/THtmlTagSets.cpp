#include "rtf2html/THtmlTagSets.h"


namespace Rtf2Html {

void THtmlTagSets::AddFontName(int32_t number, const std::string &name)
{
    if (FFaceNames.emplace(number, name).second)
        Forget();
}

void THtmlTagSets::Forget()
{
    FSets.clear();
    FRecent = {};
}

size_t THtmlTagSets::TKeyHash::operator()(const TKey &key) const
{
    uint64_t hash = key.Flags;
    for (const int32_t field : {key.Colour, key.Font, key.Size})
        hash = (hash ^ static_cast<uint32_t>(field)) * 0x9E3779B97F4A7C15ull;
    return static_cast<size_t>(hash >> 32);
}

THtmlTagSets::TKey THtmlTagSets::KeyOf(const TRtfFormat &format)
{
    TKey key;
    key.Flags = (format.Bold ? 1u : 0u) | (format.Italic ? 2u : 0u) | (format.Underline ? 4u : 0u) |
                (format.Subscript ? 8u : 0u) | (format.Superscript ? 16u : 0u) |
                (format.Strike ? 32u : 0u);
    key.Colour = format.Colour;
    key.Font = format.Font;
    key.Size = format.Size;
    return key;
}

const THtmlTagSets::TTagSet &THtmlTagSets::Of(const TRtfFormat &format)
{
    const TKey key = KeyOf(format);
    for (const TRecent &recent : FRecent) {
        if (recent.Tags && recent.Key == key)
            return *recent.Tags;
    }
    const TTagSet *tags;
    const auto found = FSets.find(key);
    if (found != FSets.end()) {
        tags = &found->second;
    } else {
        if (FSets.size() >= KMaxSets)
            Forget();
        TTagSet &built = FSets[key];
        Build(format, built);
        tags = &built;
    }
    FRecent[FNextRecent] = {key, tags};
    FNextRecent = (FNextRecent + 1) % FRecent.size();
    return *tags;
}

// The open tags in the order of the writer's table; the close tags in reverse.
void THtmlTagSets::Build(const TRtfFormat &format, TTagSet &tags) const
{
    tags.Open.clear();
    tags.Close.clear();
    auto open = [&tags](const std::string &tag, const char *close) {
        tags.Open += tag;
        tags.Close.insert(0, close);
    };
    if (format.Bold)
        open("<B>", "</B>");
    if (format.Italic)
        open("<I>", "</I>");
    if (format.Underline)
        open("<U>", "</U>");
    if (format.Subscript)
        open("<SUB>", "</SUB>");
    if (format.Superscript)
        open("<SUP>", "</SUP>");
    if (format.Strike)
        open("<S>", "</S>");
    if (format.Colour != TRtfFormat::KNoColour)
        open("<FONT COLOR=\"" + TRtfFormat::ColourText(format.Colour) + "\">", "</FONT>");
    if (format.Font >= 0) {
        const auto it = FFaceNames.find(format.Font);
        open("<FONT FACE=\"" + (it == FFaceNames.end() ? std::string() : it->second) + "\">",
             "</FONT>");
    }
    if (format.Size >= 0)
        open(FontSizeTag(format.Size), "</FONT>");
}

const char *THtmlTagSets::FontSizeTag(int32_t points)
{
    if (points == 12)
        return "<FONT SIZE=+0>";
    if (points <= 8)
        return "<FONT SIZE=-2>";
    if (points <= 11)
        return "<FONT SIZE=-1>";
    if (points <= 15)
        return "<FONT SIZE=+1>";
    if (points <= 20)
        return "<FONT SIZE=+2>";
    if (points <= 28)
        return "<FONT SIZE=+3>";
    return "<FONT SIZE=+4>";
}

} // namespace Rtf2Html
