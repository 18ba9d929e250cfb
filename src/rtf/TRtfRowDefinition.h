#pragma once

#include "rtf/RtfTableGeometry.h"

#include <QColor>
#include <QTextFormat>

#include <array>
#include <vector>

// One edge of a table cell as rich text states it (\clbrdrt ... with \brdrs, \brdrw, \brdrcf).
struct TRtfBorder
{
    QTextFrameFormat::BorderStyle Style = QTextFrameFormat::BorderStyle_None;
    int Width = 0; // twips
    QColor Color;  // invalid: automatic (black)

    bool IsSet() const { return Style != QTextFrameFormat::BorderStyle_None; }
};

constexpr int MaxCellBoundary = RtfTableGeometry::MaxCellBoundary;

// A cell of a row definition: everything from the cell's first property to its \cellx.
struct TRtfCellDefinition
{
    enum class TMerge {
        None,
        FirstVertical,
        ContinueVertical,
        FirstHorizontal,
        ContinueHorizontal
    };
    enum TEdge { EdgeTop, EdgeLeft, EdgeBottom, EdgeRight };

    int Right = 0; // \cellx: right boundary in twips from the left margin
    TMerge Merge = TMerge::None;
    QTextCharFormat::VerticalAlignment VerticalAlignment = QTextCharFormat::AlignTop;
    std::array<TRtfBorder, 4> Borders;
    QColor Shading; // invalid: none
};

// The row definition that \trowd starts: the row's own properties and its cells in order.
struct TRtfRowDefinition
{
    int Left = 0; // \trleft, twips
    int Gap = 0;  // \trgaph: half the space between the cells' text, twips
    // \trpaddl, \trpaddr: the cells' own left and right padding, twips; -1: the gap's.
    int PaddingLeft = -1;
    int PaddingRight = -1;
    Qt::Alignment Alignment = Qt::AlignLeft;
    int Height = 0; // \trrh, twips; negative: exact height
    bool Header = false;
    std::vector<TRtfCellDefinition> Cells;
};
