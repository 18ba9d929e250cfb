#pragma once

#include <QByteArray>
#include <QString>

// Makes a PDF that Qt's PDF engine has just written smaller: every page's content stream is
// compacted (TPdfContentCompactor) and compressed again at the best level; the other objects
// stay byte for byte, behind a new cross-reference table. A file this does not fully read (an
// object stream, an update section, encryption, a stream of unexpected shape) stays as it is.
class TPdfCompactor
{
public:
    // The compacted file; empty when there is nothing to gain or the file is not understood.
    static QByteArray Compact(const QByteArray &pdf);
    // Compacts a file in place, the new one written beside it and renamed over it, so that the
    // file is always either Qt's or the whole compacted one. False when the file stays as it
    // was (not a plain file, not understood, not writable).
    static bool CompactFile(const QString &fileName);
};
