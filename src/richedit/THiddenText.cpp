#include "richedit/THiddenText.h"

#include "rtf/TRtfFormatProperties.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>

namespace {

// Display formats a paragraph may take. Qt splits its layout items at every one of them, at a
// cost that grows with their number times the items, so a paragraph with more hidden runs than
// any real document has (only a hostile file has) shows them instead of stalling.
constexpr int MaxHiddenRuns = 256;

QTextCharFormat HiddenLook()
{
    QTextCharFormat f;
    f.setFontPointSize(0.1);
    f.setFontStretch(1);
    f.setFontLetterSpacingType(QFont::AbsoluteSpacing);
    f.setFontLetterSpacing(0);
    f.setFontUnderline(false);
    f.setFontStrikeOut(false);
    f.setForeground(Qt::transparent);
    f.setBackground(Qt::transparent);
    return f;
}

// Characters a change adds before it is worth asking HasHiddenFormat first.
constexpr int KLargeChange = 4096;

// Whether any format of the document is hidden: when none is, no paragraph has a hidden run.
bool HasHiddenFormat(const QTextDocument &document)
{
    const QList<QTextFormat> formats = document.allFormats();
    return std::any_of(formats.cbegin(), formats.cend(), [](const QTextFormat &format) {
        return format.boolProperty(TRtfFormatProperties::Hidden);
    });
}

// The hidden runs of the block, adjacent ones joined; empty past MaxHiddenRuns.
QList<QTextLayout::FormatRange> HiddenRuns(const QTextBlock &block)
{
    QList<QTextLayout::FormatRange> runs;
    // Built at the first hidden run: most paragraphs have none.
    QTextCharFormat look;
    for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (!fragment.isValid() ||
            !fragment.charFormat().boolProperty(TRtfFormatProperties::Hidden))
            continue;
        const int start = fragment.position() - block.position();
        if (!runs.isEmpty() && runs.last().start + runs.last().length == start) {
            runs.last().length += fragment.length();
        } else if (runs.size() == MaxHiddenRuns) {
            return {};
        } else {
            if (runs.isEmpty())
                look = HiddenLook();
            runs.append({start, fragment.length(), look});
        }
    }
    return runs;
}

} // namespace

THiddenText::THiddenText(QTextDocument *document) : QObject(document), FDocument(document)
{
    connect(FDocument, &QTextDocument::contentsChange, this, &THiddenText::ContentsChange);
    ContentsChange(0, 0, FDocument->characterCount());
}

void THiddenText::SetActive(bool on)
{
    if (on == FActive)
        return;
    FActive = on;
    if (on)
        ContentsChange(0, 0, FDocument->characterCount());
}

void THiddenText::ContentsChange(int from, int, int added)
{
    if (!FActive)
        return;
    const int to = from + added;
    // A large change (a load, a paste) first asks whether the document has hidden text at all,
    // which most have not, to spare looking through every fragment; a key's change looks at
    // its paragraph only, cheaper than going through all the document's formats.
    const bool hidden = added < KLargeChange || HasHiddenFormat(*FDocument);
    for (QTextBlock block = FDocument->findBlock(from); block.isValid() && block.position() <= to;
         block = block.next())
        UpdateBlock(block, hidden);
}

void THiddenText::UpdateBlock(const QTextBlock &block, bool hidden)
{
    QTextLayout *layout = block.layout();
    if (!layout)
        return;
    QList<QTextLayout::FormatRange> formats;
    if (hidden)
        formats = HiddenRuns(block);
    // What an input method shows while it composes is its own.
    if (!layout->preeditAreaText().isEmpty()) {
        const int preeditStart = layout->preeditAreaPosition();
        const int preeditEnd = preeditStart + int(layout->preeditAreaText().size());
        for (const QTextLayout::FormatRange &range : layout->formats()) {
            if (range.start >= preeditStart && range.start + range.length <= preeditEnd)
                formats.append(range);
        }
    }
    if (formats == layout->formats())
        return;
    layout->setFormats(formats);
    // Inside a change notification this joins the change; otherwise it lays the block out anew.
    FDocument->markContentsDirty(block.position(), block.length());
}
