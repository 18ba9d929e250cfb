#pragma once

#include <QString>

// What Save As writes for a chosen file name, judged by its extension.
enum class TSaveKind {
    RichText,  // .RTF, .TEM, .INF
    PlainText, // .TXT
    Html,      // .HTM, .HTML: converted from rich text
    Unknown    // anything else, no extension included: nothing is written
};

// The extension of the file-name part of the path, from its last dot (dot included), in upper
// case; empty when the name has no dot.
QString UpperExtension(const QString &path);

// The extension is looked for as a substring of ".RTF.TEM.INF", then ".TXT", then ".HTM.HTML",
// so shortened forms such as ".RT", ".TX", ".HT" or a lone "." count as well.
TSaveKind SaveKindOf(const QString &path);

// A name whose file is written as plain text (one line a paragraph, CR LF): a plain text name
// of SaveKindOf, or the extension .INF in any case. Every other name the program saves gets
// rich text (or HTML).
bool IsPlainTextName(const QString &path);

// The message shown when Save As is given a name it does not write.
QString UnknownExtensionMessage(const QString &path);
