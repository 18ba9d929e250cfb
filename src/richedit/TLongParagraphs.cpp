#include "richedit/TLongParagraphs.h"

#include <QFont>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

TLongParagraphs::TLongParagraphs(QTextDocument *document) : QObject(document), FDocument(document)
{
    connect(FDocument, &QTextDocument::contentsChange, this, &TLongParagraphs::ContentsChange);
    SetActive(true);
}

void TLongParagraphs::SetActive(bool on)
{
    FActive = on;
    if (!on)
        return;
    KeepLayouts(0, FDocument->characterCount());
    ApplyShaping();
}

void TLongParagraphs::DefaultFontReplaced()
{
    if (FActive)
        ApplyShaping();
}

bool TLongParagraphs::Unshaped() const
{
    return FDocument->defaultFont().styleStrategy() & QFont::PreferNoShaping;
}

bool TLongParagraphs::IsLong(const QTextBlock &block)
{
    return block.length() > LongParagraph;
}

void TLongParagraphs::ContentsChange(int from, int removed, int added)
{
    if (!FActive)
        return;
    // Before Qt lays the change out, so that the layout made now is the one kept.
    KeepLayouts(from, from + added);
    const QTextBlock changed = FDocument->findBlock(from);
    // A long paragraph gone can only have merged into the one that holds the change.
    const bool mayHaveGone = Unshaped() && removed > 0 && !IsLong(changed);
    bool mayHaveCome = false;
    for (QTextBlock block = changed;
         !Unshaped() && block.isValid() && block.position() <= from + added && !mayHaveCome;
         block = block.next())
        mayHaveCome = IsLong(block);
    if (mayHaveGone || mayHaveCome)
        ApplyShapingLater();
}

void TLongParagraphs::KeepLayouts(int from, int to)
{
    for (QTextBlock block = FDocument->findBlock(from); block.isValid() && block.position() <= to;
         block = block.next()) {
        if (IsLong(block))
            block.layout()->setCacheEnabled(true);
    }
}

bool TLongParagraphs::HasLongParagraph() const
{
    for (QTextBlock block = FDocument->begin(); block.isValid(); block = block.next()) {
        if (IsLong(block))
            return true;
    }
    return false;
}

void TLongParagraphs::ApplyShaping()
{
    const bool unshaped = HasLongParagraph();
    if (unshaped == Unshaped())
        return;
    QFont font = FDocument->defaultFont();
    const int strategy = font.styleStrategy();
    font.setStyleStrategy(QFont::StyleStrategy(unshaped ? strategy | QFont::PreferNoShaping
                                                        : strategy & ~QFont::PreferNoShaping));
    FDocument->setDefaultFont(font);
}

void TLongParagraphs::ApplyShapingLater()
{
    if (FApplyPending)
        return;
    FApplyPending = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            FApplyPending = false;
            if (FActive)
                ApplyShaping();
        },
        Qt::QueuedConnection);
}
