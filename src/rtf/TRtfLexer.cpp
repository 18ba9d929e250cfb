#include "rtf/TRtfLexer.h"

#include <algorithm>

std::size_t TRtfLexer::FallbackEnd(std::size_t position, int count) const
{
    TRtfLexer rest(FRaw, position);
    TRtfToken token;
    while (count > 0) {
        if (!rest.Next(token))
            return rest.Position();
        if (token.Kind == TRtfToken::TKind::GroupStart || token.Kind == TRtfToken::TKind::GroupEnd)
            return token.Offset;
        if (token.Kind != TRtfToken::TKind::Text) {
            --count;
            continue;
        }
        // A run counts byte by byte: the fallback may end inside it.
        const std::size_t taken = std::min<std::size_t>(token.Length, count);
        count -= static_cast<int>(taken);
        if (count == 0)
            return token.Offset + taken;
    }
    return rest.Position();
}

std::size_t TRtfLexer::GroupClose(std::string_view data, std::size_t open)
{
    TRtfLexer lexer(data, open);
    TRtfToken token;
    int depth = 0;
    while (lexer.Next(token)) {
        if (token.Kind == TRtfToken::TKind::GroupStart)
            ++depth;
        else if (token.Kind == TRtfToken::TKind::GroupEnd && --depth == 0)
            return token.Offset;
    }
    return std::string_view::npos;
}
