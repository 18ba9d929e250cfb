#include "rtf/TRtfReader.h"

#include "rtf/ListLabels.h"
#include "rtf/RtfKeywords.h"
#include "rtf/TCodePage1252.h"
#include "rtf/TRtfFormatProperties.h"
#include "rtf/TRtfPageParts.h"
#include "rtf/TRtfPicture.h"
#include "rtf/TRtfTableBuilder.h"
#include "text/CodePages.h"

#include <QColor>
#include <QHash>
#include <QImage>
#include <QRegularExpression>
#include <QSet>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QUrl>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <limits>
#include <map>
#include <vector>

namespace {

using namespace TRtfFormatProperties;
using RtfKeywords::KeywordOf;
using RtfKeywords::Kw;

// Numeric parameters are at most this many digits; longer runs are cut.
constexpr int MaxParameterDigits = 10;

enum class Destination {
    Body,
    Skip,
    FontTable,
    FontEntry,
    ColorTable,
    StyleSheet,
    StyleEntry,
    ListTable,
    List,
    ListLevel,
    LevelText,
    ListOverrideTable,
    ListOverride,
    Pn,
    PnTextBefore,
    PnTextAfter,
    Picture,
    // The instruction of a field (\fldinst): its text is kept, not shown.
    FieldInstruction,
    // A footnote: skipped where it stands, its text goes to the end.
    Footnote,
};

// Destinations whose content the reader passes over.
bool Skipping(Destination destination)
{
    return destination == Destination::Skip || destination == Destination::Footnote;
}

// Which properties a paragraph or its text sets itself: a style marker leaves those alone.
enum CharProperty : unsigned {
    CharFont = 1u << 0,
    CharSize = 1u << 1,
    CharBold = 1u << 2,
    CharItalic = 1u << 3,
    CharUnderline = 1u << 4,
    CharStrike = 1u << 5,
    CharColor = 1u << 6,
    CharHighlight = 1u << 7,
    CharScript = 1u << 8,
    CharHidden = 1u << 9,
    CharProtected = 1u << 10,
};

enum ParaProperty : unsigned {
    ParaAlignment = 1u << 0,
    ParaFirstIndent = 1u << 1,
    ParaLeftIndent = 1u << 2,
    ParaRightIndent = 1u << 3,
    ParaSpaceBefore = 1u << 4,
    ParaSpaceAfter = 1u << 5,
    ParaLineSpacing = 1u << 6,
    ParaTabs = 1u << 7,
    ParaNumbering = 1u << 8,
    ParaList = 1u << 9,
};

struct CharState
{
    int Font = -1; // -1: the default font
    int HalfPoints = 24;
    bool Bold = false;
    bool Italic = false;
    QTextCharFormat::UnderlineStyle Underline = QTextCharFormat::NoUnderline;
    bool Strike = false;
    int Color = 0;
    int Highlight = 0;
    QTextCharFormat::VerticalAlignment Script = QTextCharFormat::AlignNormal;
    bool Hidden = false;
    bool Protected = false;
    // CharProperty bits set by control words since \plain; no part of the formatting.
    unsigned Explicit = 0;

    bool operator==(const CharState &o) const
    {
        return Font == o.Font && HalfPoints == o.HalfPoints && Bold == o.Bold &&
               Italic == o.Italic && Underline == o.Underline && Strike == o.Strike &&
               Color == o.Color && Highlight == o.Highlight && Script == o.Script &&
               Hidden == o.Hidden && Protected == o.Protected;
    }
    bool operator!=(const CharState &o) const { return !(*this == o); }
};

enum class ListKind { None, Bullet, Numbered };

struct ParaState
{
    Qt::Alignment Alignment = Qt::AlignLeft;
    int FirstIndent = 0;
    int LeftIndent = 0;
    int RightIndent = 0;
    int SpaceBefore = 0;
    int SpaceAfter = 0;
    int LineSpacing = 0;
    bool LineMultiple = false;
    QList<QTextOption::Tab> Tabs;
    QTextOption::TabType NextTabType = QTextOption::LeftTab;
    // Old-style paragraph numbering (\pn).
    ListKind PnKind = ListKind::None;
    QTextListFormat::Style PnStyle = QTextListFormat::ListDecimal;
    int PnStart = 1;
    QString PnPrefix;
    QString PnSuffix;
    // Word 97 lists (\ls, \ilvl).
    int ListOverride = 0;
    int ListLevel = 0;
    // Tables: the paragraph is in a table (\intbl), at a nesting depth (\itap; -1: not given).
    bool InTable = false;
    int Itap = -1;
    // ParaProperty bits set by control words since \pard.
    unsigned Explicit = 0;
};

// Nesting depth of tables that a paragraph belongs to (0: outside tables).
int DepthOf(const ParaState &p)
{
    const int depth = p.InTable ? std::max(1, p.Itap) : std::max(0, p.Itap);
    return std::min(depth, TRtfTableBuilder::MaxDepth);
}

struct GroupState
{
    Destination Dest = Destination::Body;
    CharState Char;
    ParaState Para;
    int UnicodeSkip = 1;
    // Inside \upr: the destination that \ud returns to.
    Destination UprParent = Destination::Skip;
    bool InUpr = false;
    // Table depth of the place that text of a text box or footnote is anchored at.
    int BaseDepth = 0;
    // Field that the group belongs to (1-based index of the reader's fields, 0: none); set
    // by \field in its own group, which owns it.
    int Field = 0;
    bool FieldOwner = false;
    bool InFieldResult = false;
    // Text of a text box starts in this group (\shptxt, \dptxbxtext).
    bool ShapeTextOwner = false;
    // Inside the result of a shape (\shprslt), which repeats what the shape shows.
    bool InShapeResult = false;
    // Inside a shape or drawing object that holds text, which is read where it stands: the
    // shapes in it are too, and are not looked through again.
    bool InTextShape = false;
};

// Group states kept for this much memory; deeper groups share the deepest state, so that
// their formatting belongs to it, but their text is read as at any other depth.
constexpr std::size_t MaxGroupStates = (8u << 20) / sizeof(GroupState);

struct FieldState
{
    QString Instruction;
    bool HasResult = false;
};

// A footnote's text: where it stands in the data, read again at the end of the document.
struct FootnoteText
{
    qsizetype Start = 0;
    qsizetype End = -1;
    int Number = 0;
    int Pictures = 0; // \pict groups before it
    CharState Char;
    int UnicodeSkip = 1;
};

struct FontEntry
{
    QString Name;
    int Charset = -1; // -1: not given, the document's code page
};

struct ListLevelDef
{
    int Nfc = 0;
    int Start = 1;
    QString Text;
};

struct Style
{
    CharState Char;
    ParaState Para;
};

struct ListKey
{
    ListKind Kind = ListKind::None;
    QTextListFormat::Style Style = QTextListFormat::ListDisc;
    int Start = 1;
    QString Prefix;
    QString Suffix;
    bool operator==(const ListKey &o) const
    {
        return Kind == o.Kind && Style == o.Style && Start == o.Start && Prefix == o.Prefix &&
               Suffix == o.Suffix;
    }
};

QTextListFormat::Style StyleOfNfc(int nfc)
{
    switch (nfc) {
    case 1:
        return QTextListFormat::ListUpperRoman;
    case 2:
        return QTextListFormat::ListLowerRoman;
    case 3:
        return QTextListFormat::ListUpperAlpha;
    case 4:
        return QTextListFormat::ListLowerAlpha;
    default:
        return QTextListFormat::ListDecimal;
    }
}

bool IsHex(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return c - 'A' + 10;
}

bool IsLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// A control word: its letters and what the reader knows it as.
struct Word
{
    QByteArrayView Text;
    Kw Id = Kw::Unknown;
};

// Which of the keywords belong to a kind.
class KwSet
{
public:
    KwSet(std::initializer_list<Kw> words)
    {
        for (const Kw word : words)
            FIn[static_cast<std::size_t>(word)] = true;
    }
    bool contains(Kw word) const { return FIn[static_cast<std::size_t>(word)]; }

private:
    std::array<bool, RtfKeywords::Count> FIn{};
};

// A value for some of the keywords.
template <typename T> class KwMap
{
public:
    KwMap(std::initializer_list<std::pair<Kw, T>> entries)
    {
        for (const auto &entry : entries) {
            FValues[static_cast<std::size_t>(entry.first)] = entry.second;
            FHas[static_cast<std::size_t>(entry.first)] = true;
        }
    }
    // The value of the word, nullptr when it has none.
    const T *Find(Kw word) const
    {
        const auto i = static_cast<std::size_t>(word);
        return FHas[i] ? &FValues[i] : nullptr;
    }

private:
    std::array<T, RtfKeywords::Count> FValues{};
    std::array<bool, RtfKeywords::Count> FHas{};
};

class Reader
{
public:
    Reader(const QByteArray &data, QTextCursor &cursor)
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
    void Parse(qsizetype from, qsizetype to);
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
    QTextBlockFormat BlockFormat(const ParaState &state, bool isList) const;
    ListKey ListOf(const ParaState &state, int *listId) const;
    void ApplyList(const ParaState &state);
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
    QTextList *FList = nullptr;
    ListKey FListKey;
    int FListId2 = -1; // \ls id of FList, -1 for \pn lists
    QHash<int, QTextList *> FLsLists;
    bool FPreviousWasList = false;
};

char16_t Reader::DecodeByte(unsigned char byte) const
{
    return TCodePage1252::ToUnicode(byte);
}

const char *IconvName(int codePage)
{
    switch (codePage) {
    case 437:
        return "CP437";
    case 850:
        return "CP850";
    case 874:
        return "CP874";
    case 932:
        return "CP932";
    case 936:
        return "GBK";
    case 949:
        return "CP949";
    case 950:
        return "BIG5";
    case 1250:
        return "CP1250";
    case 1251:
        return "CP1251";
    case 1253:
        return "CP1253";
    case 1254:
        return "CP1254";
    case 1255:
        return "CP1255";
    case 1256:
        return "CP1256";
    case 1257:
        return "CP1257";
    case 1258:
        return "CP1258";
    case 10000:
        return "MACINTOSH";
    default:
        return nullptr;
    }
}

// Converts bytes of a code page to one UTF-16 character; false when they make none.
bool IconvDecode(const char *name, const char *bytes, std::size_t length, char16_t *result,
                 bool *incomplete)
{
    iconv_t converter = iconv_open("UTF-16LE", name);
    if (converter == reinterpret_cast<iconv_t>(-1))
        return false;
    char in[4];
    std::memcpy(in, bytes, length);
    char out[8];
    char *inPointer = in;
    char *outPointer = out;
    std::size_t inLeft = length;
    std::size_t outLeft = sizeof out;
    const std::size_t done = iconv(converter, &inPointer, &inLeft, &outPointer, &outLeft);
    const int error = done == static_cast<std::size_t>(-1) ? errno : 0;
    iconv_close(converter);
    *incomplete = error == EINVAL;
    if (sizeof out - outLeft < 2)
        return false;
    *result = static_cast<char16_t>(static_cast<unsigned char>(out[0]) |
                                    (static_cast<unsigned char>(out[1]) << 8));
    return true;
}

int Reader::CodePage() const
{
    const GroupState &s = FStack.back();
    int charset = -1;
    if (s.Dest == Destination::FontEntry || s.Dest == Destination::FontTable) {
        charset = FFontCharset;
    } else {
        const auto entry = FFonts.constFind(s.Char.Font < 0 ? FDefaultFont : s.Char.Font);
        if (entry != FFonts.constEnd())
            charset = entry->Charset;
    }
    const int codePage = CodePageOfCharset(charset);
    return codePage ? codePage : FAnsiCodePage;
}

const std::array<char16_t, 256> *Reader::Table(int codePage)
{
    const auto found = FTables.find(codePage);
    if (found != FTables.end())
        return &found->second;
    const char *name = IconvName(codePage);
    if (!name)
        return nullptr;
    std::array<char16_t, 256> table;
    for (int b = 0; b < 256; ++b) {
        const char byte = static_cast<char>(b);
        char16_t c = 0xFFFD;
        bool incomplete = false;
        if (b < 0x80 && codePage != 10000 && codePage != 437 && codePage != 850)
            c = static_cast<char16_t>(b);
        else if (!IconvDecode(name, &byte, 1, &c, &incomplete))
            c = incomplete ? 0 : 0xFFFD; // 0 marks a lead byte
        table[b] = c;
    }
    return &FTables.emplace(codePage, table).first->second;
}

char16_t Reader::Decode(unsigned char byte, int codePage)
{
    if (FLeadByte >= 0) {
        const char bytes[2] = {static_cast<char>(FLeadByte), static_cast<char>(byte)};
        FLeadByte = -1;
        char16_t c = 0xFFFD;
        bool incomplete = false;
        if (const char *name = IconvName(codePage))
            IconvDecode(name, bytes, 2, &c, &incomplete);
        return c;
    }
    if (codePage == 1252)
        return TCodePage1252::ToUnicode(byte);
    const std::array<char16_t, 256> *table = Table(codePage);
    if (!table)
        return TCodePage1252::ToUnicode(byte);
    const char16_t c = (*table)[byte];
    if (c == 0 && byte != 0)
        FLeadByte = byte;
    return c;
}

QTextCharFormat Reader::CharFormat(const CharState &s)
{
    // Documents use few formats; reusing the same format objects spares building and
    // hashing them again for every run.
    for (const auto &entry : FFormatCache) {
        if (entry.first == s)
            return entry.second;
    }
    if (FFormatCache.size() >= 32)
        FFormatCache.erase(FFormatCache.begin());
    FFormatCache.emplace_back(s, MakeCharFormat(s));
    return FFormatCache.back().second;
}

QTextCharFormat Reader::MakeCharFormat(const CharState &s) const
{
    QTextCharFormat f;
    const int font = s.Font < 0 ? FDefaultFont : s.Font;
    const auto entry = FFonts.constFind(font);
    if (entry != FFonts.constEnd() && !entry->Name.isEmpty())
        f.setFontFamilies({entry->Name});
    f.setFontPointSize(s.HalfPoints > 0 ? s.HalfPoints / 2.0 : 12.0);
    f.setFontWeight(s.Bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(s.Italic);
    f.setUnderlineStyle(s.Underline);
    f.setFontStrikeOut(s.Strike);
    if (s.Color > 0 && s.Color < FColors.size() && FColors.at(s.Color).isValid())
        f.setForeground(FColors.at(s.Color));
    if (s.Highlight > 0 && s.Highlight < FColors.size() && FColors.at(s.Highlight).isValid())
        f.setBackground(FColors.at(s.Highlight));
    f.setVerticalAlignment(s.Script);
    if (s.Hidden)
        f.setProperty(Hidden, true);
    if (s.Protected)
        f.setProperty(Protected, true);
    return f;
}

QTextBlockFormat Reader::BlockFormat(const ParaState &s, bool isList) const
{
    QTextBlockFormat f;
    f.setAlignment(s.Alignment);
    if (isList) {
        f.setTextIndent(0);
        f.setProperty(ListFirstIndent, s.FirstIndent);
    } else {
        f.setTextIndent(TwipsToPixels(s.FirstIndent));
    }
    f.setLeftMargin(TwipsToPixels(s.LeftIndent));
    f.setRightMargin(TwipsToPixels(s.RightIndent));
    f.setTopMargin(TwipsToPixels(s.SpaceBefore));
    f.setBottomMargin(TwipsToPixels(s.SpaceAfter));
    if (s.LineSpacing != 0) {
        if (s.LineMultiple && s.LineSpacing > 0)
            f.setLineHeight(s.LineSpacing / 2.4, QTextBlockFormat::ProportionalHeight);
        else if (!s.LineMultiple && s.LineSpacing > 0)
            f.setLineHeight(TwipsToPixels(s.LineSpacing), QTextBlockFormat::MinimumHeight);
        else if (!s.LineMultiple)
            f.setLineHeight(TwipsToPixels(-s.LineSpacing), QTextBlockFormat::FixedHeight);
    }
    if (!s.Tabs.isEmpty())
        f.setTabPositions(s.Tabs);
    return f;
}

// The number of the list of a paragraph's list override and level; overrides past what the
// number holds share one.
int ListNumber(const ParaState &s)
{
    constexpr int MaxOverride = (std::numeric_limits<int>::max() - 15) / 16;
    return std::min(s.ListOverride, MaxOverride) * 16 + qBound(0, s.ListLevel, 15);
}

ListKey Reader::ListOf(const ParaState &s, int *listId) const
{
    ListKey key;
    *listId = -1;
    if (s.ListOverride > 0) {
        const int id = FOverrides.value(s.ListOverride, -1);
        const auto list = FLists.constFind(id);
        if (list != FLists.constEnd() && !list->isEmpty()) {
            const ListLevelDef &level = list->at(qBound(0, s.ListLevel, int(list->size()) - 1));
            if (level.Nfc == 255)
                return key;
            *listId = ListNumber(s);
            key.Start = level.Start;
            if (level.Nfc == 23) {
                key.Kind = ListKind::Bullet;
                key.Style = QTextListFormat::ListDisc;
                return key;
            }
            key.Kind = ListKind::Numbered;
            key.Style = StyleOfNfc(level.Nfc);
            // The level text: its length, then text with the level numbers as codes 0 to 8.
            if (!level.Text.isEmpty()) {
                const int length = qMin<int>(level.Text.at(0).unicode(), level.Text.size() - 1);
                const QString text = level.Text.mid(1, length);
                int first = -1, last = -1;
                for (int i = 0; i < text.size(); ++i) {
                    if (text.at(i).unicode() < 9) {
                        if (first < 0)
                            first = i;
                        last = i;
                    }
                }
                if (first >= 0) {
                    key.Prefix = text.left(first);
                    key.Suffix = text.mid(last + 1);
                }
            }
            return key;
        }
        // A list that the tables do not describe: a plain bulleted paragraph.
        key.Kind = ListKind::Bullet;
        *listId = ListNumber(s);
        return key;
    }
    key.Kind = s.PnKind;
    if (key.Kind == ListKind::Bullet) {
        key.Style = QTextListFormat::ListDisc;
    } else if (key.Kind == ListKind::Numbered) {
        key.Style = s.PnStyle;
        key.Start = s.PnStart;
        key.Prefix = s.PnPrefix;
        key.Suffix = s.PnSuffix;
    }
    return key;
}

void Reader::ApplyList(const ParaState &s)
{
    int listId = -1;
    const ListKey key = ListOf(s, &listId);
    if (key.Kind == ListKind::None) {
        FPreviousWasList = false;
        return;
    }
    QTextList *list = nullptr;
    if (listId >= 0) {
        list = FLsLists.value(listId, nullptr);
    } else if (FPreviousWasList && FList && FListId2 < 0 && FListKey == key) {
        list = FList;
    }
    if (list) {
        list->add(FCursor.block());
    } else {
        QTextListFormat format;
        format.setStyle(key.Style);
        format.setIndent(0);
        format.setNumberPrefix(key.Prefix);
        format.setNumberSuffix(key.Suffix);
        if (key.Kind == ListKind::Numbered)
            format.setProperty(ListStart, key.Start);
        list = FCursor.createList(format);
        if (listId >= 0)
            FLsLists.insert(listId, list);
    }
    FList = list;
    FListKey = key;
    FListId2 = listId;
    FPreviousWasList = true;
}

void Reader::Flush()
{
    if (FPending.isEmpty())
        return;
    Prepare(true);
    FCursor.insertText(FPending, CharFormat(FPendingFormat));
    FPending.clear();
    FParagraphHasContent = true;
    FJustLeftTable = false;
}

int Reader::EffectiveDepth() const
{
    const GroupState &s = State();
    return std::min(s.BaseDepth + DepthOf(s.Para), TRtfTableBuilder::MaxDepth);
}

int Reader::ContentDepth() const
{
    return FDepthOverride >= 0 ? FDepthOverride : EffectiveDepth();
}

void Reader::Prepare(bool forContent)
{
    const int depth = ContentDepth();
    LeaveTables(depth);
    if (depth > 0) {
        // A pending break before a table makes the empty paragraph kept before it. Two
        // tables have a paragraph between them, or rich text would make them one.
        if (FTableBuilder.OpensHere(depth)) {
            // What the paragraph holds so far ends where the table begins.
            if (!FBreakPending && FParagraphHasContent) {
                FinishParagraph();
                FBreakPending = true;
            }
            if (FBreakPending && FJustLeftTable) {
                MaterializeBreak();
                FBreakPending = true;
            }
            MaterializeBreak();
        }
        if (FTableBuilder.Enter(depth, CharFormat(CharState()))) {
            FBreakPending = false;
            FParagraphHasContent = false;
            FBreakMade = true;
        }
    }
    if (!forContent && !FBreakPending)
        return;
    if (FTableBuilder.InCoveredCell())
        FTableBuilder.UseCoveredCell(QTextBlockFormat(), CharFormat(State().Char));
    MaterializeBreak();
}

void Reader::MaterializeBreak()
{
    if (!FBreakPending)
        return;
    FBreakPending = false;
    FCursor.insertBlock(FLastBlockFormat, CharFormat(State().Char));
    FBreakMade = true;
}

bool Reader::LeaveTables(int depth)
{
    bool left = false;
    while (FTableBuilder.Depth() > depth) {
        FTableBuilder.Leave(FTableBuilder.Depth() - 1);
        // What follows a table is a paragraph of its own after the one the document keeps;
        // a cell that ends right after a nested table ends with an empty paragraph.
        FBreakPending = true;
        FParagraphHasContent = false;
        FBreakMade = true;
        if (FTableBuilder.Depth() > depth)
            MaterializeBreak();
        left = true;
        FJustLeftTable = true;
    }
    return left;
}

void Reader::EndParagraph()
{
    ++FContentRead;
    Flush();
    Prepare(true);
    FinishParagraph();
    FBreakPending = true;
    FParagraphHasContent = false;
}

void Reader::FinishParagraph()
{
    FJustLeftTable = false;
    const ParaState &para = State().Para;
    int listId = -1;
    const bool isList = ListOf(para, &listId).Kind != ListKind::None;
    FLastBlockFormat = BlockFormat(para, isList);
    if (FCursor.blockFormat() != FLastBlockFormat)
        FCursor.setBlockFormat(FLastBlockFormat);
    ApplyList(para);
    if (FCursor.block().length() == 1)
        FTableBuilder.SetBlockCharFormat(CharFormat(State().Char));
}

void Reader::EndCell(int level)
{
    ++FContentRead;
    FSkipCount = 0;
    if (level > TRtfTableBuilder::MaxDepth) {
        // Tables nested deeper than the builder goes: their cells are paragraphs.
        EndParagraph();
        return;
    }
    FDepthOverride = level;
    Flush();
    Prepare(false);
    if (!FTableBuilder.InCoveredCell())
        FinishParagraph();
    FTableBuilder.EndCell(level);
    FBreakPending = false;
    FParagraphHasContent = false;
    FDepthOverride = -1;
}

void Reader::EndRow(int level)
{
    ++FContentRead;
    FSkipCount = 0;
    if (level > TRtfTableBuilder::MaxDepth)
        return;
    FDepthOverride = level;
    Flush();
    FDepthOverride = -1;
    if (LeaveTables(level))
        MaterializeBreak();
    FTableBuilder.EndRow(level);
}

void Reader::NoteContent()
{
    ++FContentRead;
    const GroupState &s = State();
    if (s.InFieldResult && s.Field > 0)
        FFields[static_cast<size_t>(s.Field - 1)].HasResult = true;
}

bool Reader::SkipFallback()
{
    if (FSkipCount > 0) {
        --FSkipCount;
        return true;
    }
    return false;
}

void Reader::TextChar(char16_t c)
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

void Reader::TextBytes(const char *bytes, int length)
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
            for (; i < length; ++i)
                *out++ = QChar(DecodeByte(static_cast<unsigned char>(bytes[i])));
            return;
        }
    }
    const int codePage = CodePage();
    for (; i < length; ++i) {
        if (const char16_t c = Decode(static_cast<unsigned char>(bytes[i]), codePage))
            TextChar(c);
    }
}

void Reader::EndFontEntry()
{
    if (FFontEntryNumber >= 0 && !FFontNameDone) {
        FontEntry entry;
        entry.Name = FFontName.trimmed();
        entry.Charset = FFontCharset;
        FFonts.insert(FFontEntryNumber, entry);
    }
    FFontNameDone = true;
}

void Reader::EndStyleEntry(const GroupState &entry)
{
    Style style{entry.Char, entry.Para};
    if (FCharStyle)
        FCharStyles.insert(FStyleNumber, style);
    else
        FStyles.insert(FStyleNumber, style);
}

void Reader::EndPicture()
{
    if (FPict.Data.isEmpty() || FPict.Kind.isEmpty() || State().Dest != Destination::Body)
        return;
    QImage image = FPict.Decode();
    QSize natural = image.isNull() ? FPict.NaturalSize() : image.size();
    if (natural.isEmpty())
        natural = QSize(96, 96);
    const int goalWidth =
        FPictGoalWidth > 0 ? FPictGoalWidth : qBound(1, PixelsToTwips(natural.width()), 31680 * 4);
    const int goalHeight = FPictGoalHeight > 0
                               ? FPictGoalHeight
                               : qBound(1, PixelsToTwips(natural.height()), 31680 * 4);
    const int scaleX = qBound(1, FPictScaleX, 10000);
    const int scaleY = qBound(1, FPictScaleY, 10000);
    const qreal width = TwipsToPixels(goalWidth) * scaleX / 100.0;
    const qreal height = TwipsToPixels(goalHeight) * scaleY / 100.0;
    if (image.isNull())
        image = TRtfPicture::Box(QSizeF(width, height).toSize(), FPict.Kind);

    QTextDocument *document = FCursor.document();
    QUrl name;
    do {
        name = QUrl(QStringLiteral("rtfpicture:%1").arg(++FPictureSerial));
    } while (document->resource(QTextDocument::ImageResource, name).isValid());
    document->addResource(QTextDocument::ImageResource, name, image);

    QTextImageFormat format;
    format.merge(CharFormat(State().Char));
    format.setObjectType(QTextFormat::ImageObject);
    format.setName(name.toString());
    format.setWidth(width);
    format.setHeight(height);
    format.setProperty(PictureData, FPict.Data);
    format.setProperty(PictureKind, QString::fromLatin1(FPict.Kind));
    format.setProperty(PictureHeader, FPictHeader);
    format.setProperty(PictureGoalWidth, goalWidth);
    format.setProperty(PictureGoalHeight, goalHeight);
    format.setProperty(PictureScaleX, scaleX);
    format.setProperty(PictureScaleY, scaleY);
    format.setProperty(PictureOrdinal, FPictOrdinal);
    Flush();
    Prepare(true);
    FCursor.insertImage(format);
    FLastImage = FCursor.position() - 1;
    ++FImagesShown;
    FParagraphHasContent = true;
    FJustLeftTable = false;
    NoteContent();
}

void Reader::PushGroup()
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

void Reader::PopGroup()
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

// Destinations whose content is not shown.
const KwSet &SkippedDestinations()
{
    static const KwSet Skipped = {
        Kw::info,         Kw::header,      Kw::headerl,  Kw::headerr,      Kw::headerf,
        Kw::footer,       Kw::footerl,     Kw::footerr,  Kw::footerf,      Kw::annotation,
        Kw::atnid,        Kw::atnauthor,   Kw::pntext,   Kw::listtext,     Kw::xe,
        Kw::tc,           Kw::tcn,         Kw::txe,      Kw::rxe,          Kw::comment,
        Kw::author,       Kw::operator_,   Kw::title,    Kw::subject,      Kw::keywords,
        Kw::doccomm,      Kw::nonshppict,  Kw::objdata,  Kw::objclass,     Kw::objname,
        Kw::template_,    Kw::rsidtbl,     Kw::revtbl,   Kw::filetbl,      Kw::pgdsctbl,
        Kw::themedata,    Kw::picprop,     Kw::do_,      Kw::ftnsep,       Kw::ftnsepc,
        Kw::ftncn,        Kw::aftnsep,     Kw::aftnsepc, Kw::aftncn,       Kw::userprops,
        Kw::xmlnstbl,     Kw::listpicture, Kw::private_, Kw::generator,    Kw::falt,
        Kw::panose,       Kw::bkmkstart,   Kw::bkmkend,  Kw::nonesttables, Kw::fname,
        Kw::docvar,       Kw::datafield,   Kw::sp,       Kw::sn,           Kw::sv,
        Kw::latentstyles, Kw::mmathPr,     Kw::printim,  Kw::buptim,       Kw::creatim,
        Kw::revtim,       Kw::hlinkbase,   Kw::company,  Kw::manager,      Kw::category};
    return Skipped;
}

// Words that send the content of their group elsewhere than the text where it stands.
bool RedirectsContent(const Word &word)
{
    static const KwSet Redirecting = {
        Kw::fonttbl,      Kw::colortbl,   Kw::stylesheet, Kw::listtable,
        Kw::list,         Kw::listlevel,  Kw::leveltext,  Kw::listoverridetable,
        Kw::listoverride, Kw::pn,         Kw::pntxtb,     Kw::pntxta,
        Kw::pict,         Kw::upr,        Kw::footnote,   Kw::fldinst,
        Kw::shptxt,       Kw::dptxbxtext, Kw::do_};
    return Redirecting.contains(word.Id) || SkippedDestinations().contains(word.Id);
}

// A group nested deeper than the states kept cannot change the destination of the state it
// shares: a word that would makes the group's content passed over, and a field there shows
// its result as text.
bool Reader::ExcessWord(const Word &word, bool star)
{
    if (FExcess.empty())
        return false;
    if (FExcess.back())
        return true;
    if (star || RedirectsContent(word)) {
        FExcess.back() = true;
        return true;
    }
    return word.Id == Kw::field;
}

// A header or footer of the document's body starts: its group is kept as it stands.
void Reader::BeginPagePart()
{
    if (!FKeepPageParts || FCurrentNote >= 0 || FPagePartStart >= 0 ||
        State().Dest != Destination::Body)
        return;
    qsizetype at = FWordStart - 1;
    while (at >= 0 && (FData.at(at) == ' ' || FData.at(at) == '\r' || FData.at(at) == '\n'))
        --at;
    if (at < 0 || FData.at(at) != '{')
        return;
    FPagePartStart = at;
    FPagePartDepth = FStack.size();
}

void Reader::StorePageParts()
{
    if (!FKeepPageParts)
        return;
    if (!FPageParts.IsEmpty()) {
        for (auto it = FFonts.constBegin(); it != FFonts.constEnd(); ++it)
            FPageParts.Fonts.insert(it.key(), it->Name);
        FPageParts.Colors = FColors;
    }
    FPageParts.Store(*FCursor.document());
}

// Line ends in rich text are no text; spaces are.
bool IsLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

qsizetype Reader::GroupOpenBefore(qsizetype backslash) const
{
    qsizetype at = backslash - 1;
    while (at >= 0 && IsLineEnd(FData.at(at)))
        --at;
    if (at >= 1 && FData.at(at) == '*' && FData.at(at - 1) == '\\') {
        at -= 2;
        while (at >= 0 && IsLineEnd(FData.at(at)))
            --at;
    }
    return at >= 0 && FData.at(at) == '{' ? at : -1;
}

// Reads the data as Parse does, so that both find the same end: escaped braces are text and
// binary data is passed over whole.
qsizetype Reader::GroupClose(qsizetype open) const
{
    const char *data = FData.constData();
    const qsizetype size = FData.size();
    int depth = 0;
    qsizetype i = open;
    while (i < size) {
        const char c = data[i];
        if (c == '{') {
            ++depth;
            ++i;
        } else if (c == '}') {
            if (--depth == 0)
                return i;
            ++i;
        } else if (c != '\\') {
            ++i;
        } else if (i + 1 < size && IsLetter(data[i + 1])) {
            const qsizetype start = ++i;
            while (i < size && IsLetter(data[i]))
                ++i;
            const bool bin = i - start == 3 && std::memcmp(data + start, "bin", 3) == 0;
            const bool negative =
                i + 1 < size && data[i] == '-' && data[i + 1] >= '0' && data[i + 1] <= '9';
            if (negative)
                ++i;
            qint64 value = 0;
            int digits = 0;
            while (i < size && data[i] >= '0' && data[i] <= '9') {
                if (digits++ < MaxParameterDigits)
                    value = value * 10 + (data[i] - '0');
                ++i;
            }
            if (i < size && data[i] == ' ')
                ++i;
            if (bin && !negative)
                i += std::clamp<qint64>(value, 0, size - i);
        } else {
            i += 2;
        }
    }
    return -1;
}

bool Reader::BeginKept(KeptKind kind, const char *textWord)
{
    GroupState &s = State();
    if (FKeptStart >= 0 || !FExcess.empty() || s.Dest != Destination::Body)
        return false;
    const qsizetype open = GroupOpenBefore(FWordStart);
    if (open < 0)
        return false;
    if (textWord) {
        // A text box's text is shown in the text; its shape kept as well would show it twice.
        if (s.InTextShape)
            return false;
        s.InTextShape = true;
        const qsizetype close = GroupClose(open);
        if (close < 0)
            return false;
        const char *from = FData.constData() + open;
        const char *to = FData.constData() + close;
        if (std::search(from, to, textWord, textWord + std::strlen(textWord)) != to)
            return false;
        s.InTextShape = false;
    }
    FKeptStart = open;
    FKeptDepth = FStack.size();
    FKeptKind = kind;
    FKeptImages = FImagesShown;
    FKeptContent = FContentRead;
    if (kind != KeptKind::ShapePicture)
        s.Dest = Destination::Skip;
    return true;
}

void Reader::EndKept()
{
    const qsizetype open = FKeptStart;
    const QByteArray group = FData.mid(open, FPos + 1 - open);
    FKeptStart = -1;
    const int wrapper = FWrapperImage;
    FWrapperImage = -1;
    switch (FKeptKind) {
    case KeptKind::Shape:
        if (ShowShapePicture(open, FPos))
            AttachKept(FLastImage, group);
        else
            Anchor(group);
        break;
    case KeptKind::ShapePicture:
        if (FImagesShown == FKeptImages + 1 && FContentRead == FKeptContent + 1) {
            AttachKept(FLastImage, group);
            FWrapperImage = FLastImage;
            FWrapperEnd = FPos + 1;
        } else if (FContentRead == FKeptContent) {
            Anchor(group);
        }
        // Otherwise what the wrapper held is shown as read, and saved as such.
        break;
    case KeptKind::Fallback: {
        // The stand-in that follows a picture wrapper goes with its picture.
        qsizetype at = FWrapperEnd;
        while (wrapper >= 0 && at < open && IsLineEnd(FData.at(at)))
            ++at;
        if (wrapper >= 0 && at == open)
            AttachKept(wrapper, group);
        else
            Anchor(group);
        break;
    }
    }
}

TRtfPageParts Reader::KeptParts(const QByteArray &groups) const
{
    TRtfPageParts parts;
    parts.Groups = groups;
    for (auto it = FFonts.constBegin(); it != FFonts.constEnd(); ++it)
        parts.Fonts.insert(it.key(), it->Name);
    parts.Colors = FColors;
    return parts;
}

void Reader::Anchor(const QByteArray &group)
{
    Flush();
    Prepare(true);
    QTextCharFormat format = CharFormat(State().Char);
    KeptParts(group).StoreIn(format);
    FCursor.insertText(QString(QChar::ObjectReplacementCharacter), format);
    FParagraphHasContent = true;
    FJustLeftTable = false;
    NoteContent();
}

void Reader::AttachKept(int position, const QByteArray &group)
{
    QTextCursor cursor(FCursor.document());
    cursor.setPosition(position);
    cursor.setPosition(position + 1, QTextCursor::KeepAnchor);
    QTextCharFormat format = cursor.charFormat();
    KeptParts(TRtfPageParts::OfAnchor(format).Groups + group).StoreIn(format);
    cursor.setCharFormat(format);
}

bool Reader::ShowShapePicture(qsizetype open, qsizetype close)
{
    // {\sp{\sn pib}{\sv {\pict ...}}}: the picture is the first one after the name.
    const QByteArray range = FData.mid(open, close - open);
    static const QRegularExpression Pib(QStringLiteral("\\\\sn\\s*pib\\s*\\}"));
    const QRegularExpressionMatch name = Pib.match(QString::fromLatin1(range));
    if (!name.hasMatch())
        return false;
    const qsizetype value = range.indexOf("\\sv", name.capturedEnd());
    const qsizetype word = value < 0 ? -1 : range.indexOf("\\pict", value);
    if (word < 0)
        return false;
    const qsizetype pictOpen = GroupOpenBefore(open + word);
    const qsizetype pictClose = pictOpen < 0 ? -1 : GroupClose(pictOpen);
    if (pictClose < 0 || pictClose > close)
        return false;
    // The picture is read again where the shape stood, as a picture of the text; it is the
    // result of no object, whose pictures are told by their number.
    const int pictures = FPictureCount;
    FPictureCount = std::numeric_limits<int>::min() / 2;
    const int images = FImagesShown;
    const std::size_t depth = FStack.size();
    GroupState base = State();
    base.Dest = Destination::Body;
    base.FieldOwner = false;
    base.ShapeTextOwner = false;
    FStack.push_back(base);
    FStarPending = false;
    FSkipCount = 0;
    Parse(pictOpen, pictClose + 1);
    FStack.resize(depth);
    FPictureCount = pictures;
    return FImagesShown > images;
}

bool Reader::Destinations(const Word &word)
{
    GroupState &s = State();
    if (word.Id == Kw::fonttbl) {
        s.Dest = Destination::FontTable;
        FFontEntryNumber = -1;
        FFontName.clear();
        FFontNameDone = true;
    } else if (word.Id == Kw::colortbl) {
        s.Dest = Destination::ColorTable;
        FColors.clear();
        FColorSet = false;
        FRed = FGreen = FBlue = 0;
    } else if (word.Id == Kw::stylesheet) {
        s.Dest = Destination::StyleSheet;
    } else if (word.Id == Kw::listtable) {
        s.Dest = Destination::ListTable;
    } else if (word.Id == Kw::list && s.Dest == Destination::ListTable) {
        s.Dest = Destination::List;
        FLevels.clear();
        FListId = 0;
    } else if (word.Id == Kw::listlevel && s.Dest == Destination::List) {
        s.Dest = Destination::ListLevel;
        FLevel = ListLevelDef();
    } else if (word.Id == Kw::leveltext && s.Dest == Destination::ListLevel) {
        s.Dest = Destination::LevelText;
        FLevelText.clear();
    } else if (word.Id == Kw::listoverridetable) {
        s.Dest = Destination::ListOverrideTable;
    } else if (word.Id == Kw::listoverride && s.Dest == Destination::ListOverrideTable) {
        s.Dest = Destination::ListOverride;
        FOverrideListId = 0;
        FOverrideNumber = 0;
    } else if (word.Id == Kw::pn &&
               (s.Dest == Destination::Body || s.Dest == Destination::StyleEntry)) {
        s.Dest = Destination::Pn;
        s.Para.PnKind = ListKind::Numbered;
        s.Para.PnStyle = QTextListFormat::ListDecimal;
        s.Para.PnStart = 1;
        s.Para.PnPrefix.clear();
        s.Para.PnSuffix.clear();
    } else if (word.Id == Kw::pntxtb && s.Dest == Destination::Pn) {
        s.Dest = Destination::PnTextBefore;
        s.Para.PnPrefix.clear();
    } else if (word.Id == Kw::pntxta && s.Dest == Destination::Pn) {
        s.Dest = Destination::PnTextAfter;
        s.Para.PnSuffix.clear();
    } else if (word.Id == Kw::pict) {
        if (s.Dest != Destination::Body) {
            s.Dest = Destination::Skip;
            return true;
        }
        s.Dest = Destination::Picture;
        FPict = TRtfPicture();
        FPictHeader.clear();
        FPictNibble = -1;
        FPictGoalWidth = FPictGoalHeight = 0;
        FPictScaleX = FPictScaleY = 100;
        FPictOrdinal = FPictureCount - 1;
    } else if (word.Id == Kw::upr) {
        s.UprParent = s.Dest;
        s.InUpr = true;
        s.Dest = Destination::Skip;
    } else if (word.Id == Kw::ud) {
        if (s.InUpr)
            s.Dest = s.UprParent;
    } else if (word.Id == Kw::footnote) {
        BeginFootnote();
    } else if (word.Id == Kw::field) {
        if (FFields.size() < 100000) {
            FFields.emplace_back();
            s.Field = static_cast<int>(FFields.size());
            s.FieldOwner = true;
        }
    } else if (word.Id == Kw::fldinst) {
        s.Dest = s.Dest == Destination::Body ? Destination::FieldInstruction : Destination::Skip;
    } else if (word.Id == Kw::fldrslt) {
        s.InFieldResult = true;
    } else if (word.Id == Kw::shptxt || word.Id == Kw::dptxbxtext) {
        BeginShapeText();
    } else if (word.Id == Kw::shprslt) {
        s.InShapeResult = true;
    } else if (word.Id == Kw::shp || word.Id == Kw::shpgrp) {
        BeginKept(KeptKind::Shape, "\\shptxt");
    } else if (word.Id == Kw::do_) {
        // A drawing object repeats the text of the shape whose result it is.
        if (s.InShapeResult)
            s.Dest = Destination::Skip;
        else
            BeginKept(KeptKind::Shape, "\\dptxbxtext");
    } else if (word.Id == Kw::shppict) {
        BeginKept(KeptKind::ShapePicture, nullptr);
    } else if (word.Id == Kw::nonshppict) {
        BeginKept(KeptKind::Fallback, nullptr);
        s.Dest = Destination::Skip;
    } else if (word.Id == Kw::result || word.Id == Kw::object || word.Id == Kw::shpinst ||
               word.Id == Kw::nesttableprops) {
        // Their content is read where they stand.
    } else if (SkippedDestinations().contains(word.Id)) {
        if (word.Text.startsWith("header") || word.Text.startsWith("footer"))
            BeginPagePart();
        s.Dest = Destination::Skip;
    } else {
        return false;
    }
    return true;
}

// Notes the property that a formatting word sets, so that a later style marker keeps it.
void MarkExplicit(const Word &word, CharState &c, ParaState &p)
{
    static const KwMap<unsigned> CharBits = {
        {Kw::f, CharFont},           {Kw::fs, CharSize},           {Kw::b, CharBold},
        {Kw::i, CharItalic},         {Kw::ul, CharUnderline},      {Kw::ulw, CharUnderline},
        {Kw::uldb, CharUnderline},   {Kw::ulth, CharUnderline},    {Kw::uld, CharUnderline},
        {Kw::uldash, CharUnderline}, {Kw::uldashd, CharUnderline}, {Kw::uldashdd, CharUnderline},
        {Kw::ulwave, CharUnderline}, {Kw::ulnone, CharUnderline},  {Kw::strike, CharStrike},
        {Kw::striked, CharStrike},   {Kw::cf, CharColor},          {Kw::highlight, CharHighlight},
        {Kw::cb, CharHighlight},     {Kw::chcbpat, CharHighlight}, {Kw::super, CharScript},
        {Kw::sub, CharScript},       {Kw::nosupersub, CharScript}, {Kw::up, CharScript},
        {Kw::dn, CharScript},        {Kw::v, CharHidden},          {Kw::protect, CharProtected}};
    static const KwMap<unsigned> ParaBits = {
        {Kw::ql, ParaAlignment},   {Kw::qc, ParaAlignment},
        {Kw::qr, ParaAlignment},   {Kw::qj, ParaAlignment},
        {Kw::qd, ParaAlignment},   {Kw::fi, ParaFirstIndent},
        {Kw::li, ParaLeftIndent},  {Kw::lin, ParaLeftIndent},
        {Kw::ri, ParaRightIndent}, {Kw::rin, ParaRightIndent},
        {Kw::sb, ParaSpaceBefore}, {Kw::sa, ParaSpaceAfter},
        {Kw::sl, ParaLineSpacing}, {Kw::slmult, ParaLineSpacing},
        {Kw::tqr, ParaTabs},       {Kw::tqc, ParaTabs},
        {Kw::tqdec, ParaTabs},     {Kw::tx, ParaTabs},
        {Kw::tb, ParaTabs},        {Kw::ls, ParaList},
        {Kw::ilvl, ParaList}};
    if (const unsigned *bit = CharBits.Find(word.Id))
        c.Explicit |= *bit;
    else if (const unsigned *bit = ParaBits.Find(word.Id))
        p.Explicit |= *bit;
}

// Character properties of a style that the text does not set itself.
void ApplyCharStyle(const CharState &sc, CharState &c)
{
    const auto keepChar = [&c](unsigned bit) { return (c.Explicit & bit) != 0; };
    if (!keepChar(CharFont))
        c.Font = sc.Font;
    if (!keepChar(CharSize))
        c.HalfPoints = sc.HalfPoints;
    if (!keepChar(CharBold))
        c.Bold = sc.Bold;
    if (!keepChar(CharItalic))
        c.Italic = sc.Italic;
    if (!keepChar(CharUnderline))
        c.Underline = sc.Underline;
    if (!keepChar(CharStrike))
        c.Strike = sc.Strike;
    if (!keepChar(CharColor))
        c.Color = sc.Color;
    if (!keepChar(CharHighlight))
        c.Highlight = sc.Highlight;
    if (!keepChar(CharScript))
        c.Script = sc.Script;
    if (!keepChar(CharHidden))
        c.Hidden = sc.Hidden;
    if (!keepChar(CharProtected))
        c.Protected = sc.Protected;
}

// Paragraph properties of a style that the paragraph does not set itself.
void ApplyParaStyle(const ParaState &sp, ParaState &p)
{
    const auto keepPara = [&p](unsigned bit) { return (p.Explicit & bit) != 0; };
    if (!keepPara(ParaAlignment))
        p.Alignment = sp.Alignment;
    if (!keepPara(ParaFirstIndent))
        p.FirstIndent = sp.FirstIndent;
    if (!keepPara(ParaLeftIndent))
        p.LeftIndent = sp.LeftIndent;
    if (!keepPara(ParaRightIndent))
        p.RightIndent = sp.RightIndent;
    if (!keepPara(ParaSpaceBefore))
        p.SpaceBefore = sp.SpaceBefore;
    if (!keepPara(ParaSpaceAfter))
        p.SpaceAfter = sp.SpaceAfter;
    if (!keepPara(ParaLineSpacing)) {
        p.LineSpacing = sp.LineSpacing;
        p.LineMultiple = sp.LineMultiple;
    }
    if (!keepPara(ParaTabs)) {
        p.Tabs = sp.Tabs;
        p.NextTabType = sp.NextTabType;
    }
    if (!keepPara(ParaNumbering)) {
        p.PnKind = sp.PnKind;
        p.PnStyle = sp.PnStyle;
        p.PnStart = sp.PnStart;
        p.PnPrefix = sp.PnPrefix;
        p.PnSuffix = sp.PnSuffix;
    }
    if (!keepPara(ParaList)) {
        p.ListOverride = sp.ListOverride;
        p.ListLevel = sp.ListLevel;
    }
}

// A paragraph style gives the paragraph and its text every property that they do not set
// themselves, wherever the marker stands among their control words.
void ApplyStyle(const Style &style, CharState &c, ParaState &p)
{
    ApplyCharStyle(style.Char, c);
    ApplyParaStyle(style.Para, p);
}

bool Reader::FormattingWord(const Word &w, bool hasParameter, int v)
{
    GroupState &s = State();
    CharState &c = s.Char;
    ParaState &p = s.Para;
    const bool on = !hasParameter || v != 0;
    // Character formatting.
    if (w.Id == Kw::b) {
        c.Bold = on;
    } else if (w.Id == Kw::i) {
        c.Italic = on;
    } else if (w.Id == Kw::ul || w.Id == Kw::ulw || w.Id == Kw::uldb || w.Id == Kw::ulth) {
        c.Underline = on ? QTextCharFormat::SingleUnderline : QTextCharFormat::NoUnderline;
    } else if (w.Id == Kw::uld) {
        c.Underline = on ? QTextCharFormat::DotLine : QTextCharFormat::NoUnderline;
    } else if (w.Id == Kw::uldash || w.Id == Kw::uldashd || w.Id == Kw::uldashdd) {
        c.Underline = on ? QTextCharFormat::DashUnderline : QTextCharFormat::NoUnderline;
    } else if (w.Id == Kw::ulwave) {
        c.Underline = on ? QTextCharFormat::WaveUnderline : QTextCharFormat::NoUnderline;
    } else if (w.Id == Kw::ulnone) {
        c.Underline = QTextCharFormat::NoUnderline;
    } else if (w.Id == Kw::strike || w.Id == Kw::striked) {
        c.Strike = on;
    } else if (w.Id == Kw::f) {
        c.Font = hasParameter ? v : -1;
    } else if (w.Id == Kw::fs) {
        c.HalfPoints = hasParameter && v > 0 && v <= 3276 ? v : 24;
    } else if (w.Id == Kw::cf) {
        c.Color = qMax(0, v);
    } else if (w.Id == Kw::highlight || w.Id == Kw::cb || w.Id == Kw::chcbpat) {
        c.Highlight = qMax(0, v);
    } else if (w.Id == Kw::super) {
        c.Script = QTextCharFormat::AlignSuperScript;
    } else if (w.Id == Kw::sub) {
        c.Script = QTextCharFormat::AlignSubScript;
    } else if (w.Id == Kw::nosupersub) {
        c.Script = QTextCharFormat::AlignNormal;
    } else if (w.Id == Kw::up) {
        c.Script = on ? QTextCharFormat::AlignSuperScript : QTextCharFormat::AlignNormal;
    } else if (w.Id == Kw::dn) {
        c.Script = on ? QTextCharFormat::AlignSubScript : QTextCharFormat::AlignNormal;
    } else if (w.Id == Kw::v) {
        c.Hidden = on;
    } else if (w.Id == Kw::protect) {
        c.Protected = on;
    } else if (w.Id == Kw::plain) {
        c = CharState();
    } else if (w.Id == Kw::cs) {
        // In the text a character style only names the formatting that its writer states
        // after it; the formatting in effect stays.
        if (s.Dest == Destination::StyleEntry) {
            FStyleNumber = v;
            FCharStyle = true;
        }
    } else if (w.Id == Kw::s) {
        if (s.Dest == Destination::StyleEntry) {
            FStyleNumber = v;
            FCharStyle = false;
        } else if (const auto style = FStyles.constFind(v); style != FStyles.constEnd()) {
            ApplyStyle(*style, c, p);
        }
    }
    // Paragraph formatting.
    else if (w.Id == Kw::pard) {
        p = ParaState();
    } else if (w.Id == Kw::ql) {
        p.Alignment = Qt::AlignLeft;
    } else if (w.Id == Kw::qc) {
        p.Alignment = Qt::AlignHCenter;
    } else if (w.Id == Kw::qr) {
        p.Alignment = Qt::AlignRight;
    } else if (w.Id == Kw::qj || w.Id == Kw::qd) {
        p.Alignment = Qt::AlignJustify;
    } else if (w.Id == Kw::fi) {
        p.FirstIndent = qBound(-31680, v, 31680);
    } else if (w.Id == Kw::li || w.Id == Kw::lin) {
        p.LeftIndent = qBound(-31680, v, 31680);
    } else if (w.Id == Kw::ri || w.Id == Kw::rin) {
        p.RightIndent = qBound(-31680, v, 31680);
    } else if (w.Id == Kw::sb) {
        p.SpaceBefore = qBound(0, v, 31680);
    } else if (w.Id == Kw::sa) {
        p.SpaceAfter = qBound(0, v, 31680);
    } else if (w.Id == Kw::sl) {
        p.LineSpacing = qBound(-31680, v, 31680);
    } else if (w.Id == Kw::slmult) {
        p.LineMultiple = on;
    } else if (w.Id == Kw::tqr) {
        p.NextTabType = QTextOption::RightTab;
    } else if (w.Id == Kw::tqc) {
        p.NextTabType = QTextOption::CenterTab;
    } else if (w.Id == Kw::tqdec) {
        p.NextTabType = QTextOption::DelimiterTab;
    } else if (w.Id == Kw::tx || w.Id == Kw::tb) {
        if (p.Tabs.size() < 64) {
            QTextOption::Tab tab;
            tab.position = TwipsToPixels(qBound(0, v, 31680));
            tab.type = p.NextTabType;
            if (tab.type == QTextOption::DelimiterTab)
                tab.delimiter = QLatin1Char('.');
            p.Tabs.append(tab);
        }
        p.NextTabType = QTextOption::LeftTab;
    } else if (w.Id == Kw::ls) {
        p.ListOverride = qMax(0, v);
    } else if (w.Id == Kw::ilvl) {
        p.ListLevel = qBound(0, v, 8);
    } else if (w.Id == Kw::intbl) {
        p.InTable = on;
    } else if (w.Id == Kw::itap) {
        p.Itap = qBound(0, v, TRtfTableBuilder::MaxDepth);
    }
    // Old-style numbering, inside \pn.
    else if (w.Id == Kw::pnlvlblt) {
        p.PnKind = ListKind::Bullet;
    } else if (w.Id == Kw::pnlvlbody || (w.Id == Kw::pnlvl && hasParameter)) {
        p.PnKind = ListKind::Numbered;
    } else if (w.Id == Kw::pnlvlcont) {
        p.PnKind = ListKind::None;
    } else if (w.Id == Kw::pndec) {
        p.PnStyle = QTextListFormat::ListDecimal;
    } else if (w.Id == Kw::pnucltr) {
        p.PnStyle = QTextListFormat::ListUpperAlpha;
    } else if (w.Id == Kw::pnlcltr) {
        p.PnStyle = QTextListFormat::ListLowerAlpha;
    } else if (w.Id == Kw::pnucrm) {
        p.PnStyle = QTextListFormat::ListUpperRoman;
    } else if (w.Id == Kw::pnlcrm) {
        p.PnStyle = QTextListFormat::ListLowerRoman;
    } else if (w.Id == Kw::pnstart) {
        p.PnStart = qBound(0, v, 32767);
    } else {
        return false;
    }
    // Only a style marker asks what was set explicitly, and only styles of the style sheet.
    if (!FStyles.isEmpty())
        MarkExplicit(w, c, p);
    return true;
}

void Reader::ControlWord(const Word &word, bool hasParameter, int parameter)
{
    const bool star = FStarPending;
    FStarPending = false;
    if (ExcessWord(word, star))
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
        if (word.Id == Kw::picwgoal) {
            FPictGoalWidth = qBound(0, parameter, 31680 * 4);
        } else if (word.Id == Kw::pichgoal) {
            FPictGoalHeight = qBound(0, parameter, 31680 * 4);
        } else if (word.Id == Kw::picscalex) {
            FPictScaleX = parameter;
        } else if (word.Id == Kw::picscaley) {
            FPictScaleY = parameter;
        } else {
            static const KwSet Kinds = {Kw::pngblip,  Kw::jpegblip, Kw::emfblip, Kw::wmetafile,
                                        Kw::dibitmap, Kw::wbitmap,  Kw::macpict, Kw::pmmetafile};
            const bool kind = Kinds.contains(word.Id);
            if (kind)
                FPict.Kind = word.Text.toByteArray();
            else if (word.Id == Kw::picw)
                FPict.Width = parameter;
            else if (word.Id == Kw::pich)
                FPict.Height = parameter;
            else if (word.Id == Kw::wbmwidthbytes)
                FPict.WidthBytes = parameter;
            else if (word.Id == Kw::wbmbitspixel)
                FPict.BitsPerPixel = parameter;
            else if (word.Id == Kw::wbmplanes)
                FPict.Planes = parameter;
            // The words that describe the data go back out as they came; other words in a
            // picture group (a damaged file's text or tables, say) are not the picture's.
            const bool describesData = kind ||
                                       (word.Text.startsWith("pic") && word.Id != Kw::pict) ||
                                       word.Text.startsWith("wbm") || word.Text.startsWith("blip");
            if (describesData && FPictHeader.size() < 512) {
                FPictHeader += '\\';
                FPictHeader += word.Text;
                if (hasParameter)
                    FPictHeader += QByteArray::number(parameter);
            }
        }
        return;
    default:
        break;
    }

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
        FAnsiCodePage = parameter == 1252 || IconvName(parameter) ? parameter : 1252;
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

bool Reader::TableWord(const Word &w, bool hasParameter, int v)
{
    using TMerge = TRtfCellDefinition::TMerge;
    static const KwMap<QTextFrameFormat::BorderStyle> BorderStyles = {
        {Kw::brdrs, QTextFrameFormat::BorderStyle_Solid},
        {Kw::brdrth, QTextFrameFormat::BorderStyle_Solid},
        {Kw::brdrsh, QTextFrameFormat::BorderStyle_Solid},
        {Kw::brdrhair, QTextFrameFormat::BorderStyle_Solid},
        {Kw::brdrtriple, QTextFrameFormat::BorderStyle_Solid},
        {Kw::brdrwavy, QTextFrameFormat::BorderStyle_Solid},
        {Kw::brdrdb, QTextFrameFormat::BorderStyle_Double},
        {Kw::brdrdot, QTextFrameFormat::BorderStyle_Dotted},
        {Kw::brdrdash, QTextFrameFormat::BorderStyle_Dashed},
        {Kw::brdrdashsm, QTextFrameFormat::BorderStyle_Dashed},
        {Kw::brdrdashd, QTextFrameFormat::BorderStyle_DotDash},
        {Kw::brdrdashdd, QTextFrameFormat::BorderStyle_DotDotDash},
        {Kw::brdrinset, QTextFrameFormat::BorderStyle_Inset},
        {Kw::brdroutset, QTextFrameFormat::BorderStyle_Outset},
        {Kw::brdrengrave, QTextFrameFormat::BorderStyle_Groove},
        {Kw::brdremboss, QTextFrameFormat::BorderStyle_Ridge},
        {Kw::brdrnone, QTextFrameFormat::BorderStyle_None},
        {Kw::brdrnil, QTextFrameFormat::BorderStyle_None}};
    static const KwMap<int> CellEdges = {{Kw::clbrdrt, TRtfCellDefinition::EdgeTop},
                                         {Kw::clbrdrl, TRtfCellDefinition::EdgeLeft},
                                         {Kw::clbrdrb, TRtfCellDefinition::EdgeBottom},
                                         {Kw::clbrdrr, TRtfCellDefinition::EdgeRight}};
    const GroupState &s = State();
    // Row definitions belong to the tables of the depth of the paragraph they stand in.
    TRtfRowDefinition &row = FTableBuilder.Definition(s.BaseDepth + std::max(1, DepthOf(s.Para)));
    TRtfCellDefinition &cell = FCellDefinition;
    auto colour = [this](int index) {
        return index > 0 && index < FColors.size() ? FColors.at(index) : QColor();
    };
    if (w.Id == Kw::trowd) {
        row = TRtfRowDefinition();
        cell = TRtfCellDefinition();
        FCellBackground = FCellPattern = QColor();
        FCellShading = 0;
        FBorderEdge = -1;
    } else if (w.Id == Kw::trgaph) {
        row.Gap = qBound(0, v, 31680);
    } else if (w.Id == Kw::trpaddl) {
        row.PaddingLeft = qBound(0, v, 31680);
    } else if (w.Id == Kw::trpaddr) {
        row.PaddingRight = qBound(0, v, 31680);
    } else if (w.Id == Kw::trleft) {
        row.Left = qBound(-31680, v, 31680);
    } else if (w.Id == Kw::trql) {
        row.Alignment = Qt::AlignLeft;
    } else if (w.Id == Kw::trqc) {
        row.Alignment = Qt::AlignHCenter;
    } else if (w.Id == Kw::trqr) {
        row.Alignment = Qt::AlignRight;
    } else if (w.Id == Kw::trrh) {
        row.Height = qBound(-31680, v, 31680);
    } else if (w.Id == Kw::trhdr) {
        row.Header = !hasParameter || v != 0;
    } else if (w.Id == Kw::clvmgf) {
        cell.Merge = TMerge::FirstVertical;
    } else if (w.Id == Kw::clvmrg) {
        cell.Merge = TMerge::ContinueVertical;
    } else if (w.Id == Kw::clmgf) {
        cell.Merge = TMerge::FirstHorizontal;
    } else if (w.Id == Kw::clmrg) {
        cell.Merge = TMerge::ContinueHorizontal;
    } else if (w.Id == Kw::clvertalt) {
        cell.VerticalAlignment = QTextCharFormat::AlignTop;
    } else if (w.Id == Kw::clvertalc) {
        cell.VerticalAlignment = QTextCharFormat::AlignMiddle;
    } else if (w.Id == Kw::clvertalb) {
        cell.VerticalAlignment = QTextCharFormat::AlignBottom;
    } else if (const int *edge = CellEdges.Find(w.Id)) {
        FBorderEdge = *edge;
    } else if (w.Id == Kw::trbrdr || w.Id == Kw::brdrt || w.Id == Kw::brdrb || w.Id == Kw::brdrl ||
               w.Id == Kw::brdrr || w.Id == Kw::box || w.Id == Kw::brdrbar) {
        FBorderEdge = -1; // borders of rows and paragraphs are not kept
    } else if (const auto *style = BorderStyles.Find(w.Id)) {
        if (FBorderEdge >= 0)
            cell.Borders[static_cast<size_t>(FBorderEdge)].Style = *style;
    } else if (w.Id == Kw::brdrw) {
        if (FBorderEdge >= 0)
            cell.Borders[static_cast<size_t>(FBorderEdge)].Width = qBound(0, v, 255);
    } else if (w.Id == Kw::brdrcf) {
        if (FBorderEdge >= 0)
            cell.Borders[static_cast<size_t>(FBorderEdge)].Color = colour(v);
    } else if (w.Id == Kw::clcbpat) {
        FCellBackground = colour(v);
    } else if (w.Id == Kw::clcfpat) {
        FCellPattern = colour(v);
    } else if (w.Id == Kw::clshdng) {
        FCellShading = qBound(0, v, 10000);
    } else if (w.Id == Kw::cellx) {
        cell.Right = qBound(-MaxCellBoundary, v, MaxCellBoundary);
        // Shading: the pattern colour over the background, in the stated strength.
        if (FCellShading > 0) {
            const QColor back = FCellBackground.isValid() ? FCellBackground : QColor(Qt::white);
            const QColor front = FCellPattern.isValid() ? FCellPattern : QColor(Qt::black);
            auto mix = [this](int b, int f) { return b + (f - b) * FCellShading / 10000; };
            cell.Shading = QColor(mix(back.red(), front.red()), mix(back.green(), front.green()),
                                  mix(back.blue(), front.blue()));
        } else {
            cell.Shading = FCellBackground;
        }
        if (row.Cells.size() < 256)
            row.Cells.push_back(cell);
        cell = TRtfCellDefinition();
        FCellBackground = FCellPattern = QColor();
        FCellShading = 0;
        FBorderEdge = -1;
    } else {
        return false;
    }
    return true;
}

void Reader::BeginShapeText()
{
    if (!FPending.isEmpty() || FParagraphHasContent)
        EndParagraph();
    GroupState &s = State();
    s.BaseDepth = EffectiveDepth();
    s.Para = ParaState();
    s.ShapeTextOwner = true;
}

void Reader::EndField(const FieldState &field)
{
    if (!field.HasResult)
        InsertSymbol(field.Instruction);
}

// A symbol field without a result shows its character: SYMBOL code [\f "font"] [\s points]
// [\u | \a | \h | \j].
void Reader::InsertSymbol(const QString &instruction)
{
    QStringList words;
    static const QRegularExpression Word(QStringLiteral("\"([^\"]*)\"|(\\S+)"));
    for (auto it = Word.globalMatch(instruction); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        words << (match.capturedStart(1) >= 0 ? match.captured(1) : match.captured(2));
    }
    if (words.size() < 2 || words.at(0).compare(QLatin1String("SYMBOL"), Qt::CaseInsensitive))
        return;
    bool ok = false;
    const QString number = words.at(1);
    const uint code = number.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)
                          ? number.mid(2).toUInt(&ok, 16)
                          : number.toUInt(&ok, 10);
    if (!ok || code == 0 || code > 0xFFFF)
        return;
    CharState symbol = State().Char;
    bool unicode = code > 0xFF;
    for (int i = 2; i < words.size(); ++i) {
        const QString &option = words.at(i);
        if (option == QLatin1String("\\u")) {
            unicode = true;
        } else if (option == QLatin1String("\\s") && i + 1 < words.size()) {
            const int points = words.at(++i).toInt();
            if (points > 0 && points <= 1638)
                symbol.HalfPoints = points * 2;
        } else if (option == QLatin1String("\\f") && i + 1 < words.size()) {
            const QString face = words.at(++i);
            int found = -1;
            for (auto it = FFonts.constBegin(); it != FFonts.constEnd() && found < 0; ++it) {
                if (it->Name.compare(face, Qt::CaseInsensitive) == 0)
                    found = it.key();
            }
            if (found < 0) {
                // A font the table does not name gets a number of its own.
                found = 1000000 + static_cast<int>(FFonts.size());
                FFonts.insert(found, FontEntry{face, -1});
            }
            symbol.Font = found;
        }
    }
    const char16_t c = unicode ? static_cast<char16_t>(code)
                               : TCodePage1252::ToUnicode(static_cast<unsigned char>(code));
    GroupState &s = State();
    const CharState saved = s.Char;
    s.Char = symbol;
    TextChar(c);
    s.Char = saved;
}

void Reader::BeginFootnote()
{
    GroupState &s = State();
    FootnoteText note;
    note.Start = FAfterToken;
    note.Number = FFootnoteNumber;
    note.Pictures = FPictureCount;
    note.Char = s.Char;
    note.UnicodeSkip = s.UnicodeSkip;
    if (FFootnotes.size() < 100000)
        FFootnotes.push_back(note);
    s.Dest = Destination::Footnote;
}

void Reader::Chftn()
{
    // The automatic mark of a footnote: its number, in the text and in the footnote.
    const int number = FCurrentNote >= 0 ? FCurrentNote : ++FFootnoteNumber;
    for (const QChar c : QString::number(number))
        TextChar(c.unicode());
}

// Footnotes are read again after the text, each as paragraphs of its own.
void Reader::AppendFootnotes()
{
    for (size_t n = 0; n < FFootnotes.size(); ++n) {
        const FootnoteText note = FFootnotes[n];
        if (!FPending.isEmpty() || FParagraphHasContent)
            EndParagraph();
        std::vector<GroupState> outer;
        outer.swap(FStack);
        GroupState base;
        base.Char = note.Char;
        base.UnicodeSkip = note.UnicodeSkip;
        FStack.push_back(base);
        const int pictures = FPictureCount;
        FPictureCount = note.Pictures;
        FCurrentNote = note.Number;
        FDone = false;
        FExcess.clear();
        FStarPending = false;
        FSkipCount = 0;
        Parse(note.Start, note.End < 0 ? FData.size() : note.End);
        Flush();
        LeaveTables(0);
        if (FParagraphHasContent)
            EndParagraph();
        FStack.swap(outer);
        FPictureCount = pictures;
        FCurrentNote = -1;
        FAfterTable = false;
    }
}

void Reader::ControlSymbol(char symbol)
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
    switch (symbol) {
    case '\\':
    case '{':
    case '}':
        TextChar(static_cast<char16_t>(symbol));
        break;
    case '~':
        TextChar(0x00A0);
        break;
    case '-':
        TextChar(0x00AD);
        break;
    case '_':
        TextChar(0x2011);
        break;
    case '\r':
    case '\n':
        if (s.Dest == Destination::Body)
            EndParagraph();
        break;
    default:
        break;
    }
}

void Reader::Parse(qsizetype from, qsizetype to)
{
    const char *data = FData.constData();
    qsizetype i = from;
    while (i < to && !FDone) {
        const char c = data[i];
        if (c == '{') {
            PushGroup();
            ++i;
        } else if (c == '}') {
            FPos = i;
            PopGroup();
            ++i;
        } else if (c == '\\') {
            ++i;
            if (i >= to)
                break;
            const char next = data[i];
            if (IsLetter(next)) {
                const qsizetype start = i;
                while (i < to && IsLetter(data[i]) && i - start < 32)
                    ++i;
                const QByteArrayView letters(data + start, i - start);
                const Word word{letters, KeywordOf(letters)};
                if (word.Id == Kw::pict)
                    ++FPictureCount;
                while (i < to && IsLetter(data[i]))
                    ++i;
                bool hasParameter = false;
                bool negative = false;
                qint64 value = 0;
                if (i < to && data[i] == '-' && i + 1 < to && data[i + 1] >= '0' &&
                    data[i + 1] <= '9') {
                    negative = true;
                    ++i;
                }
                int digits = 0;
                while (i < to && data[i] >= '0' && data[i] <= '9') {
                    if (digits++ < MaxParameterDigits)
                        value = value * 10 + (data[i] - '0');
                    hasParameter = true;
                    ++i;
                }
                if (i < to && data[i] == ' ')
                    ++i;
                value = std::clamp<qint64>(negative ? -value : value, -2147483647, 2147483647);
                const int parameter = static_cast<int>(value);
                if (word.Id == Kw::bin) {
                    const qint64 length = std::clamp<qint64>(parameter, 0, to - i);
                    if (State().Dest == Destination::Picture && !ExcessSkipping())
                        FPict.Data.append(data + i, length);
                    i += length;
                    FStarPending = false;
                    FSkipCount = 0;
                    continue;
                }
                FAfterToken = i;
                FWordStart = start - 1;
                ControlWord(word, hasParameter, parameter);
            } else if (next == '\'') {
                ++i;
                if (i + 1 < to && IsHex(data[i]) && IsHex(data[i + 1])) {
                    const int byte = (HexValue(data[i]) << 4) | HexValue(data[i + 1]);
                    i += 2;
                    FStarPending = false;
                    GroupState &s = State();
                    if (Skipping(s.Dest) || s.Dest == Destination::Picture)
                        continue;
                    if (SkipFallback())
                        continue;
                    if (s.Dest == Destination::LevelText && (FLevelText.isEmpty() || byte < 9)) {
                        // The text's length and the codes of the level numbers.
                        TextChar(static_cast<char16_t>(byte));
                    } else if (const char16_t c =
                                   Decode(static_cast<unsigned char>(byte), CodePage())) {
                        TextChar(c);
                    }
                }
                // A broken escape is dropped; what follows is read as usual.
            } else {
                ControlSymbol(next);
                ++i;
            }
        } else if (c == '\r' || c == '\n' || c == 0) {
            ++i;
        } else {
            // A run of plain text.
            const qsizetype start = i;
            while (i < to) {
                const char t = data[i];
                if (t == '{' || t == '}' || t == '\\' || t == '\r' || t == '\n' || t == 0)
                    break;
                ++i;
            }
            FStarPending = false;
            qsizetype runFrom = start;
            while (runFrom < i) {
                // Tab characters in the data count as tabs; other control bytes are dropped.
                qsizetype runTo = runFrom;
                while (runTo < i && static_cast<unsigned char>(data[runTo]) >= 0x20)
                    ++runTo;
                if (runTo > runFrom)
                    TextBytes(data + runFrom, static_cast<int>(runTo - runFrom));
                if (runTo < i) {
                    if (data[runTo] == '\t' && State().Dest == Destination::Body && !SkipFallback())
                        TextChar(u'\t');
                    ++runTo;
                }
                runFrom = runTo;
            }
        }
    }
}

void Reader::Run()
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

// Nested rows state their definition after their cells, so that a row is laid out before its
// definition is known. A first reading into a scratch document collects the definitions, for
// the real reading to lay out every nested row by its own. Empty when no nested row has one.
std::vector<TRtfRowDefinition> NestedRowDefinitions(const QByteArray &data)
{
    if (!data.contains("\\nestrow"))
        return {};
    QTextDocument scratch;
    QTextCursor cursor(&scratch);
    Reader reader(data, cursor);
    reader.Run();
    std::vector<TRtfRowDefinition> rows = reader.NestedRows();
    const bool stated = std::any_of(
        rows.begin(), rows.end(), [](const TRtfRowDefinition &row) { return !row.Cells.empty(); });
    return stated ? rows : std::vector<TRtfRowDefinition>();
}

} // namespace

bool TRtfReader::IsRtf(const QByteArray &data)
{
    return data.startsWith("{\\rtf");
}

bool TRtfReader::Read(const QByteArray &data, QTextCursor &cursor)
{
    if (!IsRtf(data) || cursor.isNull())
        return false;
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    const int start = cursor.position();
    // A file read into an empty document is the document: its headers and footers go with it.
    const bool whole = cursor.document()->characterCount() <= 1;
    Reader reader(data, cursor);
    reader.UseNestedRows(NestedRowDefinitions(data));
    if (whole)
        reader.KeepPageParts();
    reader.Run();
    FitListLabels(*cursor.document(), start, cursor.position());
    cursor.endEditBlock();
    return true;
}
