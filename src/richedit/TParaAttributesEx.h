#pragma once

#include <functional>

class QTextBlock;
class QTextBlockFormat;
class TRichEditHost;

// Paragraph alignment values.
enum TAlignment : int { taLeftJustify = 0, taRightJustify = 1, taCenter = 2 };

// Numbering of a paragraph: none or bullets (other values are numbered kinds).
enum TNumberingStyle : int { nsNone = 0, nsBullet = 1 };

// The paragraph format of the paragraphs in a rich text control's selection. Reads give the
// format of the paragraph where the selection starts; writes change one property of every
// paragraph the selection touches.
//
// Indents follow the rich edit control's model: the start indent is the first line's indent
// from the margin, the offset is where the following lines stand relative to the first line.
// The floating properties are in points (kept in twips); FirstIndent, LeftIndent and
// RightIndent are the same three indents in whole points.
//
// An object made without a control stands for a control that has no window: reads give 0 and
// writes do nothing.
class TParaAttributesEx
{
public:
    explicit TParaAttributesEx(TRichEditHost *control);
    TParaAttributesEx(const TParaAttributesEx &) = delete;
    TParaAttributesEx &operator=(const TParaAttributesEx &) = delete;

    double StartIndent() const;
    void SetStartIndent(double points);
    double OffsetIndent() const;
    void SetOffsetIndent(double points);
    double RightInset() const;
    void SetRightInset(double points);
    // taLeftJustify, taRightJustify, taCenter; a justified paragraph reads 3.
    int Alignment() const;
    void SetAlignment(int alignment);
    // 0 none, 1 bullet; numbered paragraphs read 2 (arabic) to 6 (upper roman).
    int BulletStyle() const;
    void SetBulletStyle(int style);

    // Whole points: first-line indent (start indent), left indent (offset of the following
    // lines) and right indent; reads truncate towards zero.
    int FirstIndent() const;
    void SetFirstIndent(int points);
    int LeftIndent() const;
    void SetLeftIndent(int points);
    int RightIndent() const;
    void SetRightIndent(int points);
    TNumberingStyle Numbering() const;
    void SetNumbering(TNumberingStyle numbering);

    // The indents of a block in twips.
    static int StartTwipsOf(const QTextBlock &block);
    static int OffsetTwipsOf(const QTextBlock &block);
    static int RightTwipsOf(const QTextBlock &block);

private:
    bool HasWindow() const { return FControl != nullptr; }
    QTextBlock FirstBlock() const;
    // Runs change on every block the selection touches (with the block), as one undo step.
    void ForEachBlock(const std::function<void(const QTextBlock &, QTextBlockFormat &)> &change);
    void SetStartTwips(int twips);
    void SetOffsetTwips(int twips);
    void SetRightTwips(int twips);

    TRichEditHost *FControl;
};
