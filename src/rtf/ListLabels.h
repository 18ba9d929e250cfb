#pragma once

#include <QtGlobal>

class QPaintDevice;
class QTextBlock;
class QTextDocument;

// Where the first line of a bulleted or numbered paragraph starts. The layout draws the label
// (bullet or number) and a space just left of the first line's text; the label belongs at the
// first-line indent, but never left of the text area, and the text follows at the left indent
// when the label and its gap fit before it, else right after them.

// The first-line offset from the left indent, in pixels of device (null: the screen), for a
// paragraph of a list whose left indent and first-line indent (relative to it) are given in
// those pixels.
qreal ListLabelIndent(const QTextBlock &block, qreal leftIndent, qreal firstLine,
                      const QPaintDevice *device);

// Sets the first-line offset of every list paragraph of [from, to] of the document for the
// screen, from the first-line indent the paragraph keeps for its list. Called inside an open
// edit block, it is part of that undo step.
void FitListLabels(QTextDocument &document, int from, int to);
