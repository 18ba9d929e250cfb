#include "rtf2html/TRtfReader.h"

#include "rtf2html/ERtfToHtmlError.h"
#include "rtf2html/RtfReaderChars.h"
#include "rtf2html/THtmlWriter.h"

#include <algorithm>

namespace Rtf2Html {

using namespace ReaderChars;

// ---------------------------------------------------------------------------------------
// Tables of text

void TRtfReader::ReadTable()
{
    TRtfFormat format;
    format.Reset(TRtfFormat::TScope::All);
    std::vector<TTableGroup> stack; // the format saved by each open group, and where it opened
    std::vector<std::pair<size_t, size_t>> cuts;
    std::string pending;
    bool lookAhead = false;
    TTableState state = TTableState::InCell;
    auto setLookAhead = [&](bool on) {
        lookAhead = on;
        FAppend = on;
        cuts.clear();
    };
    // In a cell the output goes straight out; after a cell or a row it waits in pending.
    auto out = [&](std::string_view text) {
        if (text.empty())
            return;
        if (state == TTableState::InCell)
            W.WriteOut(text);
        else
            pending += text;
    };
    auto emit = [&](std::string_view item) {
        FHighSurrogate = 0;
        FOut.clear();
        W.EmitItem(item, format, FOut);
        out(FOut);
    };
    // Writes text, the closing tags and then tail.
    auto writeClosed = [&](std::string_view text, std::string_view tail) {
        FOut.assign(text.data(), text.size());
        W.CloseAllTags(FOut);
        FOut += tail;
        W.WriteOut(FOut);
    };

    W.WriteOut("<BR><TABLE BORDER=2><TR><TD>");
    for (;;) {
        if (FPos >= FText.size()) {
            if (!ReadNextLine())
                break;
            continue;
        }
        const char c = FText[FPos];
        if (c == '{') {
            FFallbackLeft = 0;
            stack.push_back({format, FPos, FVersion});
            ++FPos;
            continue;
        }
        if (c == '}') {
            FFallbackLeft = 0;
            ++FPos;
            if (!lookAhead)
                FLineStart = FPos;
            if (!stack.empty()) {
                const TRtfFormat saved = stack.back().Saved;
                stack.pop_back();
                if (format.DiffersFrom(saved)) {
                    W.FormatChanged = true;
                    format = saved;
                } else {
                    format.Caps = saved.Caps;
                    format.CodePage = saved.CodePage;
                    format.UnicodeSkip = saved.UnicodeSkip;
                }
            }
            continue;
        }
        if (c != '\\') {
            ++FPos;
            if (FFallbackLeft > 0)
                --FFallbackLeft;
            else
                emit(std::string_view(&FText[FPos - 1], 1));
            continue;
        }
        TRtfToken token;
        if (!TokenAtPosition(token)) {
            FPos = FText.size();
            continue;
        }
        if (SkipFallback(token))
            continue;
        if (token.Kind == TRtfToken::TKind::Hex) {
            if (HexEscape(format))
                emit(FItem);
            continue;
        }
        FDecoder.Interrupt();
        if (token.Kind == TRtfToken::TKind::ControlSymbol) {
            const char next = token.Symbol;
            FPos += 2;
            if (next == '\\' || next == '{' || next == '}' || next == '~' || next == '_') {
                if (!format.Hidden)
                    emit(next == '~'   ? std::string_view("&nbsp;")
                         : next == '_' ? std::string_view("-")
                                       : std::string_view(&FText[FPos - 1], 1));
            } else if (next == '*') {
                SkipGroup();
                if (lookAhead)
                    CutGroup(stack, cuts);
            }
            continue;
        }

        const TWord word = TakeWord(token);
        switch (word.Id) {
        case TWordId::Cell:
            setLookAhead(false);
            if (state == TTableState::AfterCell)
                writeClosed("<TD>" + pending, "</TD>");
            else if (state == TTableState::AfterRow)
                writeClosed("<TR><TD>" + pending, "</TD>");
            else
                writeClosed("", "</TD>");
            format.Reset(TRtfFormat::TScope::All);
            pending.clear();
            state = TTableState::AfterCell;
            continue;
        case TWordId::Row:
            format.Reset(TRtfFormat::TScope::All);
            pending.clear();
            setLookAhead(false);
            W.WriteOut("</TR>");
            state = TTableState::AfterRow;
            continue;
        case TWordId::Trowd:
            setLookAhead(false);
            if (state == TTableState::AfterRow) {
                pending.clear();
                W.WriteOut("<TR><TD>");
                format.Reset(TRtfFormat::TScope::All);
                state = TTableState::InCell;
            }
            continue;
        case TWordId::InTbl:
            setLookAhead(false);
            continue;
        case TWordId::Par:
        case TWordId::Sect:
            FOut.clear();
            W.CloseAllTags(FOut);
            if (format.Right)
                FOut += "</DIV>";
            if (format.Center)
                FOut += "</CENTER>";
            FOut += "<BR>";
            if (state == TTableState::AfterCell)
                pending += FOut;
            else if (state == TTableState::InCell)
                W.WriteOut(FOut);
            continue;
        case TWordId::WidCtlPar:
            if (Ensure(6) && FText.compare(FPos, 6, "\\intbl") == 0)
                continue;
            [[fallthrough]];
        case TWordId::Pard:
            if (state == TTableState::AfterRow) {
                if (lookAhead) {
                    // A second paragraph start after the row: the table has ended, and what
                    // followed the first is read again as body text.
                    W.WriteOut("</TABLE><BR>");
                    RereadAfterTable(cuts);
                    return;
                }
                FLineStart = word.Start;
                setLookAhead(true);
            }
            if (word.Is(TWordId::Pard)) {
                FWordOut.clear();
                DoControlWord(word, format, FWordOut);
                out(FWordOut);
            }
            continue;
        default:
            break;
        }
        if (IsTableSkipped(word.Id)) {
            SkipGroup();
            if (lookAhead)
                CutGroup(stack, cuts);
            if (word.Is(TWordId::Pict))
                emit("&pict;");
        } else if (UnicodeWord(word, format, FItem)) {
            if (!FItem.empty())
                emit(FItem);
        } else {
            FWordOut.clear();
            DoControlWord(word, format, FWordOut);
            out(FWordOut);
        }
    }
    // The input ended inside the table.
    FAppend = false;
}

// Marks the group that was just skipped (the reader stands on its "}") for removal from the
// text that is read again when the table ends.
void TRtfReader::CutGroup(const std::vector<TTableGroup> &stack,
                          std::vector<std::pair<size_t, size_t>> &cuts)
{
    size_t open = FLineStart;
    if (!stack.empty() && stack.back().Version == FVersion && stack.back().Open > FLineStart)
        open = stack.back().Open;
    const size_t close = std::min(FPos, FText.size() - (FText.empty() ? 0 : 1));
    if (FText.empty() || close < open)
        return;
    while (!cuts.empty() && cuts.back().first >= open)
        cuts.pop_back();
    if (!cuts.empty() && cuts.back().second >= open)
        open = cuts.back().second + 1;
    if (open <= close)
        cuts.emplace_back(open, close);
}

void TRtfReader::RereadAfterTable(const std::vector<std::pair<size_t, size_t>> &cuts)
{
    std::string text;
    size_t from = FLineStart;
    for (const auto &[open, close] : cuts) {
        if (open < from)
            continue;
        text.append(FText, from, open - from);
        from = close + 1;
    }
    if (from < FText.size())
        text.append(FText, from, std::string::npos);
    FText.swap(text);
    FPos = 0;
    FLineStart = 0;
    FAppend = false;
    ++FVersion;
}

} // namespace Rtf2Html
