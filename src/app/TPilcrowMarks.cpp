#include "app/TPilcrowMarks.h"

#include <QTextDocument>
#include <QTextOption>

namespace {
// Paragraph and line ends, and the end of the text (whose paragraph has no break).
constexpr QTextOption::Flags MarkFlags =
    QTextOption::ShowLineAndParagraphSeparators | QTextOption::ShowDocumentTerminator;
} // namespace

bool TPilcrowMarks::Shown(const QTextDocument &document)
{
    return (document.defaultTextOption().flags() & MarkFlags) == MarkFlags;
}

void TPilcrowMarks::SetShown(QTextDocument &document, bool shown)
{
    QTextOption option = document.defaultTextOption();
    option.setFlags(shown ? option.flags() | MarkFlags : option.flags() & ~MarkFlags);
    if (option.flags() != document.defaultTextOption().flags())
        document.setDefaultTextOption(option);
}
