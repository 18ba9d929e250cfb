#include "richedit/TCustomRichEditEx.h"

#include "richedit/TLongParagraphs.h"
#include "richedit/TRichEditOle.h"
#include "richedit/TTableNavigation.h"
#include "richedit/TTextAttributesEx.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QTextTable>

#include <algorithm>

// --- User input --------------------------------------------------------------------------------

void TCustomRichEditEx::keyPressEvent(QKeyEvent *event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && !FWantReturns && !(event->modifiers() & Qt::ControlModifier)) {
        event->ignore();
        return;
    }
    // Alt with a character key is a menu's key, also for a menu without an access key: it
    // never types. (AltGr characters come without Alt, or with Ctrl as well.)
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    if ((modifiers & Qt::AltModifier) && !(modifiers & Qt::ControlModifier) &&
        !event->text().isEmpty() && event->text().at(0).isPrint()) {
        event->ignore();
        return;
    }
    // Qt's own shortcuts would go round the undo depth.
    if (event == QKeySequence::Undo || event == QKeySequence::Redo) {
        if (!isReadOnly()) {
            if (event == QKeySequence::Undo)
                Undo();
            else
                Redo();
        }
        event->accept();
        return;
    }
    if (!isReadOnly() && RefusesKeyEdit(*event)) {
        event->accept();
        return;
    }
    QTextEdit::keyPressEvent(event);
    if (event == QKeySequence::Copy || event == QKeySequence::Cut)
        FClipboardData = QGuiApplication::clipboard()->mimeData();
}

bool TCustomRichEditEx::RefusesKeyEdit(const QKeyEvent &event)
{
    const bool enter = event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter;
    const QTextCursor cursor = textCursor();
    const int a = cursor.selectionStart();
    const int b = cursor.selectionEnd();
    int from = a;
    int to = b;
    bool edits = false;
    int inserted = 0;
    auto extend = [&](QTextCursor::MoveOperation move) {
        if (a != b)
            return;
        QTextCursor moved = cursor;
        moved.clearSelection();
        moved.movePosition(move);
        from = std::min(a, moved.position());
        to = std::max(a, moved.position());
    };
    if (event.matches(QKeySequence::Cut)) {
        edits = a != b;
    } else if (event.matches(QKeySequence::Delete)) {
        extend(QTextCursor::NextCharacter);
        edits = true;
    } else if (event.key() == Qt::Key_Backspace) {
        extend(QTextCursor::PreviousCharacter);
        edits = true;
    } else if (event.matches(QKeySequence::DeleteEndOfWord)) {
        extend(QTextCursor::NextWord);
        edits = true;
    } else if (event.matches(QKeySequence::DeleteStartOfWord)) {
        extend(QTextCursor::PreviousWord);
        edits = true;
    } else if (event.matches(QKeySequence::DeleteEndOfLine)) {
        extend(QTextCursor::EndOfBlock);
        edits = true;
    } else if (enter || (event.key() == Qt::Key_Tab && WantTabs())) {
        edits = true;
        inserted = 1;
    } else if (!event.text().isEmpty() && event.text().at(0).isPrint() &&
               !(event.modifiers() & (Qt::ControlModifier | Qt::MetaModifier))) {
        edits = true;
        inserted = static_cast<int>(event.text().size());
    }
    if (edits) {
        if (!AllowEdit(from, to))
            return true;
        if (inserted > 0 && FMaxLength > 0 && TextLength() - (b - a) + inserted > FMaxLength) {
            QApplication::beep();
            return true;
        }
    }
    return false;
}

void TCustomRichEditEx::MoveBetweenCells(bool forward)
{
    QTextCursor cursor = textCursor();
    QTextTable *table = cursor.currentTable();
    // A new row adds a cell mark for each of its cells.
    const bool room = FMaxLength <= 0 || TextLength() + table->columns() <= FMaxLength;
    const TTableNavigation::TMove move =
        TTableNavigation::Move(cursor, forward, !isReadOnly() && room);
    if (move == TTableNavigation::TMove::Stayed && forward && !isReadOnly() && !room)
        QApplication::beep();
    setTextCursor(cursor);
    ensureCursorVisible();
}

void TCustomRichEditEx::inputMethodEvent(QInputMethodEvent *event)
{
    if (!event->commitString().isEmpty() && !isReadOnly()) {
        const QTextCursor cursor = textCursor();
        if (!AllowEdit(cursor.selectionStart(), cursor.selectionEnd())) {
            event->accept();
            return;
        }
    }
    QTextEdit::inputMethodEvent(event);
}

void TCustomRichEditEx::contextMenuEvent(QContextMenuEvent *event)
{
    if (FIncludeOLE && FOle) {
        switch (FOle->ContextMenu()) {
        case TRichEditOle::TMenuAnswer::NoMenu:
            return;
        case TRichEditOle::TMenuAnswer::VerbMenu:
            FOle->VerbMenu()->exec(event->globalPos());
            return;
        case TRichEditOle::TMenuAnswer::PopupMenu:
            break;
        }
    }
    // The control's own menu, so that every edit goes through the checks of this layer.
    QMenu menu(this);
    const bool selected = textCursor().hasSelection();
    const bool editable = !isReadOnly();
    menu.addAction(tr("&Undo"), this, &TCustomRichEditEx::Undo)->setEnabled(editable && CanUndo());
    menu.addAction(tr("&Redo"), this, &TCustomRichEditEx::Redo)->setEnabled(editable && CanRedo());
    menu.addSeparator();
    menu.addAction(tr("Cu&t"), this, &TCustomRichEditEx::CutToClipboard)
        ->setEnabled(editable && selected);
    menu.addAction(tr("&Copy"), this, &TCustomRichEditEx::CopyToClipboard)->setEnabled(selected);
    menu.addAction(tr("&Paste"), this, &TCustomRichEditEx::PasteFromClipboard)
        ->setEnabled(editable && canPaste());
    menu.addAction(tr("&Delete"), this, &TCustomRichEditEx::ClearSelection)
        ->setEnabled(editable && selected);
    menu.addSeparator();
    menu.addAction(tr("Select &All"), this, &TCustomRichEditEx::SelectAll);
    menu.exec(event->globalPos());
}

int TCustomRichEditEx::ObjectUnder(const QMouseEvent &event) const
{
    if (!FIncludeOLE || !FOle)
        return -1;
    return FOle->ObjectAtPoint(viewport()->mapFrom(this, event.position().toPoint()));
}

void TCustomRichEditEx::mousePressEvent(QMouseEvent *event)
{
    // A press on an object selects it, so that its verbs are at hand.
    const int object = event->button() == Qt::LeftButton || event->button() == Qt::RightButton
                           ? ObjectUnder(*event)
                           : -1;
    if (object >= 0)
        Select(object, object + 1);
    else
        QTextEdit::mousePressEvent(event);
    if (OnMouseDown)
        OnMouseDown(this, event->button(), event->modifiers(), event->position().toPoint());
}

void TCustomRichEditEx::mouseDoubleClickEvent(QMouseEvent *event)
{
    // A double click on an object runs its primary verb.
    const int object = event->button() == Qt::LeftButton ? ObjectUnder(*event) : -1;
    if (object < 0) {
        QTextEdit::mouseDoubleClickEvent(event);
        return;
    }
    Select(object, object + 1);
    FOle->DoVerbAt(object, TRichEditOle::OLEIVERB_PRIMARY);
}

void TCustomRichEditEx::mouseReleaseEvent(QMouseEvent *event)
{
    QTextEdit::mouseReleaseEvent(event);
    FURLDetector->MouseReleased(event->position().toPoint(), event->button());
    if (OnMouseUp)
        OnMouseUp(this, event->button(), event->modifiers(), event->position().toPoint());
}

void TCustomRichEditEx::mouseMoveEvent(QMouseEvent *event)
{
    QTextEdit::mouseMoveEvent(event);
    FURLDetector->MouseMoved(event->position().toPoint());
    if (OnMouseMove)
        OnMouseMove(this, event->button(), event->modifiers(), event->position().toPoint());
}

void TCustomRichEditEx::SelectLineAt(const QPoint &point)
{
    const int position = CharFromPos(QPoint(0, point.y()));
    const int line = LineFromChar(position);
    const int start = LineIndex(line);
    const int next = LineIndex(line + 1);
    Select(start, next < 0 ? -1 : next);
}

bool TCustomRichEditEx::event(QEvent *event)
{
    // In a table Tab and Shift+Tab go from cell to cell, whether or not the control wants tabs
    // (before the window takes them to move the focus).
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) &&
            !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) &&
            textCursor().currentTable()) {
            MoveBetweenCells(key->key() == Qt::Key_Tab && !(key->modifiers() & Qt::ShiftModifier));
            event->accept();
            return true;
        }
    }
    // A press in the selection bar left of the text selects that line.
    if (event->type() == QEvent::MouseButtonPress && FShowSelectionBar) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        const QPoint inViewport = viewport()->mapFrom(this, mouse->position().toPoint());
        if (mouse->button() == Qt::LeftButton && inViewport.x() < 0 && inViewport.y() >= 0 &&
            inViewport.y() < viewport()->height()) {
            SelectLineAt(inViewport);
            return true;
        }
    }
    return QTextEdit::event(event);
}

void TCustomRichEditEx::resizeEvent(QResizeEvent *event)
{
    QTextEdit::resizeEvent(event);
    ApplyViewportMargins();
}

void TCustomRichEditEx::changeEvent(QEvent *event)
{
    QTextEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        ++FGeneration;
        FDefaultAttributes->CopyFrom(font());
        FLongParagraphs->DefaultFontReplaced();
        FontChanged();
    }
}
