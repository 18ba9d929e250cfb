#include "richedit/TextSearch.h"

#include "richedit/RichEditTypes.h"

#include <algorithm>

bool IsWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

QString RangeForm(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\r')) {
            if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            out += QLatin1Char('\r');
        } else if (c == QLatin1Char('\n') || c == QChar::ParagraphSeparator) {
            out += QLatin1Char('\r');
        } else if (c == QChar::LineSeparator) {
            out += QLatin1Char('\v');
        } else {
            out += c;
        }
    }
    return out;
}

int LocateIn(const QString &text, const QString &needle, int startPos, int length, unsigned options)
{
    const int n = static_cast<int>(needle.size());
    if (n == 0)
        return -1;
    const bool backward = options & TLocateOption::loBackward;
    const bool wholeWord = options & TLocateOption::loWholeWord;
    const Qt::CaseSensitivity cs =
        (options & TLocateOption::loMatchCase) ? Qt::CaseSensitive : Qt::CaseInsensitive;
    const int size = static_cast<int>(text.size());
    const int cpMax = length <= 0 ? -1 : (backward ? startPos - length : startPos + length);

    auto isWhole = [&](int at) {
        const bool startOk = at == 0 || !IsWordChar(needle.front()) || !IsWordChar(text.at(at - 1));
        const bool endOk =
            at + n == size || !IsWordChar(needle.back()) || !IsWordChar(text.at(at + n));
        return startOk && endOk;
    };

    if (!backward) {
        const int low = std::clamp(startPos, 0, size);
        const int high = cpMax < 0 ? size : std::clamp(cpMax, 0, size);
        for (qsizetype at = text.indexOf(needle, low, cs); at >= 0 && at + n <= high;
             at = text.indexOf(needle, at + 1, cs)) {
            if (!wholeWord || isWhole(static_cast<int>(at)))
                return static_cast<int>(at);
        }
        return -1;
    }
    // Backwards: from startPos down to cpMax (-1: the start of the text).
    const int high = std::clamp(startPos, 0, size);
    const int low = cpMax < 0 ? 0 : std::clamp(cpMax, 0, size);
    if (high - n < low)
        return -1;
    for (qsizetype at = text.lastIndexOf(needle, high - n, cs); at >= low;
         at = at == 0 ? -1 : text.lastIndexOf(needle, at - 1, cs)) {
        if (!wholeWord || isWhole(static_cast<int>(at)))
            return static_cast<int>(at);
    }
    return -1;
}

std::vector<int> LocateAllIn(const QString &text, const QString &needle, unsigned options)
{
    std::vector<int> found;
    const unsigned forward = options & ~TLocateOption::loBackward;
    for (int at = LocateIn(text, needle, 0, 0, forward); at >= 0;
         at = LocateIn(text, needle, at + static_cast<int>(needle.size()), 0, forward))
        found.push_back(at);
    return found;
}
