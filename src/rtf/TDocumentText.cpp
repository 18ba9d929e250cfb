#include "rtf/TDocumentText.h"

#include "rtf/TRtfReader.h"
#include "rtf/TTextFileCodec.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace {
bool IsFrameMark(QChar c)
{
    return c == QChar(0xFDD0) || c == QChar(0xFDD1) || c == QChar::ParagraphSeparator;
}
} // namespace

QString TDocumentText::Range(const QTextDocument &document, int from, int to)
{
    const int end = std::max(0, document.characterCount() - 1);
    from = std::clamp(from, 0, end);
    to = to < 0 ? end : std::clamp(to, 0, end);
    if (from > to)
        std::swap(from, to);
    QString out;
    out.reserve(to - from);
    int pos = from;
    for (QTextBlock block = document.findBlock(from); block.isValid() && pos < to;
         block = block.next()) {
        const int blockStart = block.position();
        // Positions between blocks (frame and table marks) read as paragraph breaks.
        for (; pos < std::min(blockStart, to); ++pos)
            out += QLatin1Char('\r');
        const QString text = block.text();
        const int blockEnd = blockStart + static_cast<int>(text.size());
        const int take = std::min(to, blockEnd) - pos;
        if (take > 0) {
            out += QStringView(text).mid(pos - blockStart, take);
            pos += take;
        }
        if (pos < to && pos == blockEnd) {
            out += QLatin1Char('\r');
            ++pos;
        }
    }
    for (; pos < to; ++pos)
        out += QLatin1Char('\r');
    for (QChar &c : out) {
        if (c == QChar::LineSeparator)
            c = QLatin1Char('\v');
        else if (IsFrameMark(c))
            c = QLatin1Char('\r');
    }
    return out;
}

QString TDocumentText::DocumentForm(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            if (c == QLatin1Char('\r') && i + 1 < text.size() &&
                text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            out += QChar::ParagraphSeparator;
        } else if (c == QLatin1Char('\v')) {
            out += QChar::LineSeparator;
        } else {
            out += c;
        }
    }
    return out;
}

void TDocumentText::Insert(const QByteArray &bytes, QTextCursor &cursor)
{
    if (TRtfReader::IsRtf(bytes))
        TRtfReader::Read(bytes, cursor);
    else if (!bytes.isEmpty())
        cursor.insertText(DocumentForm(TTextFileCodec::Decode(bytes)));
}
