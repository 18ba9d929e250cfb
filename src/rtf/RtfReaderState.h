#pragma once

// The document reader's state: the formatting and destination of each group, and the entries
// of the tables that the header of rich text defines. Internal to the reader.

#include "rtf/TRtfTableBuilder.h"

#include <QList>
#include <QString>
#include <QTextCharFormat>
#include <QTextListFormat>
#include <QTextOption>

#include <algorithm>
#include <cstddef>

namespace RtfReading {

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
inline bool Skipping(Destination destination)
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
inline int DepthOf(const ParaState &p)
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

} // namespace RtfReading
