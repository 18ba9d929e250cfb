#include "app/DecimalSeparator.h"

#include "calc/ExpressionEvaluator.h"
#include "rtf/TCodePage1252.h"

#include <QLocale>

char DecimalSeparatorOf(const QLocale &locale)
{
    const QString separator = locale.decimalPoint();
    if (separator.size() != 1)
        return '.';
    const int byte = TCodePage1252::FromUnicode(separator.at(0).unicode());
    // A separator must not be a digit or a blank, or numbers could not be read at all.
    if (byte <= ' ' || (byte >= '0' && byte <= '9'))
        return '.';
    return static_cast<char>(byte);
}

void UseSystemDecimalSeparator()
{
    SetDecimalSeparator(DecimalSeparatorOf(QLocale::system()));
}
