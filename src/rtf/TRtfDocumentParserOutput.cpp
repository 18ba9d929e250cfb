// Where the document reader puts what it reads: runs of text, paragraph ends, the cells and
// rows of tables at their depth, and the words of row and cell definitions.

#include "rtf/TRtfDocumentParser.h"

#include <QTextBlock>

#include <algorithm>

namespace RtfReading {

void TRtfDocumentParser::Flush()
{
    if (FPending.isEmpty())
        return;
    Prepare(true);
    FCursor.insertText(FPending, CharFormat(FPendingFormat));
    // The document copies the text: the buffer serves the next run, not allocated again.
    FPending.resize(0);
    FParagraphHasContent = true;
    FJustLeftTable = false;
}

int TRtfDocumentParser::EffectiveDepth() const
{
    const GroupState &s = State();
    return std::min(s.BaseDepth + DepthOf(s.Para), TRtfTableBuilder::MaxDepth);
}

int TRtfDocumentParser::ContentDepth() const
{
    return FDepthOverride >= 0 ? FDepthOverride : EffectiveDepth();
}

void TRtfDocumentParser::Prepare(bool forContent)
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

void TRtfDocumentParser::MaterializeBreak()
{
    if (!FBreakPending)
        return;
    FBreakPending = false;
    FCursor.insertBlock(FLastBlockFormat, CharFormat(State().Char));
    FBreakMade = true;
}

bool TRtfDocumentParser::LeaveTables(int depth)
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

void TRtfDocumentParser::EndParagraph()
{
    ++FContentRead;
    Flush();
    Prepare(true);
    FinishParagraph();
    FBreakPending = true;
    FParagraphHasContent = false;
}

void TRtfDocumentParser::FinishParagraph()
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

void TRtfDocumentParser::EndCell(int level)
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

void TRtfDocumentParser::EndRow(int level)
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

void TRtfDocumentParser::NoteContent()
{
    ++FContentRead;
    const GroupState &s = State();
    if (s.InFieldResult && s.Field > 0)
        FFields[static_cast<size_t>(s.Field - 1)].HasResult = true;
}

bool TRtfDocumentParser::TableWord(const Word &w, bool hasParameter, int v)
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

} // namespace RtfReading
