#pragma once

#include <QtGlobal>

#include <vector>

class QString;
class QTextDocument;

// The laid-out lines of a control's document, kept until the content, the layout width or the
// wrap mode changes. A manual line break ends a line, and so does a paragraph break; with wrap
// a long paragraph is several lines besides. There is always at least one line.
class TLineLayout
{
public:
    struct TLine
    {
        int Start;  // position of the line's first character
        int Length; // without the break that ends it
        bool EndsParagraph;
    };

    // The lines of the document as it is at generation (the control's count of content
    // changes). With wrap the document's layout is completed first, at its text width; the
    // caller gives the widget its size before. Without wrap the lines need no layout.
    const std::vector<TLine> &Lines(const QTextDocument &document, bool wrap, quint64 generation);
    // Index of the line of lines that holds the position (0 before the first).
    static int LineOf(const std::vector<TLine> &lines, int position);

private:
    void AddUnwrapped(int start, const QString &text, int blockLength, bool endsParagraph);

    std::vector<TLine> FLines;
    quint64 FGeneration = 0;
    qreal FWidth = -2;
};
