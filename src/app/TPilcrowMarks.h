#pragma once

#include <vector>

class QTextDocument;
class TRichEditEx;

// The line-ending display: a pilcrow "¶" at the end of every paragraph of a pane, and away
// again. The pilcrows the display adds carry a mark of their own in their format, so that it
// takes away exactly those, wherever editing has moved them, and never one the user typed.
class TPilcrowMarks
{
public:
    // Takes the marked pilcrows away when the pane holds any; otherwise adds a marked pilcrow
    // at the end of every paragraph. One undoable edit. Returns how many pilcrows were added or
    // taken away.
    static int Toggle(TRichEditEx &pane);

    // Positions of the marked pilcrows, ascending.
    static std::vector<int> MarkedPilcrows(const QTextDocument &document);
    // Position of every paragraph's end (where its break is, or the end of the text).
    static std::vector<int> ParagraphEnds(const QTextDocument &document);
};
