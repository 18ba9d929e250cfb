#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// The pieces of the column printer that need no drawing surface: splitting texts and formats
// at bars, reading one column format, token replacement and fitting a text to a width.

enum class TColumnAlignment { Left, Right, Centre };

struct TColumnSpec
{
    TColumnAlignment alignment = TColumnAlignment::Left;
    double width = 0; // in the printer's length unit
};

// The pieces between "|" characters: "" gives one empty piece, a trailing bar an empty last one.
QStringList SplitColumns(const QString &text);

// One column format such as ">100", "^", "" or "<12.5"; the width is read in the user's
// locale, and a width that does not parse becomes the default.
TColumnSpec ParseColumnFormat(const QString &column, double defaultWidth);

// Replaces every occurrence of token in text by value, unless value itself holds the token.
QString ReplaceToken(const QString &token, const QString &value, const QString &text);

// The longest prefix of text whose measured width fits into width pixels, found by bisection;
// a text whose first character alone is too wide keeps that character. A measurement that
// throws makes the whole text the answer.
QString FitText(const QString &text, int width, const std::function<int(const QString &)> &measure);

// Nearest integer, halves to even.
int RoundHalfEven(double value);
