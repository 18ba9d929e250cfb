#include "richedit/TCustomRichEditEx.h"

#include "richedit/QuietScope.h"
#include "richedit/THiddenText.h"
#include "richedit/TLongParagraphs.h"
#include "richedit/TURLDetector.h"
#include "richedit/TUndoDepth.h"
#include "richedit/TextBreaks.h"
#include "rtf/TRtfFormatProperties.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QtMath>

#include <algorithm>

namespace {
// Words longer than this many characters make the control break lines anywhere.
constexpr int LongestWord = 1000;
} // namespace

// --- Editing -----------------------------------------------------------------------------------

QString TCustomRichEditEx::FitMaxLength(const QString &text, int removed) const
{
    if (FMaxLength <= 0)
        return text;
    const int room = FMaxLength - (TextLength() - removed);
    if (room <= 0)
        return QString();
    return text.size() > room ? text.left(room) : text;
}

void TCustomRichEditEx::InsertPlainText(QTextCursor &cursor, const QString &text)
{
    if (text.isEmpty()) {
        cursor.removeSelectedText();
        return;
    }
    // insertText keeps the cursor's character format and splits at paragraph separators.
    cursor.insertText(text);
}

bool TCustomRichEditEx::ReplaceRange(int from, int to, const QString &text, bool undoable)
{
    from = ClampPosition(from);
    to = ClampPosition(to);
    if (from > to)
        std::swap(from, to);
    if (!AllowEdit(from, to))
        return false;
    const QString fitted = FitMaxLength(NormalizeBreaks(text), to - from);
    QTextCursor cursor(document());
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    if (!cursor.hasSelection() && fitted.isEmpty()) {
        setTextCursor(cursor);
        return true;
    }
    if (undoable) {
        // Its own edit block, so that one Undo takes back exactly this replacement.
        cursor.beginEditBlock();
        InsertPlainText(cursor, fitted);
        cursor.endEditBlock();
    } else {
        // An edit the history does not know makes the history invalid: it is cleared.
        document()->setUndoRedoEnabled(false);
        InsertPlainText(cursor, fitted);
        document()->setUndoRedoEnabled(FUndoDepth->Enabled());
    }
    setTextCursor(cursor);
    return true;
}

int TCustomRichEditEx::ReplaceEach(const std::vector<int> &starts, int length, const QString &text,
                                   const QTextCharFormat &extra)
{
    const QString inserted = NormalizeBreaks(text);
    QTextCursor cursor(document());
    int shift = 0; // how far the edits before have moved the places after them
    int count = 0;
    // One edit block: one undo step, one change notification and one layout of the range.
    cursor.beginEditBlock();
    for (const int start : starts) {
        const int from = ClampPosition(start + shift);
        const int to = ClampPosition(from + length);
        if (!AllowEdit(from, to))
            continue;
        const QString fitted = FitMaxLength(inserted, to - from);
        if (from == to && fitted.isEmpty())
            continue;
        cursor.setPosition(from);
        cursor.setPosition(to, QTextCursor::KeepAnchor);
        if (extra.isEmpty() || fitted.isEmpty()) {
            InsertPlainText(cursor, fitted);
        } else {
            QTextCharFormat format = cursor.charFormat();
            format.merge(extra);
            cursor.insertText(fitted, format);
        }
        shift += static_cast<int>(fitted.size()) - (to - from);
        ++count;
    }
    cursor.endEditBlock();
    return count;
}

void TCustomRichEditEx::ReplaceWhole(const std::function<void(QTextCursor &)> &fill)
{
    {
        QuietScope quiet(FQuietDepth);
        document()->setUndoRedoEnabled(false);
        document()->clear();
        FHiddenText->SetActive(false);
        FLongParagraphs->SetActive(false);
        setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        setLineWrapMode(FWordWrap ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
        // No layout while the document is built piece by piece: Qt would lay out a paragraph
        // again for each piece. One layout follows, once the wrap mode fits the content.
        const QSizeF pageSize = document()->pageSize();
        document()->setPageSize(QSizeF(0, 0)); // a null size: Qt skips the layout
        QTextCursor cursor(document());
        fill(cursor);
        TruncateToMaxLength();
        // The view's own cursor went along with the text to its end. Moved to the start while
        // there is no layout yet: moved later, the view would lay out the whole document at
        // once to show where the cursor was, instead of the first page now and the rest while
        // the window is idle.
        setTextCursor(QTextCursor(document()));
        FHiddenText->SetActive(true);
        FLongParagraphs->SetActive(true);
        GuardHugeParagraphs();
        if (document()->pageSize().isNull())
            document()->setPageSize(pageSize);
        document()->setUndoRedoEnabled(FUndoDepth->Enabled());
    }
    ++FGeneration;
    SetModifiedFlag(false);
    FireChange();
    SelectionChanged();
}

void TCustomRichEditEx::TruncateToMaxLength()
{
    if (FMaxLength <= 0 || TextLength() <= FMaxLength)
        return;
    QTextCursor cursor(document());
    cursor.setPosition(FMaxLength);
    cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
}

bool TCustomRichEditEx::RangeHasProtected(int from, int to) const
{
    const int property = TRtfFormatProperties::Protected;
    if (from == to) {
        // Inserted text takes the format at the insertion point.
        QTextCursor cursor(document());
        cursor.setPosition(from);
        return cursor.charFormat().boolProperty(property);
    }
    for (QTextBlock block = document()->findBlock(from); block.isValid() && block.position() < to;
         block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid())
                continue;
            const int start = fragment.position();
            const int end = start + fragment.length();
            if (end > from && start < to && fragment.charFormat().boolProperty(property))
                return true;
        }
    }
    return false;
}

bool TCustomRichEditEx::AllowEdit(int from, int to)
{
    if (!(FEventMask & TEventMask::ENM_PROTECTED) || !RangeHasProtected(from, to))
        return true;
    bool allow = false;
    if (OnProtectChange)
        OnProtectChange(this, from, to, allow);
    return allow;
}

// --- Events of the document --------------------------------------------------------------------

void TCustomRichEditEx::GuardLongWords(int from, int to)
{
    if (wordWrapMode() == QTextOption::WrapAnywhere)
        return;
    for (QTextBlock block = document()->findBlock(from); block.isValid() && block.position() <= to;
         block = block.next()) {
        if (block.length() <= LongestWord)
            continue;
        const QString text = block.text();
        int run = 0;
        for (const QChar c : text) {
            run = c.isSpace() ? 0 : run + 1;
            if (run > LongestWord) {
                // Qt looks for a word end before it breaks a word, at every line: with such a
                // word that costs time in the square of its length. Break anywhere instead.
                setWordWrapMode(QTextOption::WrapAnywhere);
                return;
            }
        }
    }
}

void TCustomRichEditEx::ContentsChanged(int position, int, int added)
{
    GuardLongWords(position, position + added);
    // Not while the document is in the middle of telling its change: Qt's layout is not ready
    // to be switched then.
    if (lineWrapMode() == QTextEdit::NoWrap && FQuietDepth == 0 &&
        HasHugeParagraph(position, position + added))
        QMetaObject::invokeMethod(this, &TCustomRichEditEx::GuardHugeParagraphs,
                                  Qt::QueuedConnection);
    ++FGeneration;
    FModified = true;
    if (FQuietDepth == 0 && FFormatChangeDepth == 0)
        FireChange();
}

void TCustomRichEditEx::FireChange()
{
    if (FQuietDepth == 0)
        FURLDetector->TextChanged();
    if (FQuietDepth == 0 && (FEventMask & TEventMask::ENM_CHANGE) && OnChange)
        OnChange(this);
}

void TCustomRichEditEx::SelectionChanged()
{
    if (FQuietDepth != 0)
        return;
    const QTextCursor cursor = textCursor();
    if (cursor.selectionStart() == FLastSelStart && cursor.selectionEnd() == FLastSelEnd)
        return;
    FLastSelStart = cursor.selectionStart();
    FLastSelEnd = cursor.selectionEnd();
    if ((FEventMask & TEventMask::ENM_SELCHANGE) && OnSelectionChange)
        OnSelectionChange(this);
}

void TCustomRichEditEx::DocumentSizeChanged(const QSizeF &size)
{
    if (FQuietDepth == 0 && (FEventMask & TEventMask::ENM_REQUESTRESIZE) && OnResizeRequest)
        OnResizeRequest(this, QRect(0, 0, viewport()->width(), qCeil(size.height())));
}
