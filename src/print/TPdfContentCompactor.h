#pragma once

#include <QByteArray>
#include <QHash>

// Rewrites the page content that Qt's PDF engine writes, one "dx dy Td <gggg> Tj" per glyph,
// as one string a baseline ("[(...) adj (...)] TJ"), positioned by the fonts' own advance
// widths with an adjustment only where a glyph would land more than Tolerance points away
// from where Qt put it. A text object holding anything else is copied as it is.
class TPdfContentCompactor
{
public:
    // The advance widths of a font with two-byte glyph codes (Identity-H), in thousandths of
    // the font size, by glyph code.
    struct TFontWidths
    {
        QHash<uint, double> Widths;
        double Default = 1000;
        int Object = -1; // the descendant font that holds them
        double Width(uint code) const { return Widths.value(code, Default); }
    };
    using TFonts = QHash<QByteArray, TFontWidths>; // by resource name, without the slash

    // Largest distance in points between a glyph and its place in Qt's content, beside the
    // rounding of a move to a line (under a thousandth of a point).
    static constexpr double Tolerance = 0.008;

    // Qt's advances of glyphs that another glyph follows on the same baseline in the same
    // font, in hundredths of a thousandth of the font size, counted by descendant font and
    // glyph code.
    using TAdvances = QHash<int, QHash<uint, QHash<qint64, int>>>;

    explicit TPdfContentCompactor(TFonts fonts) : FFonts(std::move(fonts)) {}

    // The content with its text objects compacted; empty when the content holds something
    // (an operator that moves text, an inline image, a token it cannot read) that makes the
    // result uncertain.
    QByteArray Compact(const QByteArray &content) const { return Walk(content, nullptr); }
    // Counts the advances of the glyphs in the text objects this can compact.
    void Measure(const QByteArray &content, TAdvances &advances) const { Walk(content, &advances); }

private:
    QByteArray Walk(const QByteArray &content, TAdvances *advances) const;

    TFonts FFonts;
};
