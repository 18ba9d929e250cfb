#pragma once

#include <QChar>
#include <QString>

// Breaks between the control's texts and its document: in the control's texts CR ends a
// paragraph and VT breaks a line; in the document they are paragraph and line separators.

// Characters of the document's raw text that stand for a break between paragraphs.
bool IsFrameMark(QChar c);

// Plain text as the control stores it: CR, LF and CR LF end a paragraph, VT breaks a line.
QString NormalizeBreaks(const QString &text);
