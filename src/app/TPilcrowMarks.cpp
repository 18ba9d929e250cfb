#include "app/TPilcrowMarks.h"

#include "richedit/TRichEditEx.h"
#include "richedit/TRtfFormatProperties.h"

#include <QTextBlock>
#include <QTextDocument>

namespace {
constexpr QChar Pilcrow(0x00B6);
// Character format, bool: a pilcrow the line-ending display added.
constexpr int AddedPilcrow = QTextFormat::UserProperty + 0x5B00;
} // namespace

int TPilcrowMarks::Toggle(TRichEditEx &pane)
{
    const std::vector<int> marked = MarkedPilcrows(*pane.document());
    if (!marked.empty())
        return pane.ReplaceEach(marked, 1, QString());
    QTextCharFormat mark;
    mark.setProperty(AddedPilcrow, true);
    // A pilcrow shows even at the end of hidden text.
    mark.setProperty(TRtfFormatProperties::Hidden, false);
    return pane.ReplaceEach(ParagraphEnds(*pane.document()), 0, QString(Pilcrow), mark);
}

std::vector<int> TPilcrowMarks::MarkedPilcrows(const QTextDocument &document)
{
    std::vector<int> found;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid() || !fragment.charFormat().boolProperty(AddedPilcrow))
                continue;
            const QString text = fragment.text();
            for (qsizetype i = 0; i < text.size(); ++i) {
                if (text.at(i) == Pilcrow)
                    found.push_back(fragment.position() + static_cast<int>(i));
            }
        }
    }
    return found;
}

std::vector<int> TPilcrowMarks::ParagraphEnds(const QTextDocument &document)
{
    std::vector<int> ends;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        ends.push_back(block.position() + block.length() - 1);
    return ends;
}
