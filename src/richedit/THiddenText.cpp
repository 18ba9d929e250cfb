#include "richedit/THiddenText.h"

#include "richedit/TRtfFormatProperties.h"

#include <QCoreApplication>
#include <QTextBlock>
#include <QTextDocument>

#include <utility>
#include <vector>

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

} // namespace

THiddenText::THiddenText(QTextDocument *document)
    : QSyntaxHighlighter(document), FDocument(document)
{
    // The base class defers its first pass to the event loop and ignores edits until then.
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

void THiddenText::SetActive(bool on)
{
    if (on == (document() != nullptr))
        return;
    setDocument(on ? FDocument : nullptr);
    if (on)
        QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

void THiddenText::highlightBlock(const QString &)
{
    const QTextBlock block = currentBlock();
    std::vector<std::pair<int, int>> runs; // start in the block, length
    for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (!fragment.isValid() ||
            !fragment.charFormat().boolProperty(TRtfFormatProperties::Hidden))
            continue;
        const int start = fragment.position() - block.position();
        if (!runs.empty() && runs.back().first + runs.back().second == start)
            runs.back().second += fragment.length();
        else if (static_cast<int>(runs.size()) == MaxHiddenRuns)
            return; // Qt's layout slows down with every display format: leave it shown
        else
            runs.emplace_back(start, fragment.length());
    }
    static const QTextCharFormat look = HiddenLook();
    for (const auto &[start, length] : runs)
        setFormat(start, length, look);
}
