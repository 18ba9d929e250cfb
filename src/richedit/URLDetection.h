#pragma once

#include "richedit/TURLCollection.h"

#include <QChar>
#include <QString>

#include <string>

// The word and link rules of URL detection, free of any control.
namespace URLDetection {

// Characters a URL word of the extended scan is made of: "." "/" "0"-"9" ":" "@" "A"-"Z", the
// backslash and "a"-"z". Everything else ("-", "_", "?", "=", "&", "%", "#", "~", spaces,
// breaks, characters above 127) ends a word.
bool URLWordChar(QChar c);

// Characters a link found by the control's own detection may hold: anything but white space,
// breaks and the characters that cannot stand in a URL.
bool DefaultWordChar(QChar c);

// The e-mail shape: an "@" at a 1-based position p with 1 < p < length, and in the part after
// that "@" a "." at a position above 1.
bool EmailShape(const QString &word);

// The entry an upper-cased word of the extended scan matches: the first of the entries 1, 2, ...
// whose upper-cased name plus ":" starts the word and is shorter than it; else 0 when the word
// has the e-mail shape and there is an entry 0; else -1.
int MatchEntry(const QString &upperWord, const TURLCollection &urls);

// The control's own detection: a known scheme with a colon and more, "www." with more, or an
// e-mail address. Trailing punctuation is not part of the link: the answer is the length of
// the link at the start of the word, 0 when the word is none.
int DefaultLinkLength(const QString &word);

// The entry that a link text reports (8-bit text): with ":" at a 1-based position above 1, the
// first of the entries 1 .. Count - 1 whose name equals the lower-cased scheme, else the last of
// them; otherwise with "@" at a position above 1, entry 0; otherwise -1. Also -1 when the rule
// names an entry the collection does not have.
int LinkEntry(const std::string &url, const TURLCollection &urls);

} // namespace URLDetection
