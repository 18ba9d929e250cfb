#include "richedit/TCustomRichEditEx.h"

#include "richedit/WordBreaks.h"

#include <QCoreApplication>
#include <QLayout>
#include <QResizeEvent>
#include <QTextDocument>

#include <algorithm>

namespace {
constexpr int SelectionBarWidth = 8;

void SendPendingResize(QWidget *widget)
{
    if (!widget->testAttribute(Qt::WA_PendingResizeEvent))
        return;
    widget->setAttribute(Qt::WA_PendingResizeEvent, false);
    QResizeEvent resize(widget->size(), QSize());
    QCoreApplication::sendEvent(widget, &resize);
}
} // namespace

void TCustomRichEditEx::PrepareLayout() const
{
    if (isVisible())
        return;
    // A window that was never shown has not placed its children yet: do it now, from the top,
    // so that this control has the size it will be shown with.
    std::vector<QWidget *> ancestors;
    for (QWidget *w = parentWidget(); w; w = w->isWindow() ? nullptr : w->parentWidget())
        ancestors.push_back(w);
    for (auto it = ancestors.rbegin(); it != ancestors.rend(); ++it) {
        SendPendingResize(*it);
        if (QLayout *layout = (*it)->layout())
            layout->activate();
    }
    // A widget that was never shown has not yet handled its size: without it the document
    // would be laid out at no width. The document follows the viewport's size, which the
    // scroll area sets when it handles its own.
    SendPendingResize(const_cast<TCustomRichEditEx *>(this));
    SendPendingResize(viewport());
}

const std::vector<TLineLayout::TLine> &TCustomRichEditEx::Layout() const
{
    // Without wrapping every paragraph is one line: the lines need no layout, which for a huge
    // paragraph is most of the cost.
    if (FWordWrap)
        PrepareLayout();
    return FLineLayout.Lines(*document(), FWordWrap, FGeneration);
}

int TCustomRichEditEx::PlatformLineCount() const
{
    return static_cast<int>(Layout().size());
}

int TCustomRichEditEx::LineFromChar(int position) const
{
    return TLineLayout::LineOf(Layout(), ClampPosition(position));
}

int TCustomRichEditEx::LineIndex(int line) const
{
    if (line < 0)
        line = LineFromChar(textCursor().position());
    const auto &lines = Layout();
    if (line >= static_cast<int>(lines.size()))
        return -1;
    return lines[line].Start;
}

int TCustomRichEditEx::LineLength(int position) const
{
    if (position < 0)
        return 0;
    return Layout()[LineFromChar(position)].Length;
}

QString TCustomRichEditEx::LineText(int line) const
{
    const auto &lines = Layout();
    if (line < 0 || line >= static_cast<int>(lines.size()))
        return QString();
    const TLineLayout::TLine &info = lines[line];
    QString text = WideTextRange(info.Start, info.Start + info.Length);
    if (info.EndsParagraph)
        text += QLatin1Char('\r');
    return text;
}

int TCustomRichEditEx::FirstVisibleLine() const
{
    return LineFromChar(CharFromPos(QPoint(0, 0)));
}

void TCustomRichEditEx::ScrollCaret()
{
    ensureCursorVisible();
}

int TCustomRichEditEx::CharFromPos(const QPoint &point) const
{
    PrepareLayout();
    return cursorForPosition(point).position();
}

int TCustomRichEditEx::CharAtPoint(const QPoint &point) const
{
    PrepareLayout();
    // The nearest caret position lies at one of the two edges of the character under the
    // point; a character's box runs from its caret position to the next one on the same line.
    const int nearest = cursorForPosition(point).position();
    QTextCursor cursor(document());
    for (const int c : {nearest - 1, nearest}) {
        if (c < 0 || c >= DocumentEnd())
            continue;
        cursor.setPosition(c);
        const QRect left = cursorRect(cursor);
        cursor.setPosition(c + 1);
        const QRect right = cursorRect(cursor);
        if (left.top() != right.top())
            continue; // the character ends its line or paragraph
        // The caret sits in the middle of its rectangle.
        const int from = left.left() + left.width() / 2;
        const int to = right.left() + right.width() / 2;
        if (point.y() >= left.top() && point.y() <= left.bottom() && point.x() >= from &&
            point.x() < to)
            return c;
    }
    return -1;
}

QPoint TCustomRichEditEx::PosFromChar(int position) const
{
    PrepareLayout();
    QTextCursor cursor(document());
    cursor.setPosition(ClampPosition(position));
    return cursorRect(cursor).topLeft();
}

int TCustomRichEditEx::FindWordBreak(int code, int position) const
{
    return FindWordBreakIn(WideTextRange(0, -1), code, position);
}

QSize TCustomRichEditEx::ClientSize() const
{
    const QMargins margins = viewportMargins();
    return viewport()->size().grownBy(margins);
}

void TCustomRichEditEx::SetTextRect(const QRect &rect)
{
    FTextRect = rect;
    ApplyViewportMargins();
}

QRect TCustomRichEditEx::TextRect() const
{
    if (FTextRect.isEmpty())
        return QRect(QPoint(0, 0), ClientSize());
    return FTextRect;
}

void TCustomRichEditEx::ApplyViewportMargins()
{
    const QSize client = ClientSize();
    QMargins margins;
    if (!FTextRect.isEmpty()) {
        margins = QMargins(std::max(0, FTextRect.left()), std::max(0, FTextRect.top()),
                           std::max(0, client.width() - (FTextRect.x() + FTextRect.width())),
                           std::max(0, client.height() - (FTextRect.y() + FTextRect.height())));
    }
    if (FShowSelectionBar)
        margins.setLeft(margins.left() + SelectionBarWidth);
    if (margins != viewportMargins())
        setViewportMargins(margins);
}
