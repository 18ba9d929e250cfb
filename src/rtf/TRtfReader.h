#pragma once

#include <QByteArray>

class QTextCursor;

// Reads rich text into a document: this program's own output and the usual output of other
// word processors. Malformed input never crashes or hangs the reader; it loads what it can.
class TRtfReader
{
public:
    // True when the data is rich text at all: it starts with "{\rtf".
    static bool IsRtf(const QByteArray &data);

    // Inserts the rich text at the cursor, replacing the cursor's selection, as one edit block.
    // Returns false (and inserts nothing) when the data is not rich text; malformed rich text
    // loads what it can.
    static bool Read(const QByteArray &data, QTextCursor &cursor);
};
