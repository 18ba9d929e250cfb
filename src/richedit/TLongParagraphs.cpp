#include "richedit/TLongParagraphs.h"

#include <QFont>
#include <QStringView>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>

namespace {
// Ranges of characters that Qt draws right without shaping: Latin, Greek, Cyrillic and
// Armenian letters, punctuation and symbols, and the ideographic scripts. Everything else
// (joined and Indic scripts, combining marks, joiners, variation selectors, surrogates) may
// need shaping to be read.
constexpr char16_t KPlainRanges[][2] = {{0x0000, 0x02FF}, {0x0370, 0x0482}, {0x048A, 0x058F},
                                        {0x1E00, 0x1FFF}, {0x2000, 0x200B}, {0x2010, 0x20CF},
                                        {0x2100, 0x2BFF}, {0x3000, 0x9FFF}, {0xAC00, 0xD7A3},
                                        {0xF900, 0xFAFF}, {0xFF00, 0xFFEF}, {0xFFFC, 0xFFFD}};

bool IsPlain(char16_t c)
{
    for (const auto &range : KPlainRanges) {
        if (c < range[0])
            return false;
        if (c <= range[1])
            return true;
    }
    return false;
}

// Pieces of this size are asked of the document one character at a time rather than copying
// their paragraph's text.
constexpr int SmallRange = 256;
} // namespace

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

bool TLongParagraphs::NeedsShaping(QStringView text)
{
    for (const QChar c : text) {
        // The ranges are in order: most text is below the end of the first one.
        if (c.unicode() > 0x02FF && !IsPlain(c.unicode()))
            return true;
    }
    return false;
}

void TLongParagraphs::ContentsChange(int from, int removed, int added)
{
    if (!FActive)
        return;
    // Before Qt lays the change out, so that the layout made now is the one kept.
    KeepLayouts(from, from + added);
    if (MaySwitch(from, removed, added))
        ApplyShapingLater();
}

bool TLongParagraphs::MaySwitch(int from, int removed, int added) const
{
    const QTextBlock changed = FDocument->findBlock(from);
    if (Unshaped()) {
        // A long paragraph gone can only have merged into the one that holds the change.
        return (removed > 0 && !IsLong(changed)) || RangeNeedsShaping(from, from + added);
    }
    // Text that needs shaping may have gone from a document with a long paragraph.
    if (removed > 0 && IsLong(changed))
        return true;
    // A paragraph that is long only with the added text may have become long by it.
    for (QTextBlock block = changed; block.isValid() && block.position() <= from + added;
         block = block.next()) {
        if (IsLong(block) && block.length() - added <= LongParagraph)
            return true;
    }
    return false;
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

bool TLongParagraphs::RangeNeedsShaping(int from, int to) const
{
    if (to - from <= SmallRange) {
        for (int position = from; position < to; ++position) {
            const QChar c = FDocument->characterAt(position);
            if (NeedsShaping(QStringView(&c, 1)))
                return true;
        }
        return false;
    }
    for (QTextBlock block = FDocument->findBlock(from); block.isValid() && block.position() < to;
         block = block.next()) {
        const QString text = block.text();
        const int start = std::max(0, from - block.position());
        const int end = std::min<int>(text.size(), to - block.position());
        if (start < end && NeedsShaping(QStringView(text).mid(start, end - start)))
            return true;
    }
    return false;
}

void TLongParagraphs::ApplyShaping()
{
    const bool unshaped = HasLongParagraph() && !RangeNeedsShaping(0, FDocument->characterCount());
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
