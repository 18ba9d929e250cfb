#pragma once

#include <QByteArray>

class QTextDocument;

// Writes a document, or a range of it, as rich text in the shape a version-2 rich edit control
// writes: code page 1252, a font and a colour table of what the text uses, "\par" and CR LF
// after every paragraph, text written as it stands so that placeholders such as "@12" stay
// whole.
class TRtfWriter
{
public:
    struct Options
    {
        // No language keywords (\deflang, \lang).
        bool PlainRTF = false;
        // Locale identifier written as the default language.
        int Language = 1033;
    };

    // Rich text of the characters [from, to) of the document; to < 0 means to the end.
    // (Two overloads rather than a default argument: a nested struct's member initialisers
    // cannot serve as a default argument inside its own class with GCC.)
    static QByteArray Write(const QTextDocument &document, int from, int to,
                            const Options &options);
    static QByteArray Write(const QTextDocument &document, int from = 0, int to = -1);
};
