#include "rtf/ListLabels.h"

#include "rtf/TRtfFormatProperties.h"

#include <QFontMetricsF>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

#include <algorithm>

namespace {
// Width of the label and the gap after it, as the layout draws them.
qreal LabelAdvance(const QTextBlock &block, const QPaintDevice *device)
{
    const QTextList *list = block.textList();
    if (!list)
        return 0;
    const QFont font =
        device ? QFont(block.charFormat().font(), device) : block.charFormat().font();
    const QFontMetricsF metrics(font);
    qreal label = 0;
    switch (list->format().style()) {
    case QTextListFormat::ListDisc:
    case QTextListFormat::ListCircle:
    case QTextListFormat::ListSquare:
        label = metrics.lineSpacing() / 3;
        break;
    default:
        label = metrics.horizontalAdvance(list->itemText(block));
        break;
    }
    return label + metrics.horizontalAdvance(QLatin1Char(' '));
}
} // namespace

qreal ListLabelIndent(const QTextBlock &block, qreal leftIndent, qreal firstLine,
                      const QPaintDevice *device)
{
    const qreal label = std::max<qreal>(0, leftIndent + firstLine);
    const qreal text = std::max(leftIndent, label + LabelAdvance(block, device));
    return text - leftIndent;
}

void FitListLabels(QTextDocument &document, int from, int to)
{
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    for (QTextBlock block = document.findBlock(from); block.isValid() && block.position() <= to;
         block = block.next()) {
        if (!block.textList())
            continue;
        QTextBlockFormat format = block.blockFormat();
        const qreal firstLine = TRtfFormatProperties::TwipsToPixels(
            format.intProperty(TRtfFormatProperties::ListFirstIndent));
        const qreal indent = ListLabelIndent(block, format.leftMargin(), firstLine, nullptr);
        if (qFuzzyCompare(format.textIndent() + 1, indent + 1))
            continue;
        format.setTextIndent(indent);
        cursor.setPosition(block.position());
        cursor.setBlockFormat(format);
    }
    cursor.endEditBlock();
}
