// Character and paragraph formats of the document reader: the formatting words, styles, and
// the formats and lists that the document gets from the state of a group.

#include "rtf/TRtfDocumentParser.h"

#include "rtf/TRtfFormatProperties.h"

#include <QTextBlock>
#include <QTextList>

#include <algorithm>
#include <limits>

namespace RtfReading {

using namespace TRtfFormatProperties;

namespace {

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

// The number of the list of a paragraph's list override and level; overrides past what the
// number holds share one.
int ListNumber(const ParaState &s)
{
    constexpr int MaxOverride = (std::numeric_limits<int>::max() - 15) / 16;
    return std::min(s.ListOverride, MaxOverride) * 16 + qBound(0, s.ListLevel, 15);
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

// Whether two paragraph states make the same block format: the properties that
// TRtfDocumentParser::MakeBlockFormat reads.
bool SameBlockFormatting(const ParaState &a, const ParaState &b)
{
    return a.Alignment == b.Alignment && a.FirstIndent == b.FirstIndent &&
           a.LeftIndent == b.LeftIndent && a.RightIndent == b.RightIndent &&
           a.SpaceBefore == b.SpaceBefore && a.SpaceAfter == b.SpaceAfter &&
           a.LineSpacing == b.LineSpacing && a.LineMultiple == b.LineMultiple && a.Tabs == b.Tabs;
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

} // namespace

QTextCharFormat TRtfDocumentParser::CharFormat(const CharState &s)
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

QTextCharFormat TRtfDocumentParser::MakeCharFormat(const CharState &s) const
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

QTextBlockFormat TRtfDocumentParser::BlockFormat(const ParaState &s, bool isList)
{
    // Paragraphs mostly repeat the formatting of the one before: the same format object
    // spares building it again and lets the document match it at once.
    if (!FBlockFormatKept || FBlockFormatIsList != isList ||
        !SameBlockFormatting(FBlockFormatPara, s)) {
        FBlockFormatPara = s;
        FBlockFormatIsList = isList;
        FBlockFormat = MakeBlockFormat(s, isList);
        FBlockFormatKept = true;
    }
    return FBlockFormat;
}

QTextBlockFormat TRtfDocumentParser::MakeBlockFormat(const ParaState &s, bool isList)
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

ListKey TRtfDocumentParser::ListOf(const ParaState &s, int *listId) const
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

void TRtfDocumentParser::ApplyList(const ParaState &s)
{
    int listId = -1;
    const ListKey key = ListOf(s, &listId);
    if (key.Kind == ListKind::None) {
        FPreviousWasList = false;
        return;
    }
    QTextList *list = nullptr;
    if (listId >= 0) {
        list = FLsLists.value(listId);
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

bool TRtfDocumentParser::FormattingWord(const Word &w, bool hasParameter, int v)
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

} // namespace RtfReading
