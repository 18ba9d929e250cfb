// Destinations of the document reader: the font, colour and style tables, lists, fields,
// footnotes, headers and footers, text boxes, and the groups whose content is passed over.

#include "rtf/TRtfDocumentParser.h"

#include "rtf/TCodePage1252.h"

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>

namespace RtfReading {

namespace {

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

} // namespace

void TRtfDocumentParser::EndFontEntry()
{
    if (FFontEntryNumber >= 0 && !FFontNameDone) {
        FontEntry entry;
        entry.Name = FFontName.trimmed();
        entry.Charset = FFontCharset;
        FFonts.insert(FFontEntryNumber, entry);
    }
    FFontNameDone = true;
}

void TRtfDocumentParser::EndStyleEntry(const GroupState &entry)
{
    Style style{entry.Char, entry.Para};
    if (FCharStyle)
        FCharStyles.insert(FStyleNumber, style);
    else
        FStyles.insert(FStyleNumber, style);
}

// A group nested deeper than the states kept cannot change the destination of the state it
// shares: a word that would makes the group's content passed over, and a field there shows
// its result as text.
bool TRtfDocumentParser::ExcessWord(const Word &word, bool star)
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
void TRtfDocumentParser::BeginPagePart()
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

void TRtfDocumentParser::StorePageParts()
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

bool TRtfDocumentParser::Destinations(const Word &word)
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

void TRtfDocumentParser::BeginShapeText()
{
    if (!FPending.isEmpty() || FParagraphHasContent)
        EndParagraph();
    GroupState &s = State();
    s.BaseDepth = EffectiveDepth();
    s.Para = ParaState();
    s.ShapeTextOwner = true;
}

void TRtfDocumentParser::EndField(const FieldState &field)
{
    if (!field.HasResult)
        InsertSymbol(field.Instruction);
}

// A symbol field without a result shows its character: SYMBOL code [\f "font"] [\s points]
// [\u | \a | \h | \j].
void TRtfDocumentParser::InsertSymbol(const QString &instruction)
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

void TRtfDocumentParser::BeginFootnote()
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

void TRtfDocumentParser::Chftn()
{
    // The automatic mark of a footnote: its number, in the text and in the footnote.
    const int number = FCurrentNote >= 0 ? FCurrentNote : ++FFootnoteNumber;
    for (const QChar c : QString::number(number))
        TextChar(c.unicode());
}

// Footnotes are read again after the text, each as paragraphs of its own.
void TRtfDocumentParser::AppendFootnotes()
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

} // namespace RtfReading
