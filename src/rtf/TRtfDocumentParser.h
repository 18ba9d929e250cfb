#pragma once

#include "rtf/RtfReaderState.h"
#include "rtf/RtfReaderWords.h"
#include "rtf/TRtfPageParts.h"
#include "rtf/TRtfPicture.h"
#include "rtf/TRtfTableBuilder.h"

#include <QByteArray>
#include <QColor>
#include <QHash>
#include <QList>
#include <QPointer>
#include <QString>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextList>

#include <array>
#include <cstddef>
#include <map>
#include <string_view>
#include <utility>
#include <vector>

struct TRtfToken;

namespace RtfReading {

// Reads rich text into a document at a cursor, the work behind TRtfReader. One object reads
// one piece of data once:
//
//     TRtfDocumentParser parser(data, cursor);
//     parser.UseNestedRows(rows); // definitions from a reading before, if any
//     parser.KeepPageParts();     // when the data is the whole document
//     parser.Run();
//
// Its member functions are defined by section: the main loop and groups
// (TRtfDocumentParser.cpp), formats, destinations, output and tables, kept groups, pictures
// and code pages (TRtfDocumentParser*.cpp).
class TRtfDocumentParser
{
public:
    TRtfDocumentParser(const QByteArray &data, QTextCursor &cursor)
        : FData(data), FCursor(cursor), FTableBuilder(cursor)
    {
    }
    void Run();
    // Nested rows' definitions: met while reading, and given by a reading before.
    const std::vector<TRtfRowDefinition> &NestedRows() const { return FTableBuilder.NestedRows(); }
    void UseNestedRows(std::vector<TRtfRowDefinition> rows)
    {
        FTableBuilder.UseNestedRows(std::move(rows));
    }
    // The data is the whole document: its headers and footers are kept with it.
    void KeepPageParts() { FKeepPageParts = true; }

private:
    GroupState &State() { return FStack.back(); }
    const GroupState &State() const { return FStack.back(); }
    bool ExcessSkipping() const { return !FExcess.empty() && FExcess.back(); }
    // A group deeper than the states kept: true when the word is consumed here.
    bool ExcessWord(const Word &word, bool star);
    // Reads the data from `from` up to `to` through the lexer, token by token.
    void Parse(qsizetype from, qsizetype to);
    // A control word (\uN included), with the positions that kept groups and footnotes use.
    void WordToken(const TRtfToken &token);
    // The byte of a \'hh escape.
    void HexByte(unsigned char byte);
    // A run of text bytes: control bytes other than tab are dropped.
    void TextRun(std::string_view run);
    void PushGroup();
    void PopGroup();
    void ControlWord(const Word &word, bool hasParameter, int parameter);
    void ControlSymbol(char symbol);
    void TextBytes(const char *bytes, int length);
    void TextChar(char16_t c);
    bool SkipFallback();
    void Flush();
    void MaterializeBreak();
    // Makes the place for content: the table cell of its depth, the paragraph break that is
    // still pending. forContent: something is placed even when no break is pending.
    void Prepare(bool forContent);
    void EndParagraph();
    // Gives the current paragraph the paragraph formatting in force.
    void FinishParagraph();
    void EndCell(int level);
    void EndRow(int level);
    // Closes the tables deeper than depth; true when there were any.
    bool LeaveTables(int depth);
    bool TableWord(const Word &word, bool hasParameter, int parameter);
    void BorderStyle(QTextFrameFormat::BorderStyle style);
    int EffectiveDepth() const;
    int ContentDepth() const;
    void NoteContent();
    void BeginShapeText();
    void EndField(const FieldState &field);
    void InsertSymbol(const QString &instruction);
    void BeginFootnote();
    void AppendFootnotes();
    void Chftn();
    QTextCharFormat CharFormat(const CharState &state);
    QTextCharFormat MakeCharFormat(const CharState &state) const;
    QTextBlockFormat BlockFormat(const ParaState &state, bool isList);
    static QTextBlockFormat MakeBlockFormat(const ParaState &state, bool isList);
    ListKey ListOf(const ParaState &state, int *listId) const;
    void ApplyList(const ParaState &state);
    // A word inside a picture group: the size, scale and kind of the picture, and the words
    // that its header keeps.
    void PictureWord(const Word &word, bool hasParameter, int parameter);
    void EndPicture();
    void BeginPagePart();
    void StorePageParts();
    // Shapes, drawing objects and picture wrappers: kept as read at the place they stood.
    enum class KeptKind {
        Shape,        // \shp, \shpgrp, \do: passed over; its picture (pib) shows it
        ShapePicture, // \shppict: its picture is shown and shows it
        Fallback,     // \nonshppict: passed over; joins the picture wrapper before it
    };
    bool BeginKept(KeptKind kind, const char *textWord);
    void EndKept();
    // An invisible character that carries the group.
    void Anchor(const QByteArray &group);
    // Adds the group to those the character at the position carries.
    void AttachKept(int position, const QByteArray &group);
    TRtfPageParts KeptParts(const QByteArray &groups) const;
    // Shows the picture of a shape's pib property; false when it has none.
    bool ShowShapePicture(qsizetype open, qsizetype close);
    // The brace that opens the group whose first word starts at the backslash, -1: none.
    qsizetype GroupOpenBefore(qsizetype backslash) const;
    // The brace that closes the group opened at open, -1 when the data ends first.
    qsizetype GroupClose(qsizetype open) const;
    void EndFontEntry();
    void EndStyleEntry(const GroupState &entry);
    bool FormattingWord(const Word &word, bool hasParameter, int parameter);
    bool Destinations(const Word &word);
    char16_t DecodeByte(unsigned char byte) const;
    // The character of a byte in a code page; 0 while a lead byte waits for its second byte.
    char16_t Decode(unsigned char byte, int codePage);
    int CodePage() const;
    // The document's code page (\ansicpg): one the reader can decode, else 1252.
    void SetAnsiCodePage(int codePage);
    const std::array<char16_t, 256> *Table(int codePage);

    const QByteArray &FData;
    QTextCursor &FCursor;
    std::vector<GroupState> FStack;
    // Groups deeper than the states kept: whether each one's content is passed over.
    std::vector<bool> FExcess;
    bool FDone = false;
    bool FStarPending = false;
    int FSkipCount = 0;

    int FDefaultFont = 0;
    int FAnsiCodePage = 1252;
    std::map<int, std::array<char16_t, 256>> FTables;
    int FLeadByte = -1;
    QHash<int, FontEntry> FFonts;
    int FFontEntryNumber = -1;
    QString FFontName;
    bool FFontNameDone = false;
    int FFontCharset = -1;
    QList<QColor> FColors;
    int FRed = 0, FGreen = 0, FBlue = 0;
    bool FColorSet = false;
    QHash<int, Style> FStyles;
    QHash<int, Style> FCharStyles;
    int FStyleNumber = 0;
    bool FCharStyle = false;
    QString FLevelText;
    ListLevelDef FLevel;
    QList<ListLevelDef> FLevels;
    int FListId = 0;
    QHash<int, QList<ListLevelDef>> FLists;
    int FOverrideListId = 0;
    int FOverrideNumber = 0;
    QHash<int, int> FOverrides;

    // Picture being read.
    TRtfPicture FPict;
    QByteArray FPictHeader;
    int FPictNibble = -1;
    int FPictGoalWidth = 0, FPictGoalHeight = 0;
    int FPictScaleX = 100, FPictScaleY = 100;
    // \pict control words of the data so far, and the number of the one being read.
    int FPictureCount = 0;
    int FPictOrdinal = 0;
    // Names of the pictures' resources go on from the last one used.
    int FPictureSerial = 0;

    // Tables: the builder, the cell definition being read, where border words go.
    TRtfTableBuilder FTableBuilder;
    TRtfCellDefinition FCellDefinition;
    int FBorderEdge = -1; // a TRtfCellDefinition::TEdge, -1: a border of no cell
    QColor FCellBackground;
    QColor FCellPattern;
    int FCellShading = 0; // \clshdng, hundredths of a percent
    // Depth that content goes to regardless of its paragraph (cell and row ends), or -1.
    int FDepthOverride = -1;
    // Tables were closed by the end of the data.
    bool FAfterTable = false;
    // A table was closed and nothing has been placed since.
    bool FJustLeftTable = false;

    // Headers and footers: the groups kept, the one being read (its start in the data and the
    // number of group states while it is open).
    bool FKeepPageParts = false;
    TRtfPageParts FPageParts;
    qsizetype FPagePartStart = -1;
    std::size_t FPagePartDepth = 0;
    qsizetype FWordStart = 0; // backslash of the control word being handled

    // The kept group being read (its opening brace in the data, -1: none, and the number of
    // group states while it is open), the pictures shown so far and where the last one went.
    qsizetype FKeptStart = -1;
    std::size_t FKeptDepth = 0;
    KeptKind FKeptKind = KeptKind::Shape;
    int FKeptImages = 0;
    // Content, paragraph, cell and row ends read so far, and their count where the kept group
    // began: a picture wrapper that holds more than its picture is not kept, or a save would
    // write what else it holds twice.
    long long FContentRead = 0;
    long long FKeptContent = 0;
    int FImagesShown = 0;
    int FLastImage = -1;
    // The last picture wrapper kept: its end in the data and the position of its picture.
    qsizetype FWrapperEnd = -1;
    int FWrapperImage = -1;

    // Fields, footnotes and where the tokens stand in the data.
    std::vector<FieldState> FFields;
    std::vector<FootnoteText> FFootnotes;
    int FFootnoteNumber = 0;
    int FCurrentNote = -1;     // number of the footnote whose text is being read
    qsizetype FPos = 0;        // start of the token being handled
    qsizetype FAfterToken = 0; // end of the control word being handled

    // Output.
    QString FPending;
    CharState FPendingFormat;
    bool FBreakPending = false;
    bool FParagraphHasContent = false;
    QTextBlockFormat FTailFormat;
    bool FTailEmpty = true;
    bool FHeadEmpty = true;
    bool FBreakMade = false;
    QTextBlockFormat FLastBlockFormat;
    std::vector<std::pair<CharState, QTextCharFormat>> FFormatCache;
    // The block format made last and the paragraph state it was made from.
    bool FBlockFormatKept = false;
    ParaState FBlockFormatPara;
    bool FBlockFormatIsList = false;
    QTextBlockFormat FBlockFormat;
    // Lists made so far; the document deletes a list whose paragraphs have all gone (a table
    // row that ends can take them), and a paragraph of the same list then starts a new one.
    QPointer<QTextList> FList;
    ListKey FListKey;
    int FListId2 = -1; // \ls id of FList, -1 for \pn lists
    QHash<int, QPointer<QTextList>> FLsLists;
    bool FPreviousWasList = false;
};

} // namespace RtfReading
