#include "richedit/TURLType.h"

#include <utility>

TURLType::TURLType(std::string name, TColor color, int cursor, bool underline)
    : FName(std::move(name)), FColor(color), FCursor(cursor), FUnderline(underline)
{
}

bool TURLType::operator==(const TURLType &other) const
{
    return FName == other.FName && FColor == other.FColor && FCursor == other.FCursor &&
           FUnderline == other.FUnderline;
}
