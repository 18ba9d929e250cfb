#include "rtf2html/TRtfFormat.h"

namespace Rtf2Html {

void TRtfFormat::Reset(TScope scope)
{
    if (scope != TScope::Par) {
        Hidden = false;
        Caps = false;
        Bold = false;
        Italic = false;
        Underline = false;
        Superscript = false;
        Subscript = false;
        Strike = false;
        Font = -1;
        Colour = KNoColour;
        Size = -1;
        CodePage = 0;
    }
    if (scope != TScope::Text) {
        Right = false;
        Center = false;
    }
}

bool TRtfFormat::DiffersFrom(const TRtfFormat &other) const
{
    return Hidden != other.Hidden || Bold != other.Bold || Italic != other.Italic ||
           Underline != other.Underline || Superscript != other.Superscript ||
           Subscript != other.Subscript || Strike != other.Strike || Font != other.Font ||
           Colour != other.Colour || Size != other.Size || Right != other.Right ||
           Center != other.Center;
}

std::string TRtfFormat::ColourText(int32_t colour)
{
    static const char KHex[] = "0123456789ABCDEF";
    std::string text = "#";
    for (int shift = 20; shift >= 0; shift -= 4)
        text += KHex[(colour >> shift) & 15];
    return text;
}

} // namespace Rtf2Html
