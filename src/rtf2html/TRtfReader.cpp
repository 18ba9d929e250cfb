#include "rtf2html/TRtfReader.h"

#include "rtf2html/ERtfToHtmlError.h"
#include "rtf2html/RtfReaderChars.h"
#include "rtf2html/RtfWords.h"
#include "rtf2html/THtmlWriter.h"

#include <algorithm>

namespace Rtf2Html {

using namespace ReaderChars;

TRtfReader::TRtfReader(THtmlWriter &writer, TRtfLineSource &source)
    : W(writer), FSource(source), FStyleTable(KMaxStyle + 1)
{
    FFormat.Reset(TRtfFormat::TScope::All);
    FTocStyles.fill(-1);
    FHeadingStyles.fill(-1);
}

// ---------------------------------------------------------------------------------------
// The main reader

void TRtfReader::Run()
{
    std::vector<TRtfFormat> stack; // the format saved by each open group
    if (!ReadNextLine())
        return;
    for (;;) {
        if (FPos >= FText.size()) {
            if (!ReadNextLine())
                break;
            continue;
        }
        const char c = FText[FPos];
        if (c == '{') {
            FFallbackLeft = 0;
            stack.push_back(FFormat);
            ++FPos;
        } else if (c == '}') {
            FFallbackLeft = 0;
            ++FPos;
            FLineStart = FPos;
            if (stack.empty())
                return; // the outermost level has ended
            EndGroup(stack);
        } else if (c == '\\') {
            Backslash();
        } else if (FFallbackLeft > 0) {
            --FFallbackLeft;
            ++FPos;
        } else {
            ++FPos;
            TextItem(std::string_view(&FText[FPos - 1], 1), true);
        }
    }
    // The input ended inside groups: they end with it.
    while (!stack.empty())
        EndGroup(stack);
}

void TRtfReader::EndGroup(std::vector<TRtfFormat> &stack)
{
    const TRtfFormat saved = stack.back();
    stack.pop_back();
    if (FFormat.DiffersFrom(saved)) {
        FOut.clear();
        W.CloseAllTags(FOut);
        W.WriteOut(FOut);
        W.FormatChanged = true;
        FFormat = saved;
    } else {
        // These have no tag, but end with their group all the same.
        FFormat.Caps = saved.Caps;
        FFormat.CodePage = saved.CodePage;
        FFormat.UnicodeSkip = saved.UnicodeSkip;
    }
}

void TRtfReader::TextItem(std::string_view item, bool withRun)
{
    // The first half of a character that something else follows stays alone.
    FHighSurrogate = 0;
    if (W.PendingLi) {
        W.WriteOut("<LI type=disc>");
        W.PendingLi = false;
    }
    if (FNumberedList && W.NewParagraph && !FPendingNumberText.empty()) {
        FOut.clear();
        W.EmitItem("&&" + FPendingNumberText, FFormat, FOut);
        W.WriteOut(FOut);
        FPendingNumberText.clear();
    }
    // The item may lie in the line; the line stays as it is until the item is rendered.
    FOut.clear();
    W.EmitItem(item, FFormat, FOut);
    if (withRun)
        AppendPlainRun(FOut);
    W.WriteOut(FOut);
}

// The characters up to the next backslash or brace, when each of them would go out as its
// own item with nothing else, join the output of the item before them: the same as item
// by item, since their rendering holds no "<" or ">" (no cut point, optimiser change or
// early write can fall between them).
void TRtfReader::AppendPlainRun(std::string &html)
{
    if (W.PendingLi || !W.PlainTextReady())
        return;
    FPos += THtmlWriter::AppendTextRun(std::string_view(FText).substr(FPos), FFormat, html);
}

void TRtfReader::Backslash()
{
    TRtfToken token;
    if (!TokenAtPosition(token)) {
        // A backslash at the end of a line produces nothing.
        FPos = FText.size();
        return;
    }
    if (SkipFallback(token))
        return;
    if (token.Kind == TRtfToken::TKind::Hex) {
        if (HexEscape(FFormat))
            TextItem(FItem);
        return;
    }
    FDecoder.Interrupt();
    if (token.Kind == TRtfToken::TKind::ControlWord) {
        MainWord(TakeWord(token));
        return;
    }
    switch (token.Symbol) {
    case '\\':
    case '{':
    case '}':
        FPos += 2;
        if (!FFormat.Hidden)
            TextItem(std::string_view(&FText[FPos - 1], 1));
        return;
    case '~':
        FPos += 2;
        if (!FFormat.Hidden)
            TextItem("&nbsp;");
        return;
    case '_':
        FPos += 2;
        if (!FFormat.Hidden)
            TextItem("-");
        return;
    case '*':
        Destination();
        return;
    default:
        FPos += 2;
        return;
    }
}

void TRtfReader::MainWord(const TWord &word)
{
    switch (word.Id) {
    case TWordId::FontTbl:
        ReadFontTable();
        return;
    case TWordId::ColorTbl:
        ReadColorTable();
        return;
    case TWordId::StyleSheet:
        ReadStyleSheet();
        return;
    case TWordId::Trowd:
        FOut.clear();
        W.CloseAllTags(FOut);
        W.WriteOut(FOut);
        W.CloseLists();
        ReadTable();
        return;
    default:
        break;
    }
    if (word.Letters() == "s" && !word.Param().empty() &&
        std::all_of(word.Param().begin(), word.Param().end(), IsDigit)) {
        ApplyStyle(word.Param());
    } else if (IsMainSkipped(word.Id)) {
        SkipGroup();
        if (word.Is(TWordId::Pict)) {
            FOut.clear();
            W.EmitItem("&pict;", FFormat, FOut);
            W.WriteOut(FOut);
        }
    } else {
        if (W.LinkOpen)
            W.WriteOut("</A>");
        if (UnicodeWord(word, FFormat, FItem)) {
            W.LinkOpen = false;
            if (!FItem.empty())
                TextItem(FItem);
            return;
        }
        FWordOut.clear();
        DoControlWord(word, FFormat, FWordOut);
        W.WriteOut(FWordOut);
        W.LinkOpen = false;
    }
}

void TRtfReader::Destination()
{
    // The reader stands on the backslash of "\*".
    Ensure(7);
    const bool numbering = FText.compare(FPos + 2, 3, "\\pn") == 0 && FPos + 5 < FText.size() &&
                           (FText[FPos + 5] == ' ' || FText[FPos + 5] == '\\');
    const bool bookmark = FText.compare(FPos + 2, 5, "\\bkmk") == 0;
    FPos += 2;
    if (numbering) {
        ReadNumbering();
        return;
    }
    if (bookmark && !FBookmarkParagraph) {
        W.WriteOut("<P>");
        FBookmarkParagraph = true;
    }
    SkipGroup();
}

} // namespace Rtf2Html
