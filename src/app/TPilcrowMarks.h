#pragma once

class QTextDocument;

// The line-ending display: a pilcrow "¶" drawn at the end of every paragraph of a pane. The
// marks are drawn by the layout only and are never part of the text, so the document, its
// undo history, saving, printing and the merge never see them; a pilcrow the user typed stays
// text.
class TPilcrowMarks
{
public:
    static bool Shown(const QTextDocument &document);
    // Draws the marks, or stops drawing them, without touching the text or its modified flag.
    static void SetShown(QTextDocument &document, bool shown);
};
