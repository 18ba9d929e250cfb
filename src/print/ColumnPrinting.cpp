#include "print/ColumnPrinting.h"

#include <QLocale>

#include <cmath>
#include <exception>

QStringList SplitColumns(const QString &text)
{
    // QString::split keeps empty pieces, which is exactly the bar semantics.
    return text.split(QLatin1Char('|'));
}

TColumnSpec ParseColumnFormat(const QString &column, double defaultWidth)
{
    const QLocale locale;
    QString s = column;
    if (s.isEmpty())
        s = QLatin1Char('<') + locale.toString(defaultWidth, 'g', 15);
    else if (s.size() == 1 && QStringLiteral("<>^").contains(s.at(0)))
        s += locale.toString(defaultWidth, 'g', 15);

    TColumnSpec result;
    if (!s.isEmpty()) {
        const QChar c = s.at(0);
        if (c == QLatin1Char('<') || c == QLatin1Char('>') || c == QLatin1Char('^')) {
            result.alignment = c == QLatin1Char('>')   ? TColumnAlignment::Right
                               : c == QLatin1Char('^') ? TColumnAlignment::Centre
                                                       : TColumnAlignment::Left;
            s.remove(0, 1);
        }
    }
    bool ok = false;
    const double width = locale.toDouble(s.trimmed(), &ok);
    result.width = ok && std::isfinite(width) ? width : defaultWidth;
    return result;
}

QString ReplaceToken(const QString &token, const QString &value, const QString &text)
{
    if (token.isEmpty() || value.contains(token))
        return text;
    QString result = text;
    // Occurrences are replaced one at a time from the front, so that a token formed by the
    // replacement and the text after it is replaced as well.
    for (int at = result.indexOf(token); at >= 0; at = result.indexOf(token))
        result = result.left(at) + value + result.mid(at + token.size());
    return result;
}

QString FitText(const QString &text, int width, const std::function<int(const QString &)> &measure)
{
    try {
        if (measure(text) <= width)
            return text;
        int lo = 1;
        int hi = int(text.size());
        int previous = 0;
        int mid = 0;
        for (;;) {
            mid = (lo + hi) / 2;
            const int w = measure(text.left(mid));
            if (w > width)
                hi = mid;
            else if (w < width)
                lo = mid;
            else
                lo = hi;
            if (mid == previous || hi <= lo)
                break;
            previous = mid;
        }
        return text.left(std::max(mid, 1));
    } catch (const std::exception &) {
        return text;
    }
}

int RoundHalfEven(double value)
{
    return int(std::nearbyint(value));
}
