#include "richedit/WordBreaks.h"

#include "richedit/RichEditTypes.h"
#include "richedit/TextSearch.h"

#include <algorithm>

namespace {
int ClassOf(QChar c)
{
    using namespace TWordBreak;
    if (c == QLatin1Char('\r') || c == QLatin1Char('\n') || c == QLatin1Char('\v') ||
        c == QLatin1Char('\f') || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
        return ClassLineBreak;
    if (c.isSpace())
        return ClassSpace;
    if (IsWordChar(c))
        return ClassWord;
    return ClassPunctuation;
}
} // namespace

int FindWordBreakIn(const QString &text, int code, int position)
{
    using namespace TWordBreak;
    const int length = static_cast<int>(text.size());
    const int p = std::clamp(position, 0, length);
    auto classAt = [&](int i) { return ClassOf(text.at(i)); };
    auto isBlank = [&](int i) {
        const int c = classAt(i);
        return c == ClassSpace || c == ClassLineBreak;
    };

    switch (code) {
    case WB_CLASSIFY: {
        if (p >= length)
            return ClassLineBreak | WBF_BREAKLINE;
        const int c = classAt(p);
        if (c == ClassSpace)
            return c | WBF_ISWHITE;
        if (c == ClassLineBreak)
            return c | WBF_ISWHITE | WBF_BREAKLINE;
        return c;
    }
    case WB_ISDELIMITER:
        return p < length && isBlank(p) ? 1 : 0;
    case WB_LEFTBREAK: {
        int i = p;
        if (i < length) {
            const int c = classAt(i);
            while (i > 0 && classAt(i - 1) == c)
                --i;
        }
        return i;
    }
    case WB_RIGHTBREAK: {
        int i = p;
        if (i < length) {
            const int c = classAt(i);
            while (i < length && classAt(i) == c)
                ++i;
        }
        return i;
    }
    case WB_LEFT:
    case WB_MOVEWORDLEFT: {
        int i = p;
        while (i > 0 && isBlank(i - 1))
            --i;
        if (i > 0) {
            const int c = classAt(i - 1);
            while (i > 0 && classAt(i - 1) == c)
                --i;
        }
        return i;
    }
    case WB_RIGHT:
    case WB_MOVEWORDRIGHT: {
        int i = p;
        if (i < length && !isBlank(i)) {
            const int c = classAt(i);
            while (i < length && classAt(i) == c)
                ++i;
        }
        while (i < length && classAt(i) == ClassSpace)
            ++i;
        // A paragraph break is a stop of its own.
        if (i == p && i < length)
            ++i;
        return i;
    }
    default:
        return 0;
    }
}
