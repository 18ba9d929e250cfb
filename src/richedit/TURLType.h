#pragma once

#include "richedit/TColor.h"

#include <string>

// One URL scheme of TURLCollection: the scheme without its colon and how a link of it looks.
// Colour clWindowText stands for the control's URLColor, cursor 0 for its URLCursor.
class TURLType
{
public:
    TURLType() = default;
    TURLType(std::string name, TColor color, int cursor, bool underline);

    const std::string &Name() const { return FName; }
    void SetName(const std::string &name) { FName = name; }
    TColor Color() const { return FColor; }
    void SetColor(TColor color) { FColor = color; }
    int Cursor() const { return FCursor; }
    void SetCursor(int cursor) { FCursor = cursor; }
    bool Underline() const { return FUnderline; }
    void SetUnderline(bool on) { FUnderline = on; }

    bool operator==(const TURLType &other) const;

private:
    std::string FName;
    TColor FColor = TColors::clWindowText;
    int FCursor = 0;
    bool FUnderline = true;
};
