#include "richedit/URLDetection.h"

#include <algorithm>
#include <array>

namespace URLDetection {

bool URLWordChar(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 46 && u <= 58) || (u >= 64 && u <= 90) || u == 92 || (u >= 97 && u <= 122);
}

bool DefaultWordChar(QChar c)
{
    const char16_t u = c.unicode();
    if (u <= 32 || u == 0x7F || u == 0xA0 || c.isSpace() || u == QChar::ParagraphSeparator ||
        u == QChar::LineSeparator || u == QChar::ObjectReplacementCharacter)
        return false;
    static constexpr std::array<char16_t, 8> Excluded = {'<', '>', '"', '{', '}', '|', '^', '`'};
    return std::find(Excluded.begin(), Excluded.end(), u) == Excluded.end();
}

bool EmailShape(const QString &word)
{
    const int at = static_cast<int>(word.indexOf(QLatin1Char('@')));
    // 1-based position at + 1 must lie strictly between 1 and the length.
    if (at < 1 || at + 1 >= word.size())
        return false;
    const int dot = static_cast<int>(word.indexOf(QLatin1Char('.'), at + 1));
    return dot > at + 1;
}

int MatchEntry(const QString &upperWord, const TURLCollection &urls)
{
    for (int i = 1; i < urls.Count(); ++i) {
        const QString prefix =
            QString::fromLatin1(urls.Item(i).Name().c_str()).toUpper() + QLatin1Char(':');
        if (upperWord.size() > prefix.size() && upperWord.startsWith(prefix))
            return i;
    }
    if (!urls.Empty() && EmailShape(upperWord))
        return 0;
    return -1;
}

int DefaultLinkLength(const QString &word)
{
    // Punctuation that closes a sentence or a bracket is not part of a link that ends with it.
    int length = static_cast<int>(word.size());
    static const QString Trailing = QStringLiteral(".,;:!?)]}'\"");
    while (length > 0 && Trailing.contains(word.at(length - 1)))
        --length;
    const QString link = word.left(length).toLower();
    static const std::array<const char *, 16> Schemes = {
        "http:",   "https:", "ftp:",   "file:", "mailto:", "news:",     "nntp:",    "telnet:",
        "gopher:", "wais:",  "notes:", "tel:",  "callto:", "prospero:", "onenote:", "sip:"};
    for (const char *scheme : Schemes) {
        const QString prefix = QString::fromLatin1(scheme);
        if (link.size() > prefix.size() && link.startsWith(prefix))
            return length;
    }
    if (link.size() > 4 && link.startsWith(QLatin1String("www.")))
        return length;
    if (EmailShape(link))
        return length;
    return 0;
}

int LinkEntry(const std::string &url, const TURLCollection &urls)
{
    const size_t colon = url.find(':');
    if (colon != std::string::npos && colon >= 1) {
        std::string scheme = url.substr(0, colon);
        std::transform(scheme.begin(), scheme.end(), scheme.begin(), [](unsigned char c) {
            return static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
        });
        int entry = -1;
        for (int i = 1; i < urls.Count(); ++i) {
            entry = i;
            if (urls.Item(i).Name() == scheme)
                break;
        }
        return entry;
    }
    const size_t at = url.find('@');
    if (at != std::string::npos && at >= 1 && !urls.Empty())
        return 0;
    return -1;
}

} // namespace URLDetection
