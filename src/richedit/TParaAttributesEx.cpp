#include "richedit/TParaAttributesEx.h"

#include "richedit/TRichEditHost.h"
#include "rtf/ListLabels.h"
#include "rtf/TRtfFormatProperties.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextList>

#include <cmath>
#include <vector>

using namespace TRtfFormatProperties;

namespace {

constexpr int TwipsPerPoint = 20;

int RoundTwips(double points)
{
    return static_cast<int>(std::nearbyint(points * TwipsPerPoint));
}

// First-line indent relative to the left indent (a list item keeps it beside the bullet).
int FirstLineTwips(const QTextBlock &block, const QTextBlockFormat &format)
{
    if (block.textList())
        return format.intProperty(ListFirstIndent);
    return PixelsToTwips(format.textIndent());
}

void SetFirstLineTwips(const QTextBlock &block, QTextBlockFormat &format, int twips)
{
    if (block.textList()) {
        format.setTextIndent(0);
        format.setProperty(ListFirstIndent, twips);
    } else {
        format.setTextIndent(TwipsToPixels(twips));
    }
}

int NumberingOf(const QTextList *list)
{
    if (!list)
        return 0;
    switch (list->format().style()) {
    case QTextListFormat::ListDecimal:
        return 2;
    case QTextListFormat::ListLowerAlpha:
        return 3;
    case QTextListFormat::ListUpperAlpha:
        return 4;
    case QTextListFormat::ListLowerRoman:
        return 5;
    case QTextListFormat::ListUpperRoman:
        return 6;
    default:
        return 1;
    }
}

QTextListFormat::Style StyleOfNumbering(int numbering)
{
    switch (numbering) {
    case 2:
        return QTextListFormat::ListDecimal;
    case 3:
        return QTextListFormat::ListLowerAlpha;
    case 4:
        return QTextListFormat::ListUpperAlpha;
    case 5:
        return QTextListFormat::ListLowerRoman;
    case 6:
        return QTextListFormat::ListUpperRoman;
    default:
        return QTextListFormat::ListDisc;
    }
}

} // namespace

TParaAttributesEx::TParaAttributesEx(TRichEditHost *control) : FControl(control) {}

int TParaAttributesEx::StartTwipsOf(const QTextBlock &block)
{
    const QTextBlockFormat format = block.blockFormat();
    return PixelsToTwips(format.leftMargin()) + FirstLineTwips(block, format);
}

int TParaAttributesEx::OffsetTwipsOf(const QTextBlock &block)
{
    return -FirstLineTwips(block, block.blockFormat());
}

int TParaAttributesEx::RightTwipsOf(const QTextBlock &block)
{
    return PixelsToTwips(block.blockFormat().rightMargin());
}

QTextBlock TParaAttributesEx::FirstBlock() const
{
    if (!HasWindow())
        return {};
    return FControl->Editor().document()->findBlock(
        FControl->Editor().textCursor().selectionStart());
}

void TParaAttributesEx::ForEachBlock(
    const std::function<void(const QTextBlock &, QTextBlockFormat &)> &change)
{
    if (!HasWindow())
        return;
    const QTextCursor selection = FControl->Editor().textCursor();
    QTextDocument *document = FControl->Editor().document();
    const QTextBlock last = document->findBlock(selection.selectionEnd());
    FControl->BeginFormatChange();
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    for (QTextBlock block = document->findBlock(selection.selectionStart()); block.isValid();
         block = block.next()) {
        QTextBlockFormat format = block.blockFormat();
        change(block, format);
        cursor.setPosition(block.position());
        cursor.setBlockFormat(format);
        if (block == last)
            break;
    }
    FitListLabels(*document, selection.selectionStart(), selection.selectionEnd());
    cursor.endEditBlock();
    FControl->EndFormatChange();
}

// --- Indents --------------------------------------------------------------------------------

void TParaAttributesEx::SetStartTwips(int twips)
{
    ForEachBlock([twips](const QTextBlock &block, QTextBlockFormat &f) {
        f.setLeftMargin(TwipsToPixels(twips - FirstLineTwips(block, f)));
    });
}

void TParaAttributesEx::SetOffsetTwips(int twips)
{
    ForEachBlock([twips](const QTextBlock &block, QTextBlockFormat &f) {
        // The first line stays where it is; the following lines move.
        const int start = PixelsToTwips(f.leftMargin()) + FirstLineTwips(block, f);
        SetFirstLineTwips(block, f, -twips);
        f.setLeftMargin(TwipsToPixels(start + twips));
    });
}

void TParaAttributesEx::SetRightTwips(int twips)
{
    ForEachBlock([twips](const QTextBlock &, QTextBlockFormat &f) {
        f.setRightMargin(TwipsToPixels(twips));
    });
}

double TParaAttributesEx::StartIndent() const
{
    const QTextBlock block = FirstBlock();
    return block.isValid() ? StartTwipsOf(block) / double(TwipsPerPoint) : 0.0;
}

void TParaAttributesEx::SetStartIndent(double points)
{
    SetStartTwips(RoundTwips(points));
}

double TParaAttributesEx::OffsetIndent() const
{
    const QTextBlock block = FirstBlock();
    return block.isValid() ? OffsetTwipsOf(block) / double(TwipsPerPoint) : 0.0;
}

void TParaAttributesEx::SetOffsetIndent(double points)
{
    SetOffsetTwips(RoundTwips(points));
}

double TParaAttributesEx::RightInset() const
{
    const QTextBlock block = FirstBlock();
    return block.isValid() ? RightTwipsOf(block) / double(TwipsPerPoint) : 0.0;
}

void TParaAttributesEx::SetRightInset(double points)
{
    SetRightTwips(RoundTwips(points));
}

int TParaAttributesEx::FirstIndent() const
{
    const QTextBlock block = FirstBlock();
    return block.isValid() ? StartTwipsOf(block) / TwipsPerPoint : 0;
}

void TParaAttributesEx::SetFirstIndent(int points)
{
    SetStartTwips(points * TwipsPerPoint);
}

int TParaAttributesEx::LeftIndent() const
{
    const QTextBlock block = FirstBlock();
    return block.isValid() ? OffsetTwipsOf(block) / TwipsPerPoint : 0;
}

void TParaAttributesEx::SetLeftIndent(int points)
{
    SetOffsetTwips(points * TwipsPerPoint);
}

int TParaAttributesEx::RightIndent() const
{
    const QTextBlock block = FirstBlock();
    return block.isValid() ? RightTwipsOf(block) / TwipsPerPoint : 0;
}

void TParaAttributesEx::SetRightIndent(int points)
{
    SetRightTwips(points * TwipsPerPoint);
}

// --- Alignment and numbering ------------------------------------------------------------------

int TParaAttributesEx::Alignment() const
{
    const QTextBlock block = FirstBlock();
    if (!block.isValid())
        return -1; // wAlignment 0
    const Qt::Alignment alignment =
        block.blockFormat().alignment() & (Qt::AlignHorizontal_Mask & ~Qt::AlignAbsolute);
    if (alignment & Qt::AlignJustify)
        return 3;
    if (alignment & Qt::AlignHCenter)
        return taCenter;
    if (alignment & (Qt::AlignRight | Qt::AlignTrailing))
        return taRightJustify;
    return taLeftJustify;
}

void TParaAttributesEx::SetAlignment(int alignment)
{
    Qt::Alignment value = Qt::AlignLeft;
    switch (alignment) {
    case taRightJustify:
        value = Qt::AlignRight;
        break;
    case taCenter:
        value = Qt::AlignHCenter;
        break;
    case 3:
        value = Qt::AlignJustify;
        break;
    default:
        break;
    }
    ForEachBlock([value](const QTextBlock &, QTextBlockFormat &f) { f.setAlignment(value); });
}

int TParaAttributesEx::BulletStyle() const
{
    const QTextBlock block = FirstBlock();
    return block.isValid() ? NumberingOf(block.textList()) : 0;
}

void TParaAttributesEx::SetBulletStyle(int style)
{
    if (!HasWindow())
        return;
    style &= 0xFF;
    const QTextCursor selection = FControl->Editor().textCursor();
    QTextDocument *document = FControl->Editor().document();
    std::vector<QTextBlock> blocks;
    const QTextBlock last = document->findBlock(selection.selectionEnd());
    for (QTextBlock block = document->findBlock(selection.selectionStart()); block.isValid();
         block = block.next()) {
        blocks.push_back(block);
        if (block == last)
            break;
    }
    FControl->BeginFormatChange();
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    // Each block leaves its list first, keeping its first-line indent in the plain form.
    for (const QTextBlock &block : blocks) {
        QTextList *list = block.textList();
        if (!list)
            continue;
        const int firstLine = FirstLineTwips(block, block.blockFormat());
        list->remove(block);
        QTextBlockFormat format = block.blockFormat();
        format.clearProperty(ListFirstIndent);
        format.setIndent(0);
        format.setTextIndent(TwipsToPixels(firstLine));
        cursor.setPosition(block.position());
        cursor.setBlockFormat(format);
    }
    if (style != 0 && !blocks.empty()) {
        QTextListFormat listFormat;
        listFormat.setStyle(StyleOfNumbering(style));
        listFormat.setIndent(0);
        QTextList *list = nullptr;
        for (const QTextBlock &block : blocks) {
            const int firstLine = FirstLineTwips(block, block.blockFormat());
            cursor.setPosition(block.position());
            if (!list)
                list = cursor.createList(listFormat);
            else
                list->add(block);
            QTextBlockFormat format = block.blockFormat();
            format.setTextIndent(0);
            format.setProperty(ListFirstIndent, firstLine);
            cursor.setBlockFormat(format);
        }
        FitListLabels(*document, blocks.front().position(), blocks.back().position());
    }
    cursor.endEditBlock();
    FControl->EndFormatChange();
}

TNumberingStyle TParaAttributesEx::Numbering() const
{
    return static_cast<TNumberingStyle>(BulletStyle());
}

void TParaAttributesEx::SetNumbering(TNumberingStyle numbering)
{
    SetBulletStyle(numbering);
}
