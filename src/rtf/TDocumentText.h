#pragma once

#include <QByteArray>
#include <QString>

class QTextCursor;
class QTextDocument;

// Text in and out of a document as the text control has it. Out: a paragraph end, and any
// position between paragraphs (the marks of tables and frames), reads as CR; a manual line
// break reads as VT; one character per document position, so that positions in the text are
// positions in the document. In: a file's bytes as the panes load them.
class TDocumentText
{
public:
    // Inserts a file's bytes at the cursor: rich text through the rich text reader, any other
    // bytes as plain text (TTextFileCodec), its line ends as paragraph ends and VT as manual
    // line breaks.
    static void Insert(const QByteArray &bytes, QTextCursor &cursor);
    // Plain text in the form a document takes it: CR, LF and CR LF become paragraph
    // separators (U+2029), VT a line separator (U+2028).
    static QString DocumentForm(const QString &text);

    // The characters [from, to); positions are clamped to the document, and to < 0 means its
    // end. A reversed range is read forwards.
    static QString Range(const QTextDocument &document, int from, int to);
};
