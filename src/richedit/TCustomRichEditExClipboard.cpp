#include "richedit/TCustomRichEditEx.h"

#include "richedit/TRichEditOle.h"
#include "richedit/TextBreaks.h"
#include "rtf/TRtfReader.h"
#include "rtf/TRtfWriter.h"

#include <QClipboard>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMimeData>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace {
const char *const RtfMimeTypes[] = {"text/rtf", "application/rtf", "text/richtext"};
} // namespace

// --- Clipboard and drag and drop ---------------------------------------------------------------

void TCustomRichEditEx::CopyToClipboard()
{
    if (!textCursor().hasSelection())
        return;
    copy();
    FClipboardData = QGuiApplication::clipboard()->mimeData();
}

void TCustomRichEditEx::CutToClipboard()
{
    const QTextCursor cursor = textCursor();
    if (isReadOnly() || !cursor.hasSelection() ||
        !AllowEdit(cursor.selectionStart(), cursor.selectionEnd()))
        return;
    CopyToClipboard();
    ReplaceRange(cursor.selectionStart(), cursor.selectionEnd(), QString(), true);
}

void TCustomRichEditEx::PasteFromClipboard()
{
    if (isReadOnly())
        return;
    if (const QMimeData *data = QGuiApplication::clipboard()->mimeData())
        insertFromMimeData(data);
}

bool TCustomRichEditEx::canInsertFromMimeData(const QMimeData *source) const
{
    for (const char *type : RtfMimeTypes)
        if (source->hasFormat(QLatin1String(type)))
            return true;
    return source->hasText();
}

void TCustomRichEditEx::insertFromMimeData(const QMimeData *source)
{
    if (isReadOnly() || !source)
        return;
    QTextCursor cursor = textCursor();
    const int start = cursor.selectionStart();
    const int removed = cursor.selectionEnd() - start;
    if (!AllowEdit(start, cursor.selectionEnd()))
        return;
    QByteArray rtf;
    for (const char *type : RtfMimeTypes) {
        rtf = source->data(QLatin1String(type));
        if (!rtf.isEmpty())
            break;
    }
    const int before = TextLength() - removed;
    cursor.beginEditBlock();
    if (rtf.isEmpty() || !TRtfReader::Read(rtf, cursor))
        InsertPlainText(cursor, FitMaxLength(NormalizeBreaks(source->text()), removed));
    if (FMaxLength > 0 && TextLength() > FMaxLength) {
        const int end = cursor.position();
        QTextCursor excess(document());
        excess.setPosition(std::min(end, start + std::max(0, FMaxLength - before)));
        excess.setPosition(end, QTextCursor::KeepAnchor);
        excess.removeSelectedText();
    }
    cursor.endEditBlock();
    setTextCursor(cursor);
    ensureCursorVisible();
}

QMimeData *TCustomRichEditEx::createMimeDataFromSelection() const
{
    QMimeData *data = QTextEdit::createMimeDataFromSelection();
    const QTextCursor cursor = textCursor();
    if (data && cursor.hasSelection()) {
        TRtfWriter::Options options;
        options.Language = FLanguage;
        data->setData(QStringLiteral("text/rtf"),
                      TRtfWriter::Write(*document(), cursor.selectionStart(), cursor.selectionEnd(),
                                        options));
    }
    return data;
}

void TCustomRichEditEx::dragMoveEvent(QDragMoveEvent *event)
{
    QTextEdit::dragMoveEvent(event);
    if (FIncludeOLE && event->isAccepted())
        event->setDropAction(TRichEditOle::DropActionFor(
            event->modifiers(), event->possibleActions(), event->dropAction()));
}

void TCustomRichEditEx::dropEvent(QDropEvent *event)
{
    if (isReadOnly()) {
        event->ignore();
        return;
    }
    // Ctrl+Shift links, Ctrl copies, anything else moves, as far as the source allows.
    if (FIncludeOLE)
        event->setDropAction(TRichEditOle::DropActionFor(
            event->modifiers(), event->possibleActions(), event->dropAction()));
    QTextEdit::dropEvent(event);
}
