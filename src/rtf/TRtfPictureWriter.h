#pragma once

#include <QByteArray>

class QTextDocument;
class QTextImageFormat;

// The pictures of a document as rich text: a picture that came with its data goes back with
// the same bytes and control words, any other as PNG; its size as read stands unless the
// picture was resized since.
class TRtfPictureWriter
{
public:
    // The {\pict ...} group of a picture, its data in lines of hex; empty when the picture has
    // neither data of its own nor an image in the document.
    static QByteArray Picture(const QTextDocument &document, const QTextImageFormat &format);
    // Whether a picture shows the groups it came with (a shape, a picture wrapper): as long as
    // it keeps its size. A picture resized since goes out as a picture of its own.
    static bool ShowsKeptGroups(const QTextImageFormat &format);
};
