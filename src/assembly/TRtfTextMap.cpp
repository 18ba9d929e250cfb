#include "assembly/TRtfTextMap.h"

#include "assembly/TRtfTokenizer.h"

TRtfTextMap::TRtfTextMap(const std::string &rawText)
{
    Parse(rawText);
}

void TRtfTextMap::Append(char c, std::size_t offset, bool literal)
{
    FText.push_back(c);
    FOffsets.push_back(offset);
    FLiteral.push_back(literal);
}

void TRtfTextMap::Parse(const std::string &raw)
{
    std::vector<bool> skip(1, false); // of every open group
    TRtfTokenizer tokens(raw);
    TRtfTokenizer::TToken token;
    while (tokens.Next(token)) {
        switch (token.Kind) {
        case TRtfTokenizer::TKind::GroupStart:
            skip.push_back(skip.back());
            break;
        case TRtfTokenizer::TKind::GroupEnd:
            if (skip.size() > 1)
                skip.pop_back();
            break;
        case TRtfTokenizer::TKind::Destination:
            skip.back() = true;
            break;
        case TRtfTokenizer::TKind::ControlWord:
            if (TRtfTokenizer::IsSkippedDestination(token.Word))
                skip.back() = true;
            break;
        case TRtfTokenizer::TKind::Char:
            if (!skip.back())
                Append(token.Char, token.Offset, token.Literal);
            break;
        }
    }
}
