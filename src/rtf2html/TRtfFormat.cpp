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
        Colour = "none";
        Size = -1;
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

} // namespace Rtf2Html
