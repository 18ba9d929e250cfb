#include "rtf2html/TRtfReader.h"

#include "rtf2html/RtfReaderChars.h"
#include "rtf2html/THtmlWriter.h"

#include <algorithm>

namespace Rtf2Html {

using namespace ReaderChars;

namespace {
// Text of the document that goes out with markup: its "<", ">" and "&" escaped.
std::string EscapedMarkup(std::string_view text)
{
    std::string result;
    for (const char c : text) {
        if (c == '<')
            result += "&lt;";
        else if (c == '>')
            result += "&gt;";
        else if (c == '&')
            result += "&amp;";
        else
            result += c;
    }
    return result;
}
} // namespace

// ---------------------------------------------------------------------------------------
// Paragraph numbering

void TRtfReader::ReadNumbering()
{
    FListTextBefore.clear();
    FListTextAfter.clear();
    std::string startText;
    uint64_t depth = 0;
    for (;;) {
        if (FPos >= FText.size()) {
            if (!ReadNextLine())
                break;
            continue;
        }
        const char c = FText[FPos];
        if (c == '{') {
            ++depth;
            ++FPos;
            continue;
        }
        if (c == '}') {
            if (depth == 0)
                break; // the group's own "}" is left for the group to end
            --depth;
            ++FPos;
            continue;
        }
        if (c != '\\') {
            ++FPos;
            continue;
        }
        TRtfToken token;
        if (!TokenAtPosition(token)) {
            FPos = FText.size();
            continue;
        }
        if (token.Kind != TRtfToken::TKind::ControlWord) {
            const bool hex = token.Kind == TRtfToken::TKind::Hex;
            FPos = std::min(FPos + (hex ? 4 : 2), FText.size());
            continue;
        }
        // The word's text is kept: reading the text after "pntxta" may change the line.
        const TWord word = TakeWord(token);
        const bool spaceEnded = FPos > word.Start + 1 + word.Text.size();
        const std::string text(word.Text);
        const char level = text.size() > 5 && text.compare(0, 5, "pnlvl") == 0 ? text[5] : 0;
        if (text == "pnlvlblt" || (level >= '5' && level <= '9')) {
            FNumberedList = false;
            W.InBulletList = true;
            ++W.UlDepth;
            W.WriteOut("<UL><LI type=disc>");
        } else if (text == "pnlvlbody") {
            FNumberedList = true;
            W.InBulletList = false;
        } else if (text == "pnlvlcont" || (level >= '1' && level <= '4')) {
            FNumberedList = false;
            W.InBulletList = false;
        } else if (text == "pndec" || text == "pncard" || text == "pnucltr" || text == "pnucrm" ||
                   text == "pnlcltr" || text == "pnlcrm" || text == "pnord" || text == "pnordt") {
            FNumberFormatSeen = true;
        } else if (text.find("pnstart") != std::string::npos) {
            if (FNumberFormatSeen && FNumberedList) {
                startText = text.size() > 7 ? text.substr(7) : std::string();
                FListCounter = ToInt(startText, 1);
            }
        } else if ((text == "pntxta" || text == "pntxtb") && FNumberedList) {
            // The text starts after the character that ended the word.
            size_t start = FPos;
            if (!spaceEnded && FPos < FText.size() && FText[FPos] != '}')
                ++start;
            const size_t close = FindAny(start, "}");
            const size_t end = close == std::string::npos ? FText.size() : close;
            start = std::min(start, end);
            // The text goes out as markup with the number: its own markup characters are
            // escaped.
            (text == "pntxta" ? FListTextAfter : FListTextBefore) =
                EscapedMarkup(std::string_view(FText).substr(start, end - start));
            FPos = end;
        }
    }
    if (FNumberedList && !W.InBulletList) {
        const std::string text = FListTextBefore + startText + FListTextAfter;
        if (!text.empty()) {
            FOut.clear();
            W.EmitItem("&&" + text, FFormat, FOut);
            W.WriteOut(FOut);
        }
    }
}

} // namespace Rtf2Html
