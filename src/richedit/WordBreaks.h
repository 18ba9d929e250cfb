#pragma once

#include <QString>

// Word breaks of a text in the form of the control's ranges (CR paragraph breaks, VT line
// breaks), free of any control. code is a TWordBreak code: WB_CLASSIFY gives the class (and
// WBF_ flags) of the character at position; the others give a position. position is clamped
// to the text.
int FindWordBreakIn(const QString &text, int code, int position);
