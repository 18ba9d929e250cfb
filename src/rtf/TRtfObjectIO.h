#pragma once

#include "rtf/TRichEditOleObject.h"

#include <QByteArray>

#include <vector>

class QTextDocument;
class QTextFormat;

// Embedded objects in rich text: an object is written as an \object group (\objemb or
// \objlink, its class, its name and its data as hex) whose \result is the picture the document
// shows, so that a reader that knows nothing of the object still shows it.
class TRtfObjectIO
{
public:
    // The opening of the object group and its \result for a picture character that carries an
    // object; empty for a plain picture. The picture follows, then ObjectEnd().
    static QByteArray ObjectStart(const QTextFormat &format);
    static QByteArray ObjectEnd() { return "}}"; }

    // The objects of the \object groups of a rich text, in order, with the index of the body
    // picture each one's \result holds (-1 when it holds none).
    struct TReadObject
    {
        TRichEditOleObject Object;
        int PictureIndex = -1;
    };
    // PictureIndex is the number of the \pict group in the rich text, counting every \pict
    // control word from 0, as the rich text reader numbers the pictures it shows.
    static std::vector<TReadObject> ReadObjects(const QByteArray &rtf);
    // After the rich text was read into [from, to) of the document: the pictures there that
    // were the results of object groups become those objects again.
    static void AttachObjects(const QByteArray &rtf, QTextDocument &document, int from, int to);

    // Text of a destination as rich text: 8-bit (1252) with \'xx escapes and the special
    // characters escaped.
    static QByteArray EscapeText(const QString &text);
};
