#include "richedit/TextBreaks.h"

#include "rtf/TDocumentText.h"

bool IsFrameMark(QChar c)
{
    return c == QChar(0xFDD0) || c == QChar(0xFDD1) || c == QChar::ParagraphSeparator;
}

QString NormalizeBreaks(const QString &text)
{
    return TDocumentText::DocumentForm(text);
}
