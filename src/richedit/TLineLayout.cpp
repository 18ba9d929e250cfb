#include "richedit/TLineLayout.h"

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>

const std::vector<TLineLayout::TLine> &TLineLayout::Lines(const QTextDocument &document, bool wrap,
                                                          quint64 generation)
{
    const qreal width = wrap ? document.textWidth() : -1;
    if (FGeneration == generation && FWidth == width && !FLines.empty())
        return FLines;
    if (wrap)
        document.documentLayout()->documentSize(); // completes the layout of every block
    FLines.clear();
    const QTextBlock last = document.lastBlock();
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const int start = block.position();
        const int blockLength = block.length() - 1;
        const bool endsParagraph = block != last;
        const QTextLayout *layout = wrap ? block.layout() : nullptr;
        const int lines = layout ? layout->lineCount() : 0;
        const QString text = block.text();
        if (lines <= 0) {
            AddUnwrapped(start, text, blockLength, endsParagraph);
            continue;
        }
        for (int i = 0; i < lines; ++i) {
            const QTextLine line = layout->lineAt(i);
            int lineStart = line.textStart();
            int lineEnd = i + 1 < lines ? layout->lineAt(i + 1).textStart() : blockLength;
            lineStart = std::clamp(lineStart, 0, blockLength);
            lineEnd = std::clamp(lineEnd, lineStart, blockLength);
            // A manual line break ends the line but is no part of its text.
            if (lineEnd > lineStart && text.at(lineEnd - 1) == QChar::LineSeparator)
                --lineEnd;
            FLines.push_back(
                {start + lineStart, lineEnd - lineStart, endsParagraph && i + 1 == lines});
        }
    }
    if (FLines.empty())
        FLines.push_back({0, 0, false});
    FGeneration = generation;
    FWidth = width;
    return FLines;
}

void TLineLayout::AddUnwrapped(int start, const QString &text, int blockLength, bool endsParagraph)
{
    // Without wrapping a line is a paragraph, or the part of one that a manual line break ends.
    int lineStart = 0;
    for (qsizetype at = text.indexOf(QChar::LineSeparator); at >= 0;
         at = text.indexOf(QChar::LineSeparator, lineStart)) {
        FLines.push_back({start + lineStart, static_cast<int>(at) - lineStart, false});
        lineStart = static_cast<int>(at) + 1;
    }
    FLines.push_back({start + lineStart, blockLength - lineStart, endsParagraph});
}

int TLineLayout::LineOf(const std::vector<TLine> &lines, int position)
{
    auto it = std::upper_bound(lines.begin(), lines.end(), position,
                               [](int value, const TLine &line) { return value < line.Start; });
    if (it == lines.begin())
        return 0;
    return static_cast<int>(std::distance(lines.begin(), it)) - 1;
}
