#pragma once

#include <QString>

#include <vector>

// Searching a text in the form the control's ranges have: a paragraph break is CR, a line
// break inside a paragraph is VT. Options are TLocateOption bits.

// A letter, a digit or "_": what words are made of.
bool IsWordChar(QChar c);

// A text in that form: CR, LF, CR LF and a paragraph separator become one CR, a line
// separator VT.
QString RangeForm(const QString &text);

// Position of the first match of needle in text, or -1. Range: [startPos, startPos + length)
// forwards, [startPos - length, startPos] backwards; length <= 0 reaches to the end of the text
// in the search direction. The whole match lies inside the range. A whole-word match has no
// letter, digit or "_" right before or after it where its own end is such a character.
int LocateIn(const QString &text, const QString &needle, int startPos, int length,
             unsigned options);

// Every forward match from the start of the text, each looked for after the one before, so
// the matches do not overlap. Whole-word tests look at the text as it is.
std::vector<int> LocateAllIn(const QString &text, const QString &needle, unsigned options);
