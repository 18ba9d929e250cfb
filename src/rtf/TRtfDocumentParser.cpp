// The document reader's main loop: groups, control words and symbols, and text.

#include "rtf/TRtfDocumentParser.h"

#include "rtf/TCodePage1252.h"
#include "rtf/TRtfLexer.h"

#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>

namespace RtfReading {

using RtfKeywords::KeywordOf;

char16_t TRtfDocumentParser::DecodeByte(unsigned char byte) const
{
    return TCodePage1252::ToUnicode(byte);
}

bool TRtfDocumentParser::SkipFallback()
{
    if (FSkipCount > 0) {
        --FSkipCount;
        return true;
    }
    return false;
}

void TRtfDocumentParser::TextChar(char16_t c)
{
    if (ExcessSkipping())
        return;
    GroupState &s = State();
    switch (s.Dest) {
    case Destination::Body:
        // Characters the document keeps for its own structure, and control characters
        // other than tab and page break, have no place in the text.
        if ((c < 0x20 && c != u'\t' && c != 0x000C) || c == QChar::ObjectReplacementCharacter ||
            c == QChar::ParagraphSeparator || c == 0xFDD0 || c == 0xFDD1)
            break;
        if (FPending.isEmpty() || FPendingFormat != s.Char) {
            Flush();
            FPendingFormat = s.Char;
        }
        FPending += QChar(c);
        NoteContent();
        break;
    case Destination::FieldInstruction:
        if (s.Field > 0 && FFields[static_cast<size_t>(s.Field - 1)].Instruction.size() < 1024)
            FFields[static_cast<size_t>(s.Field - 1)].Instruction += QChar(c);
        break;
    case Destination::FontTable:
    case Destination::FontEntry:
        if (c == u';') {
            EndFontEntry();
        } else if (!FFontNameDone) {
            FFontName += QChar(c);
        }
        break;
    case Destination::LevelText:
        FLevelText += QChar(c);
        break;
    case Destination::PnTextBefore:
        s.Para.PnPrefix += QChar(c);
        break;
    case Destination::PnTextAfter:
        s.Para.PnSuffix += QChar(c);
        break;
    case Destination::ColorTable:
        if (c == u';') {
            FColors.append(FColorSet ? QColor(FRed, FGreen, FBlue) : QColor());
            FRed = FGreen = FBlue = 0;
            FColorSet = false;
        }
        break;
    default:
        break;
    }
}

void TRtfDocumentParser::TextBytes(const char *bytes, int length)
{
    if (ExcessSkipping())
        return;
    GroupState &s = State();
    if (s.Dest == Destination::Picture) {
        for (int i = 0; i < length; ++i) {
            if (!IsHex(bytes[i]))
                continue;
            if (FPictNibble < 0) {
                FPictNibble = HexValue(bytes[i]);
            } else {
                FPict.Data += static_cast<char>((FPictNibble << 4) | HexValue(bytes[i]));
                FPictNibble = -1;
            }
        }
        return;
    }
    if (Skipping(s.Dest))
        return;
    int i = 0;
    while (i < length && SkipFallback())
        ++i;
    if (i >= length)
        return;
    if (s.Dest == Destination::Body) {
        if (FPendingFormat != s.Char || FPending.isEmpty()) {
            Flush();
            FPendingFormat = s.Char;
        }
        const int codePage = CodePage();
        if (codePage == 1252 && FLeadByte < 0) {
            NoteContent();
            const qsizetype old = FPending.size();
            FPending.resize(old + (length - i));
            QChar *out = FPending.data() + old;
            for (; i < length; ++i) {
                const auto byte = static_cast<unsigned char>(bytes[i]);
                // ASCII is itself in code page 1252: no call for most of the text.
                *out++ = QChar(byte < 0x80 ? char16_t(byte) : DecodeByte(byte));
            }
            return;
        }
    }
    const int codePage = CodePage();
    for (; i < length; ++i) {
        if (const char16_t c = Decode(static_cast<unsigned char>(bytes[i]), codePage))
            TextChar(c);
    }
}

void TRtfDocumentParser::PushGroup()
{
    FStarPending = false;
    FSkipCount = 0;
    if (FStack.size() >= MaxGroupStates) {
        FExcess.push_back(ExcessSkipping());
        return;
    }
    GroupState state = State();
    state.FieldOwner = false;
    state.ShapeTextOwner = false;
    // An entry group of a table gets the entry's own destination.
    switch (state.Dest) {
    case Destination::FontTable:
        state.Dest = Destination::FontEntry;
        FFontEntryNumber = -1;
        FFontName.clear();
        FFontNameDone = false;
        FFontCharset = -1;
        break;
    case Destination::StyleSheet:
        state.Dest = Destination::StyleEntry;
        state.Char = CharState();
        state.Para = ParaState();
        FStyleNumber = 0;
        FCharStyle = false;
        break;
    case Destination::FontEntry:
    case Destination::StyleEntry:
    case Destination::ColorTable:
    case Destination::LevelText:
        // Groups nested in table entries (\*\panose, \*\falt, ...) hold nothing we read.
        state.Dest = Destination::Skip;
        break;
    default:
        break;
    }
    FStack.push_back(std::move(state));
}

void TRtfDocumentParser::PopGroup()
{
    FStarPending = false;
    FSkipCount = 0;
    if (!FExcess.empty()) {
        FExcess.pop_back();
        return;
    }
    if (FStack.size() <= 1) {
        // The document group ends: the rest of the data is not read.
        FDone = true;
        return;
    }
    if (FPagePartStart >= 0 && FStack.size() == FPagePartDepth) {
        FPageParts.Groups += FData.mid(FPagePartStart, FPos + 1 - FPagePartStart) + "\r\n";
        FPagePartStart = -1;
    }
    const bool keptEnds = FKeptStart >= 0 && FStack.size() == FKeptDepth;
    // Text of a text box makes paragraphs of its own.
    if (FStack.back().ShapeTextOwner && (!FPending.isEmpty() || FParagraphHasContent))
        EndParagraph();
    GroupState ended = std::move(FStack.back());
    FStack.pop_back();
    GroupState &parent = State();
    if (ended.FieldOwner && ended.Field > 0)
        EndField(FFields[static_cast<size_t>(ended.Field - 1)]);
    switch (ended.Dest) {
    case Destination::FontEntry:
        if (parent.Dest == Destination::FontTable)
            EndFontEntry();
        break;
    case Destination::StyleEntry:
        if (parent.Dest == Destination::StyleSheet)
            EndStyleEntry(ended);
        break;
    case Destination::LevelText:
        if (parent.Dest == Destination::ListLevel)
            FLevel.Text = FLevelText;
        break;
    case Destination::ListLevel:
        if (parent.Dest == Destination::List)
            FLevels.append(FLevel);
        break;
    case Destination::List:
        if (parent.Dest == Destination::ListTable)
            FLists.insert(FListId, FLevels);
        break;
    case Destination::ListOverride:
        if (parent.Dest == Destination::ListOverrideTable)
            FOverrides.insert(FOverrideNumber, FOverrideListId);
        break;
    case Destination::PnTextBefore:
        if (parent.Dest == Destination::Pn)
            parent.Para.PnPrefix = ended.Para.PnPrefix;
        break;
    case Destination::PnTextAfter:
        if (parent.Dest == Destination::Pn)
            parent.Para.PnSuffix = ended.Para.PnSuffix;
        break;
    case Destination::Pn:
        if (parent.Dest == Destination::Body || parent.Dest == Destination::StyleEntry) {
            parent.Para.Explicit |= ParaNumbering;
            parent.Para.PnKind = ended.Para.PnKind;
            parent.Para.PnStyle = ended.Para.PnStyle;
            parent.Para.PnStart = ended.Para.PnStart;
            parent.Para.PnPrefix = ended.Para.PnPrefix;
            parent.Para.PnSuffix = ended.Para.PnSuffix;
        }
        break;
    case Destination::Picture:
        if (parent.Dest != Destination::Picture)
            EndPicture();
        break;
    case Destination::Footnote:
        if (parent.Dest != Destination::Footnote && !FFootnotes.empty() &&
            FFootnotes.back().End < 0)
            FFootnotes.back().End = FPos;
        break;
    default:
        break;
    }
    if (keptEnds)
        EndKept();
}

void TRtfDocumentParser::ControlWord(const Word &word, bool hasParameter, int parameter)
{
    const bool star = FStarPending;
    FStarPending = false;
    if (!FExcess.empty() && ExcessWord(word, star))
        return;
    GroupState &s = State();

    if (Skipping(s.Dest)) {
        if (word.Id == Kw::ud && s.InUpr)
            s.Dest = s.UprParent;
        return;
    }
    if (star) {
        // Destinations of the body whose content is shown, kept or read elsewhere.
        static const KwSet BodyDestinations = {Kw::footnote,  Kw::fldinst,        Kw::fldrslt,
                                               Kw::shpinst,   Kw::nesttableprops, Kw::do_,
                                               Kw::nonshppict};
        if (word.Id == Kw::pn || word.Id == Kw::listtable || word.Id == Kw::listoverridetable ||
            word.Id == Kw::shppict || word.Id == Kw::ud ||
            ((word.Id == Kw::cs || word.Id == Kw::ts) && s.Dest == Destination::StyleEntry)) {
            if (word.Id == Kw::ts)
                s.Dest = Destination::Skip;
            else if (word.Id == Kw::cs)
                FormattingWord(word, hasParameter, parameter);
            else
                Destinations(word);
        } else if (s.Dest == Destination::Body && BodyDestinations.contains(word.Id)) {
            Destinations(word);
        } else {
            s.Dest = Destination::Skip;
        }
        return;
    }

    switch (s.Dest) {
    case Destination::FontTable:
    case Destination::FontEntry:
        if (word.Id == Kw::f) {
            if (s.Dest == Destination::FontTable)
                EndFontEntry();
            FFontEntryNumber = parameter;
            FFontName.clear();
            FFontNameDone = false;
            FFontCharset = -1;
        } else if (word.Id == Kw::fcharset) {
            FFontCharset = parameter;
        } else if (word.Id == Kw::u) {
            TextChar(static_cast<char16_t>(parameter & 0xFFFF));
            FSkipCount = s.UnicodeSkip;
        }
        return;
    case Destination::ColorTable:
        if (word.Id == Kw::red) {
            FRed = qBound(0, parameter, 255);
            FColorSet = true;
        } else if (word.Id == Kw::green) {
            FGreen = qBound(0, parameter, 255);
            FColorSet = true;
        } else if (word.Id == Kw::blue) {
            FBlue = qBound(0, parameter, 255);
            FColorSet = true;
        }
        return;
    case Destination::List:
        if (word.Id == Kw::listid)
            FListId = parameter;
        else
            Destinations(word);
        return;
    case Destination::ListLevel:
        if (word.Id == Kw::levelnfc || word.Id == Kw::levelnfcn)
            FLevel.Nfc = parameter;
        else if (word.Id == Kw::levelstartat)
            FLevel.Start = qBound(0, parameter, 32767);
        else if (word.Id == Kw::levelnumbers)
            s.Dest = Destination::Skip;
        else
            Destinations(word);
        return;
    case Destination::ListOverride:
        if (word.Id == Kw::listid)
            FOverrideListId = parameter;
        else if (word.Id == Kw::ls)
            FOverrideNumber = parameter;
        else if (word.Id == Kw::lfolevel)
            s.Dest = Destination::Skip;
        return;
    case Destination::ListTable:
    case Destination::ListOverrideTable:
    case Destination::LevelText:
    case Destination::PnTextBefore:
    case Destination::PnTextAfter:
        Destinations(word);
        return;
    case Destination::Picture:
        PictureWord(word, hasParameter, parameter);
        return;
    default:
        break;
    }
    // Most words of a word processor's text are ones the reader passes over (revision marks,
    // fonts of the other direction): none of what follows acts on them.
    if (word.Id == Kw::Unknown)
        return;

    if (Destinations(word))
        return;
    if (FormattingWord(word, hasParameter, parameter))
        return;
    if (TableWord(word, hasParameter, parameter))
        return;
    static const KwMap<char16_t> Characters = {
        {Kw::tab, u'\t'},        {Kw::line, 0x2028},    {Kw::page, 0x000C},
        {Kw::emdash, 0x2014},    {Kw::endash, 0x2013},  {Kw::emspace, 0x2003},
        {Kw::enspace, 0x2002},   {Kw::qmspace, 0x2005}, {Kw::bullet, 0x2022},
        {Kw::lquote, 0x2018},    {Kw::rquote, 0x2019},  {Kw::ldblquote, 0x201C},
        {Kw::rdblquote, 0x201D}, {Kw::zwj, 0x200D},     {Kw::zwnj, 0x200C},
        {Kw::ltrmark, 0x200E},   {Kw::rtlmark, 0x200F}};
    if (word.Id == Kw::deff) {
        FDefaultFont = parameter;
    } else if (word.Id == Kw::ansicpg) {
        SetAnsiCodePage(parameter);
    } else if (word.Id == Kw::mac) {
        FAnsiCodePage = 10000;
    } else if (word.Id == Kw::pc) {
        FAnsiCodePage = 437;
    } else if (word.Id == Kw::pca) {
        FAnsiCodePage = 850;
    } else if (word.Id == Kw::uc) {
        s.UnicodeSkip = qBound(0, parameter, 16);
    } else if (word.Id == Kw::u) {
        TextChar(static_cast<char16_t>(parameter & 0xFFFF));
        FSkipCount = s.UnicodeSkip;
    } else if (const char16_t *character = Characters.Find(word.Id)) {
        if (!SkipFallback() && (s.Dest == Destination::Body || *character == u'\t'))
            TextChar(*character);
    } else if (s.Dest != Destination::Body) {
        return;
    } else if (word.Id == Kw::par || word.Id == Kw::sect) {
        FSkipCount = 0;
        // A section break ends the paragraph it stands in.
        if (word.Id == Kw::par || FParagraphHasContent || !FPending.isEmpty())
            EndParagraph();
    } else if (word.Id == Kw::cell) {
        EndCell(s.BaseDepth + 1);
    } else if (word.Id == Kw::nestcell) {
        EndCell(s.BaseDepth + std::max(2, DepthOf(s.Para)));
    } else if (word.Id == Kw::row) {
        EndRow(s.BaseDepth + 1);
    } else if (word.Id == Kw::nestrow) {
        EndRow(s.BaseDepth + std::max(2, DepthOf(s.Para)));
    } else if (word.Id == Kw::chftn) {
        Chftn();
    }
}

void TRtfDocumentParser::ControlSymbol(char symbol)
{
    GroupState &s = State();
    if (symbol == '*') {
        FStarPending = true;
        return;
    }
    FStarPending = false;
    if (Skipping(s.Dest) || s.Dest == Destination::Picture || ExcessSkipping())
        return;
    if (SkipFallback())
        return;
    if (symbol == '\r' || symbol == '\n') {
        if (s.Dest == Destination::Body)
            EndParagraph();
    } else if (const char16_t c = TRtfLexer::SymbolCharacter(symbol)) {
        TextChar(c);
    }
}

void TRtfDocumentParser::Parse(qsizetype from, qsizetype to)
{
    TRtfLexer lexer(std::string_view(FData.constData(), static_cast<std::size_t>(to)),
                    static_cast<std::size_t>(from));
    TRtfToken token;
    while (!FDone && lexer.Next(token)) {
        switch (token.Kind) {
        case TRtfToken::TKind::GroupStart:
            PushGroup();
            break;
        case TRtfToken::TKind::GroupEnd:
            FPos = static_cast<qsizetype>(token.Offset);
            PopGroup();
            break;
        case TRtfToken::TKind::ControlWord:
        case TRtfToken::TKind::Unicode:
            WordToken(token);
            break;
        case TRtfToken::TKind::Binary:
            // Binary data belongs to pictures; elsewhere it is passed over whole.
            if (State().Dest == Destination::Picture && !ExcessSkipping())
                FPict.Data.append(token.Text.data(), static_cast<qsizetype>(token.Text.size()));
            FStarPending = false;
            FSkipCount = 0;
            break;
        case TRtfToken::TKind::Hex:
            // A broken escape is dropped; what follows is read as usual.
            if (token.Valid)
                HexByte(token.Byte);
            break;
        case TRtfToken::TKind::ControlSymbol:
            ControlSymbol(token.Symbol);
            break;
        case TRtfToken::TKind::Text:
            TextRun(token.Text);
            break;
        }
    }
}

void TRtfDocumentParser::WordToken(const TRtfToken &token)
{
    const QByteArrayView letters(token.Text.data(), static_cast<qsizetype>(token.Text.size()));
    const Word word{letters, token.Kind == TRtfToken::TKind::Unicode ? Kw::u : KeywordOf(letters)};
    if (word.Id == Kw::pict)
        ++FPictureCount;
    FWordStart = static_cast<qsizetype>(token.Offset);
    FAfterToken = static_cast<qsizetype>(token.Offset + token.Length);
    ControlWord(word, token.HasParam, token.Param);
}

void TRtfDocumentParser::HexByte(unsigned char byte)
{
    FStarPending = false;
    GroupState &s = State();
    if (Skipping(s.Dest) || s.Dest == Destination::Picture)
        return;
    if (SkipFallback())
        return;
    if (s.Dest == Destination::LevelText && (FLevelText.isEmpty() || byte < 9)) {
        // The text's length and the codes of the level numbers.
        TextChar(static_cast<char16_t>(byte));
    } else if (const char16_t c = Decode(byte, CodePage())) {
        TextChar(c);
    }
}

void TRtfDocumentParser::TextRun(std::string_view run)
{
    const char *data = run.data();
    const qsizetype size = static_cast<qsizetype>(run.size());
    // NUL bytes are no text at all: a run of nothing else leaves a pending \* alone.
    if (data[0] == 0 && std::all_of(data, data + size, [](char c) { return c == 0; }))
        return;
    FStarPending = false;
    qsizetype runFrom = 0;
    while (runFrom < size) {
        // Tab characters in the data count as tabs; other control bytes are dropped.
        qsizetype runTo = runFrom;
        while (runTo < size && static_cast<unsigned char>(data[runTo]) >= 0x20)
            ++runTo;
        if (runTo > runFrom)
            TextBytes(data + runFrom, static_cast<int>(runTo - runFrom));
        if (runTo < size) {
            if (data[runTo] == '\t' && State().Dest == Destination::Body && !SkipFallback())
                TextChar(u'\t');
            ++runTo;
        }
        runFrom = runTo;
    }
}

void TRtfDocumentParser::Run()
{
    FStack.reserve(64);
    FStack.emplace_back();
    FTailFormat = FCursor.blockFormat();
    FLastBlockFormat = FTailFormat;
    FTailEmpty = FCursor.atBlockEnd();
    FHeadEmpty = FCursor.atBlockStart();
    // The data starts with "{\rtf": its brace opens the document group.
    Parse(!FData.isEmpty() && FData.at(0) == '{' ? 1 : 0, FData.size());
    Flush();
    FAfterTable = LeaveTables(0);
    StorePageParts();
    AppendFootnotes();
    if (FBreakPending) {
        // The last paragraph mark of the data becomes the one already there, unless text
        // follows the insertion point.
        QTextCursor probe(FCursor);
        probe.movePosition(QTextCursor::End);
        if (probe.position() != FCursor.position())
            MaterializeBreak();
    }
    if (!FBreakPending && !FAfterTable && (FBreakMade || FParagraphHasContent)) {
        // The paragraph that the data leaves open: one that the data started takes the
        // formatting in effect at the end, as if a paragraph mark stood there; the rest of
        // the paragraph the text went into keeps its own.
        if (FTailEmpty && (FBreakMade || FHeadEmpty)) {
            const ParaState &para = State().Para;
            int listId = -1;
            const bool isList = ListOf(para, &listId).Kind != ListKind::None;
            const QTextBlockFormat format = BlockFormat(para, isList);
            if (FCursor.blockFormat() != format)
                FCursor.setBlockFormat(format);
            ApplyList(para);
        } else if (FBreakMade && FCursor.blockFormat() != FTailFormat) {
            FCursor.setBlockFormat(FTailFormat);
        }
    }
}

} // namespace RtfReading
