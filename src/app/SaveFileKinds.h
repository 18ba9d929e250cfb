#pragma once

#include <QString>

// What Save As writes for a chosen file name, judged by its extension.
enum class TSaveKind {
    RichText,  // .RTF, .TEM, .INF
    PlainText, // .TXT (written as rich text all the same)
    Html,      // .HTM, .HTML: converted from rich text
    Unknown    // anything else, no extension included: nothing is written
};

// The extension of the file-name part of the path, from its last dot (dot included), in upper
// case; empty when the name has no dot.
QString UpperExtension(const QString &path);

// The extension is looked for as a substring of ".RTF.TEM.INF", then ".TXT", then ".HTM.HTML",
// so shortened forms such as ".RT", ".TX", ".HT" or a lone "." count as well.
TSaveKind SaveKindOf(const QString &path);

// The message shown when Save As is given a name it does not write.
QString UnknownExtensionMessage(const QString &path);
