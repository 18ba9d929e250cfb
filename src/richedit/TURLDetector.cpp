#include "richedit/TURLDetector.h"

#include "richedit/TRichEditHost.h"
#include "richedit/TSuspendedEvent.h"
#include "richedit/TTextAttributesEx.h"
#include "richedit/URLDetection.h"

#include <QAbstractTextDocumentLayout>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <algorithm>
#include <utility>
#include <vector>

using URLDetection::URLWordChar;

namespace {

constexpr TColor clWindowText = TColors::clWindowText;

Qt::CursorShape CursorShape(int id)
{
    switch (id) {
    case -2:
        return Qt::ArrowCursor;
    case -3:
        return Qt::CrossCursor;
    case -4:
        return Qt::IBeamCursor;
    case -6:
        return Qt::SizeBDiagCursor;
    case -7:
        return Qt::SizeVerCursor;
    case -8:
        return Qt::SizeFDiagCursor;
    case -9:
        return Qt::SizeHorCursor;
    case -10:
        return Qt::UpArrowCursor;
    case -11:
        return Qt::WaitCursor;
    case -12:
        return Qt::DragMoveCursor;
    case -18:
        return Qt::ForbiddenCursor;
    case -19:
        return Qt::BusyCursor;
    case -20:
        return Qt::WhatsThisCursor;
    case -21:
        return Qt::PointingHandCursor;
    case -22:
        return Qt::SizeAllCursor;
    default:
        return Qt::PointingHandCursor;
    }
}

// Switches OnChange and OnSelectionChange off for its lifetime.
class TEventsOff
{
public:
    explicit TEventsOff(TRichEditHost &control)
        : FChange(control.ChangeEvent()), FSelection(control.SelectionChangeEvent())
    {
    }

private:
    const TSuspendedEvent FChange;
    const TSuspendedEvent FSelection;
};

// BeginUpdateLock / EndUpdateLock for a scope, so that an exception cannot leave the control
// frozen.
class TUpdateLock
{
public:
    explicit TUpdateLock(TURLDetector &detector) : FDetector(detector)
    {
        detector.BeginUpdateLock();
    }
    ~TUpdateLock() { FDetector.EndUpdateLock(); }
    TUpdateLock(const TUpdateLock &) = delete;
    TUpdateLock &operator=(const TUpdateLock &) = delete;

private:
    TURLDetector &FDetector;
};

} // namespace

TURLDetector::TURLDetector(TRichEditHost &control) : FControl(control) {}

void TURLDetector::BeginUpdateLock()
{
    if (FUpdateCount++ == 0) {
        FControl.SetRedraw(false);
        const QTextCursor cursor = FControl.Editor().textCursor();
        FSavedAnchor = cursor.anchor();
        FSavedPosition = cursor.position();
        FSavedFirstLine = FControl.FirstVisibleLine();
        FSavedVertical = FControl.Editor().verticalScrollBar()->value();
        FSavedHorizontal = FControl.Editor().horizontalScrollBar()->value();
    }
}

void TURLDetector::EndUpdateLock()
{
    if (FUpdateCount > 0)
        --FUpdateCount;
    if (FUpdateCount != 0)
        return;
    QTextCursor cursor = FControl.Editor().textCursor();
    const int end = FControl.TextLength();
    cursor.setPosition(std::clamp(FSavedAnchor, 0, end));
    cursor.setPosition(std::clamp(FSavedPosition, 0, end), QTextCursor::KeepAnchor);
    FControl.Editor().setTextCursor(cursor);
    // The pixel offsets bring back the first visible line exactly, also within a line.
    FControl.Editor().verticalScrollBar()->setValue(FSavedVertical);
    FControl.Editor().horizontalScrollBar()->setValue(FSavedHorizontal);
    FControl.SetRedraw(true);
}

void TURLDetector::ExpandToWord(int &start, int &end) const
{
    const int length = FControl.TextLength();
    if (length <= 0) {
        start = std::max(0, std::min(start, length));
        return;
    }
    const QString text = FControl.WideTextRange(0, -1);
    const auto at = [&text](int p) { return p >= 0 && p < text.size() ? text.at(p) : QChar(); };
    if (start >= length)
        start = length - 1;
    start = std::max(0, start);
    while (start > 0 && URLWordChar(at(start)))
        --start;
    if (!URLWordChar(at(start)))
        ++start;
    if (end < length) {
        int p = std::max(0, end);
        while (p < length && URLWordChar(at(p)))
            ++p;
        end = p;
    }
}

QString TURLDetector::Text(int from, int to) const
{
    return FControl.WideTextRange(from, to);
}

bool TURLDetector::IsLinked(int from, int to) const
{
    const QTextDocument *document = FControl.Editor().document();
    for (QTextBlock block = document->findBlock(from); block.isValid() && block.position() < to;
         block = block.next()) {
        for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.position() < to && fragment.position() + fragment.length() > from &&
                fragment.charFormat().isAnchor())
                return true;
        }
    }
    return false;
}

void TURLDetector::Mark(int from, int to, TColor color, bool underline)
{
    FControl.Select(from, to);
    TTextAttributesEx &attributes = FControl.SelectionAttributes();
    attributes.SetLink(true);
    attributes.SetColor(color);
    attributes.SetUnderlineType(underline ? 1 : 0);
}

void TURLDetector::Unmark(int from, int to)
{
    // Only words that carry the link effect lose their colour and underline: the colour the
    // scan gives to every other word would otherwise wipe the user's own formatting.
    if (!IsLinked(from, to))
        return;
    FControl.Select(from, to);
    TTextAttributesEx &attributes = FControl.SelectionAttributes();
    attributes.SetLink(false);
    attributes.SetColor(clWindowText); // automatic text colour
    attributes.SetUnderlineType(0);
}

void TURLDetector::ScanURLs(int start, int end)
{
    ExpandToWord(start, end);
    if (end < start || FControl.TextLength() < 3)
        return;
    // Declared first so that the events come back only after the lock has restored the
    // selection.
    TEventsOff eventsOff(FControl);
    TUpdateLock lock(*this);
    const QString original = start == end ? Text(0, -1) : Text(start, end);
    const int offset = start == end ? 0 : start;
    // Only the ASCII letters matter to the tests below; upper-casing them alone keeps every
    // position where it was.
    QString text = original;
    for (QChar &c : text)
        if (c.unicode() >= 'a' && c.unicode() <= 'z')
            c = QChar(c.unicode() - ('a' - 'A'));
    const int length = static_cast<int>(text.size());
    int p = 0;
    while (p < length) {
        const int wordStart = p;
        ++p;
        while (p < length && URLWordChar(text.at(p)))
            ++p;
        const QString word = text.mid(wordStart, p - wordStart);
        const int entry = URLDetection::MatchEntry(word, FCustomURLs);
        if (entry >= 0) {
            const TURLType &type = FCustomURLs.Item(entry);
            Mark(offset + wordStart, offset + p,
                 type.Color() == clWindowText ? FURLColor : type.Color(), type.Underline());
        } else {
            Unmark(offset + wordStart, offset + p);
        }
        while (p < length && !URLWordChar(text.at(p)))
            ++p;
    }
}

void TURLDetector::DefaultScan(int start, int end)
{
    // The control's own detection works on whole paragraphs around the change.
    const QTextDocument *document = FControl.Editor().document();
    const int length = FControl.TextLength();
    start = std::clamp(start, 0, length);
    end = std::clamp(end, start, length);
    const QTextBlock first = document->findBlock(start);
    const QTextBlock last = document->findBlock(end);
    const int from = first.isValid() ? first.position() : 0;
    const int to = last.isValid() ? std::min(length, last.position() + last.length() - 1) : length;
    if (to <= from)
        return;
    const QString text = Text(from, to);
    std::vector<std::pair<int, int>> links;
    std::vector<std::pair<int, int>> others;
    const int size = static_cast<int>(text.size());
    int p = 0;
    while (p < size) {
        while (p < size && !URLDetection::DefaultWordChar(text.at(p)))
            ++p;
        const int wordStart = p;
        while (p < size && URLDetection::DefaultWordChar(text.at(p)))
            ++p;
        if (p == wordStart)
            break;
        const int linkLength = URLDetection::DefaultLinkLength(text.mid(wordStart, p - wordStart));
        if (linkLength > 0)
            links.emplace_back(from + wordStart, from + wordStart + linkLength);
        if (wordStart + linkLength < p)
            others.emplace_back(from + wordStart + linkLength, from + p);
    }
    bool changes = !links.empty();
    for (const auto &[a, b] : others)
        changes = changes || IsLinked(a, b);
    if (!changes)
        return;
    // Declared first so that the events come back only after the lock has restored the
    // selection.
    TEventsOff eventsOff(FControl);
    TUpdateLock lock(*this);
    for (const auto &[a, b] : others)
        Unmark(a, b);
    for (const auto &[a, b] : links)
        Mark(a, b, FURLColor, true);
}

void TURLDetector::ScanRange(int start, int end)
{
    if (FControl.AutoURLDetect() == TAutoURLDetect::adExtended)
        ScanURLs(start, end);
    else if (FControl.AutoURLDetect() == TAutoURLDetect::adDefault)
        DefaultScan(start, end);
}

void TURLDetector::TextChanged()
{
    if (FUpdateCount != 0 || FControl.AutoURLDetect() == TAutoURLDetect::adNone)
        return;
    if (FControl.AutoURLDetect() == TAutoURLDetect::adExtended && FCustomURLs.Empty())
        return;
    const QTextCursor cursor = FControl.Editor().textCursor();
    const int cpMin = cursor.selectionStart();
    const int cpMax = cursor.selectionEnd();
    ScanRange(std::min(FLastChangeStart, cpMin), std::max(FLastChangeEnd, cpMax));
    FLastChangeStart = cpMin;
    FLastChangeEnd = cpMax;
}

void TURLDetector::AfterLoad()
{
    if (FControl.AutoURLDetect() == TAutoURLDetect::adNone)
        return;
    FLastChangeStart = 0;
    FLastChangeEnd = FControl.TextLength();
    ScanRange(FLastChangeStart, FLastChangeEnd);
}

void TURLDetector::ModeChanged()
{
    // The control's own detection looks at the whole text when it is switched on.
    if (FControl.AutoURLDetect() == TAutoURLDetect::adDefault)
        DefaultScan(0, FControl.TextLength());
}

void TURLDetector::LinkNotification(TLinkMessage message, int cpMin, int cpMax)
{
    if (message == TLinkMessage::Other)
        return;
    const std::string url = FControl.TextRange(std::min(cpMin, cpMax), std::max(cpMin, cpMax));
    const int entry = URLDetection::LinkEntry(url, FCustomURLs);
    if (message == TLinkMessage::MouseMove) {
        int cursor = entry >= 0 ? FCustomURLs.Item(entry).Cursor() : 0;
        if (cursor == 0)
            cursor = FURLCursor != 0 ? FURLCursor : TCursorId::crHandPoint;
        FLinkCursor = cursor;
        FCursorSet = true;
        FControl.Editor().viewport()->setCursor(CursorShape(cursor));
        if (url.size() > 1)
            FControl.URLMoved(url);
    } else if (url.size() > 1) {
        FControl.URLClicked(url);
    }
}

bool TURLDetector::LinkAt(const QPoint &point, int &cpMin, int &cpMax) const
{
    const QPointF documentPoint(point.x() + FControl.Editor().horizontalScrollBar()->value(),
                                point.y() + FControl.Editor().verticalScrollBar()->value());
    const int hit =
        FControl.Editor().document()->documentLayout()->hitTest(documentPoint, Qt::ExactHit);
    if (hit < 0)
        return false;
    // The hit is a boundary: the character under the point is the one on its side.
    QTextCursor cursor(FControl.Editor().document());
    cursor.setPosition(hit);
    int character = hit;
    if (point.x() < FControl.Editor().cursorRect(cursor).x() && hit > 0)
        character = hit - 1;
    const QTextBlock block = FControl.Editor().document()->findBlock(character);
    if (!block.isValid() || character >= block.position() + block.length() - 1)
        return false;
    struct Run
    {
        int Start;
        int End;
        bool Link;
    };
    std::vector<Run> runs;
    size_t hitRun = 0;
    for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        const int start = fragment.position();
        const int end = start + fragment.length();
        if (character >= start && character < end)
            hitRun = runs.size();
        runs.push_back({start, end, fragment.charFormat().isAnchor()});
    }
    if (runs.empty() || !runs[hitRun].Link)
        return false;
    // Neighbouring fragments with the link effect belong to the same link.
    size_t first = hitRun;
    while (first > 0 && runs[first - 1].Link && runs[first - 1].End == runs[first].Start)
        --first;
    size_t last = hitRun;
    while (last + 1 < runs.size() && runs[last + 1].Link && runs[last].End == runs[last + 1].Start)
        ++last;
    cpMin = runs[first].Start;
    cpMax = runs[last].End;
    return true;
}

bool TURLDetector::MouseMoved(const QPoint &point)
{
    int cpMin = 0;
    int cpMax = 0;
    if (LinkAt(point, cpMin, cpMax)) {
        LinkNotification(TLinkMessage::MouseMove, cpMin, cpMax);
        return true;
    }
    if (FCursorSet) {
        FCursorSet = false;
        FControl.Editor().viewport()->setCursor(Qt::IBeamCursor);
    }
    return false;
}

bool TURLDetector::MouseReleased(const QPoint &point, Qt::MouseButton button)
{
    int cpMin = 0;
    int cpMax = 0;
    if (!LinkAt(point, cpMin, cpMax))
        return false;
    LinkNotification(button == Qt::LeftButton ? TLinkMessage::LeftButtonUp : TLinkMessage::Other,
                     cpMin, cpMax);
    return true;
}
