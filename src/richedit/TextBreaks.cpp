#include "richedit/TextBreaks.h"

#include "richedit/TextSearch.h"

bool IsFrameMark(QChar c)
{
    return c == QChar(0xFDD0) || c == QChar(0xFDD1) || c == QChar::ParagraphSeparator;
}

QString NormalizeBreaks(const QString &text)
{
    QString out = RangeForm(text);
    for (QChar &c : out) {
        if (c == QLatin1Char('\r'))
            c = QChar::ParagraphSeparator;
        else if (c == QLatin1Char('\v'))
            c = QChar::LineSeparator;
    }
    return out;
}
