#include "richedit/TCustomRichEditEx.h"

#include "richedit/LanguageCodePages.h"
#include "rtf/TCodePage1252.h"
#include "richedit/THiddenText.h"
#include "richedit/TParaAttributesEx.h"
#include "richedit/TRichEditOle.h"
#include "richedit/TRichEditStringsEx.h"
#include "rtf/TRtfFormatProperties.h"
#include "rtf/TRtfObjectIO.h"
#include "rtf/TRtfReader.h"
#include "rtf/TRtfWriter.h"
#include "richedit/TTableNavigation.h"
#include "richedit/TTextAttributesEx.h"
#include "richedit/TUndoDepth.h"
#include "richedit/TWideRichEditStringsEx.h"
#include "richedit/TextSearch.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLayout>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextTable>

#include <algorithm>

namespace {
using namespace TStreamFormat;

constexpr int SelectionBarWidth = 8;
// Words longer than this many characters make the control break lines anywhere.
constexpr int LongestWord = 1000;
// Without word wrap a paragraph this long is still shown wrapped: drawing or editing one line
// of that length makes Qt go through all of it again each time.
constexpr int LongestUnwrappedParagraph = 50000;
constexpr qint64 StreamChunk = 4096;
// dwError of a rich text load whose data is not rich text.
constexpr int ErrorNotRichText = -16;
// dwError of a write the callback did not take whole.
constexpr int ErrorShortWrite = -17;

const char *const RtfMimeTypes[] = {"text/rtf", "application/rtf", "text/richtext"};

// Characters of the document's raw text that stand for a break between paragraphs.
bool IsFrameMark(QChar c)
{
    return c == QChar(0xFDD0) || c == QChar(0xFDD1) || c == QChar::ParagraphSeparator;
}

// Plain text as the control stores it: CR, LF and CR LF end a paragraph, VT breaks a line.
QString NormalizeBreaks(const QString &text)
{
    QString out = RangeForm(text);
    for (QChar &c : out) {
        if (c == QLatin1Char('\r'))
            c = QChar::ParagraphSeparator;
        else if (c == QLatin1Char('\v'))
            c = QChar::LineSeparator;
    }
    return out;
}

int ClassOf(QChar c)
{
    using namespace TWordBreak;
    if (c == QLatin1Char('\r') || c == QLatin1Char('\n') || c == QLatin1Char('\v') ||
        c == QLatin1Char('\f') || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
        return ClassLineBreak;
    if (c.isSpace())
        return ClassSpace;
    if (IsWordChar(c))
        return ClassWord;
    return ClassPunctuation;
}

QString DecodeUtf16LE(const QByteArray &data)
{
    QString text(data.size() / 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        text[i] = QChar(static_cast<char16_t>(static_cast<unsigned char>(data[2 * i]) |
                                              (static_cast<unsigned char>(data[2 * i + 1]) << 8)));
    return text;
}

QByteArray EncodeUtf16LE(const QString &text)
{
    QByteArray data(text.size() * 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text.at(i).unicode();
        data[2 * i] = static_cast<char>(unit & 0xFF);
        data[2 * i + 1] = static_cast<char>(unit >> 8);
    }
    return data;
}

// Paragraph breaks (CR in the control's ranges) written as CR LF, as plain-text saving does.
QString WithCrLf(const QString &text)
{
    QString out;
    out.reserve(text.size() + text.size() / 16);
    for (const QChar c : text) {
        out += c;
        if (c == QLatin1Char('\r'))
            out += QLatin1Char('\n');
    }
    return out;
}

// Runs a change without the control's own change and selection events; the caller raises them.
class QuietScope
{
public:
    explicit QuietScope(int &depth) : FDepth(depth) { ++FDepth; }
    ~QuietScope() { --FDepth; }
    QuietScope(const QuietScope &) = delete;
    QuietScope &operator=(const QuietScope &) = delete;

private:
    int &FDepth;
};
} // namespace

TCustomRichEditEx::TCustomRichEditEx(QWidget *parent)
    : QTextEdit(parent), FLines(std::make_unique<TRichEditStringsEx>(*this)),
      FWideLines(std::make_unique<TWideRichEditStringsEx>(*this)),
      FSelectionAttributes(std::make_unique<TTextAttributesEx>(this, TAttributeKind::Selection)),
      FDefaultAttributes(std::make_unique<TTextAttributesEx>(this, TAttributeKind::Default)),
      FParagraphAttributes(std::make_unique<TParaAttributesEx>(this)),
      FURLDetector(std::make_unique<TURLDetector>(*this)),
      FUndoDepth(std::make_unique<TUndoDepth>(*document())),
      FHiddenText(new THiddenText(document()))
{
    SetLanguage(SystemLanguage());
    setAcceptRichText(true);
    setLineWrapMode(QTextEdit::WidgetWidth);
    setTabChangesFocus(true);
    ApplyScrollBars();
    SetHideSelection(true);

    connect(document(), &QTextDocument::contentsChange, this, &TCustomRichEditEx::ContentsChanged);
    connect(this, &QTextEdit::cursorPositionChanged, this, &TCustomRichEditEx::SelectionChanged);
    connect(this, &QTextEdit::selectionChanged, this, &TCustomRichEditEx::SelectionChanged);
    connect(document()->documentLayout(), &QAbstractTextDocumentLayout::documentSizeChanged, this,
            &TCustomRichEditEx::DocumentSizeChanged);
}

TCustomRichEditEx::~TCustomRichEditEx()
{
    // The clipboard still holds what this control put there: ask whether it may stay.
    if (FClipboardData && QGuiApplication::instance()) {
        QClipboard *clipboard = QGuiApplication::clipboard();
        if (clipboard->mimeData() == FClipboardData && OnSaveClipboard) {
            bool keep = true;
            const int chars = static_cast<int>(FClipboardData->text().size());
            OnSaveClipboard(this, 0, chars, keep);
            if (!keep)
                clipboard->clear();
        }
    }
    // Whatever the document still says while it goes must not reach a half-destroyed control.
    disconnect(document(), nullptr, this, nullptr);
}

// --- Selection and text ------------------------------------------------------------------------

int TCustomRichEditEx::DocumentEnd() const
{
    return std::max(0, document()->characterCount() - 1);
}

int TCustomRichEditEx::ClampPosition(int p) const
{
    return std::clamp(p, 0, DocumentEnd());
}

int TCustomRichEditEx::TextLength() const
{
    return DocumentEnd();
}

int TCustomRichEditEx::SelectionStart() const
{
    return textCursor().selectionStart();
}

int TCustomRichEditEx::SelectionLength() const
{
    const QTextCursor cursor = textCursor();
    return cursor.selectionEnd() - cursor.selectionStart();
}

void TCustomRichEditEx::SetSelectionStart(int p)
{
    QTextCursor cursor = textCursor();
    cursor.setPosition(ClampPosition(p));
    setTextCursor(cursor);
}

void TCustomRichEditEx::SetSelectionLength(int n)
{
    const int start = SelectionStart();
    Select(start, start + std::max(0, n));
    ScrollCaret();
}

void TCustomRichEditEx::Select(int cpMin, int cpMax)
{
    const int end = cpMax < 0 ? DocumentEnd() : ClampPosition(cpMax);
    QTextCursor cursor(document());
    cursor.setPosition(ClampPosition(cpMin));
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

std::string TCustomRichEditEx::SelectedText() const
{
    const QTextCursor cursor = textCursor();
    if (!cursor.hasSelection())
        return {};
    return ToAnsi(WideTextRange(cursor.selectionStart(), cursor.selectionEnd()));
}

void TCustomRichEditEx::SetSelectedText(const std::string &s)
{
    const QTextCursor cursor = textCursor();
    ReplaceRange(cursor.selectionStart(), cursor.selectionEnd(), ToWide(s), true);
}

std::string TCustomRichEditEx::WholeText() const
{
    return ToAnsi(WideTextRange(0, -1));
}

void TCustomRichEditEx::SetWholeText(const std::string &s)
{
    const QString text = NormalizeBreaks(ToWide(s));
    ReplaceWhole([&](QTextCursor &cursor) { InsertPlainText(cursor, text); });
}

std::string TCustomRichEditEx::TextRange(int cpMin, int cpMax) const
{
    return ToAnsi(WideTextRange(cpMin, cpMax));
}

QString TCustomRichEditEx::WideTextRange(int cpMin, int cpMax) const
{
    int from = ClampPosition(cpMin);
    int to = cpMax < 0 ? DocumentEnd() : ClampPosition(cpMax);
    if (from > to)
        std::swap(from, to);
    QString out;
    out.reserve(to - from);
    int pos = from;
    for (QTextBlock block = document()->findBlock(from); block.isValid() && pos < to;
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

void TCustomRichEditEx::SelectAll()
{
    Select(0, -1);
}

void TCustomRichEditEx::ClearSelection()
{
    if (isReadOnly())
        return;
    const QTextCursor cursor = textCursor();
    if (cursor.hasSelection())
        ReplaceRange(cursor.selectionStart(), cursor.selectionEnd(), QString(), true);
}

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

void TCustomRichEditEx::Undo()
{
    if (FUndoDepth->TakeUndo())
        undo();
}

void TCustomRichEditEx::Redo()
{
    if (FUndoDepth->TakeRedo())
        redo();
}

bool TCustomRichEditEx::CanUndo() const
{
    return FUndoDepth->CanUndo();
}

bool TCustomRichEditEx::CanRedo() const
{
    return FUndoDepth->CanRedo();
}

void TCustomRichEditEx::SetUndoLimit(int n)
{
    FUndoLimit = n;
    FUndoDepth->SetLimit(n);
}

bool TCustomRichEditEx::ModifiedFlag() const
{
    return FModified;
}

void TCustomRichEditEx::SetModifiedFlag(bool modified)
{
    FModified = modified;
    document()->setModified(modified);
}

void TCustomRichEditEx::SetMaxLength(int n)
{
    FMaxLength = std::max(0, n);
}

void TCustomRichEditEx::ClearDocument()
{
    if (FOle)
        FOle->CloseAllObjects();
    ReplaceWhole([](QTextCursor &) {});
}

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
        setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        setLineWrapMode(FWordWrap ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
        // No layout while the document is built piece by piece: Qt would lay out a paragraph
        // again for each piece. One layout follows, once the wrap mode fits the content.
        const QSizeF pageSize = document()->pageSize();
        document()->setPageSize(QSizeF(0, 0)); // a null size: Qt skips the layout
        QTextCursor cursor(document());
        fill(cursor);
        TruncateToMaxLength();
        FHiddenText->SetActive(true);
        GuardHugeParagraphs();
        if (document()->pageSize().isNull())
            document()->setPageSize(pageSize);
        document()->setUndoRedoEnabled(FUndoDepth->Enabled());
        setTextCursor(QTextCursor(document()));
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

// --- Search ------------------------------------------------------------------------------------

int TCustomRichEditEx::LocateText(const std::string &SearchText, int StartPos, int Length,
                                  unsigned Options) const
{
    return LocateIn(WideTextRange(0, -1), RangeForm(ToWide(SearchText)), StartPos, Length, Options);
}

void TCustomRichEditEx::InsertFromFile(const QString &FileName)
{
    FInsertMode = true;
    try {
        FLines->LoadFile(FileName);
    } catch (...) {
        FInsertMode = false;
        throw;
    }
    FInsertMode = false;
}

// --- Positions, lines and words ----------------------------------------------------------------

namespace {
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

const std::vector<TCustomRichEditEx::LineInfo> &TCustomRichEditEx::Layout() const
{
    // Without wrapping every paragraph is one line: the lines need no layout, which for a huge
    // paragraph is most of the cost.
    const bool wrap = FWordWrap;
    if (wrap)
        PrepareLayout();
    const qreal width = wrap ? document()->textWidth() : -1;
    if (FLineCacheGeneration == FGeneration && FLineCacheWidth == width && !FLineCache.empty())
        return FLineCache;
    if (wrap)
        document()->documentLayout()->documentSize(); // completes the layout of every block
    FLineCache.clear();
    const QTextBlock last = document()->lastBlock();
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        const int start = block.position();
        const int blockLength = block.length() - 1;
        const bool endsParagraph = block != last;
        const QTextLayout *layout = wrap ? block.layout() : nullptr;
        const int lines = layout ? layout->lineCount() : 0;
        const QString text = block.text();
        if (lines <= 0) {
            // Without wrapping a line is a paragraph, or the part of one that a manual line
            // break ends.
            int lineStart = 0;
            for (qsizetype at = text.indexOf(QChar::LineSeparator); at >= 0;
                 at = text.indexOf(QChar::LineSeparator, lineStart)) {
                FLineCache.push_back({start + lineStart, static_cast<int>(at) - lineStart, false});
                lineStart = static_cast<int>(at) + 1;
            }
            FLineCache.push_back({start + lineStart, blockLength - lineStart, endsParagraph});
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
            FLineCache.push_back(
                {start + lineStart, lineEnd - lineStart, endsParagraph && i + 1 == lines});
        }
    }
    if (FLineCache.empty())
        FLineCache.push_back({0, 0, false});
    FLineCacheGeneration = FGeneration;
    FLineCacheWidth = width;
    return FLineCache;
}

int TCustomRichEditEx::PlatformLineCount() const
{
    return static_cast<int>(Layout().size());
}

int TCustomRichEditEx::LineFromChar(int position) const
{
    const auto &lines = Layout();
    const int p = ClampPosition(position);
    auto it = std::upper_bound(lines.begin(), lines.end(), p,
                               [](int value, const LineInfo &line) { return value < line.Start; });
    if (it == lines.begin())
        return 0;
    return static_cast<int>(std::distance(lines.begin(), it)) - 1;
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
    const LineInfo &info = lines[line];
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
    using namespace TWordBreak;
    const QString text = WideTextRange(0, -1);
    const int length = static_cast<int>(text.size());
    const int p = std::clamp(position, 0, length);
    auto classAt = [&](int i) { return ClassOf(text.at(i)); };
    auto isBlank = [&](int i) {
        const int c = classAt(i);
        return c == ClassSpace || c == ClassLineBreak;
    };

    switch (code) {
    case WB_CLASSIFY: {
        if (p >= length)
            return ClassLineBreak | WBF_BREAKLINE;
        const int c = classAt(p);
        if (c == ClassSpace)
            return c | WBF_ISWHITE;
        if (c == ClassLineBreak)
            return c | WBF_ISWHITE | WBF_BREAKLINE;
        return c;
    }
    case WB_ISDELIMITER:
        return p < length && isBlank(p) ? 1 : 0;
    case WB_LEFTBREAK: {
        int i = p;
        if (i < length) {
            const int c = classAt(i);
            while (i > 0 && classAt(i - 1) == c)
                --i;
        }
        return i;
    }
    case WB_RIGHTBREAK: {
        int i = p;
        if (i < length) {
            const int c = classAt(i);
            while (i < length && classAt(i) == c)
                ++i;
        }
        return i;
    }
    case WB_LEFT:
    case WB_MOVEWORDLEFT: {
        int i = p;
        while (i > 0 && isBlank(i - 1))
            --i;
        if (i > 0) {
            const int c = classAt(i - 1);
            while (i > 0 && classAt(i - 1) == c)
                --i;
        }
        return i;
    }
    case WB_RIGHT:
    case WB_MOVEWORDRIGHT: {
        int i = p;
        if (i < length && !isBlank(i)) {
            const int c = classAt(i);
            while (i < length && classAt(i) == c)
                ++i;
        }
        while (i < length && classAt(i) == ClassSpace)
            ++i;
        // A paragraph break is a stop of its own.
        if (i == p && i < length)
            ++i;
        return i;
    }
    default:
        return 0;
    }
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

// --- Conversion --------------------------------------------------------------------------------

void TCustomRichEditEx::SetLanguage(int language)
{
    FLanguage = language & 0xFFFF;
    FCodePage = AnsiCodePageOf(FLanguage);
}

QString TCustomRichEditEx::ToWide(const std::string &text) const
{
    if (FCodePage != 1252) {
        QStringDecoder decoder(QStringLiteral("windows-%1").arg(FCodePage).toLatin1().constData());
        if (decoder.isValid())
            return decoder.decode(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
    }
    return TCodePage1252::ToUnicode(text);
}

std::string TCustomRichEditEx::ToAnsi(const QString &text) const
{
    if (FCodePage != 1252) {
        QStringEncoder encoder(QStringLiteral("windows-%1").arg(FCodePage).toLatin1().constData());
        if (encoder.isValid())
            return QByteArray(encoder.encode(text)).toStdString();
    }
    return TCodePage1252::FromUnicodeStd(text);
}

// --- Properties --------------------------------------------------------------------------------

void TCustomRichEditEx::SetShowSelectionBar(bool on)
{
    if (FShowSelectionBar == on)
        return;
    FShowSelectionBar = on;
    ApplyViewportMargins();
}

void TCustomRichEditEx::SetWordWrap(bool on)
{
    FWordWrap = on;
    setLineWrapMode(on ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
    GuardHugeParagraphs();
    ++FGeneration;
    ApplyScrollBars();
}

bool TCustomRichEditEx::HasHugeParagraph(int from, int to) const
{
    for (QTextBlock block = document()->findBlock(from); block.isValid() && block.position() <= to;
         block = block.next()) {
        if (block.length() > LongestUnwrappedParagraph)
            return true;
    }
    return false;
}

void TCustomRichEditEx::GuardHugeParagraphs()
{
    // Only the display wraps: the lines stay the paragraphs.
    if (lineWrapMode() == QTextEdit::NoWrap && HasHugeParagraph(0, DocumentEnd()))
        setLineWrapMode(QTextEdit::WidgetWidth);
}

void TCustomRichEditEx::SetScrollBars(TScrollStyle style)
{
    FScrollBars = style;
    ApplyScrollBars();
}

void TCustomRichEditEx::SetHideScrollBars(bool on)
{
    FHideScrollBars = on;
    ApplyScrollBars();
}

void TCustomRichEditEx::ApplyScrollBars()
{
    const Qt::ScrollBarPolicy shown =
        FHideScrollBars ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOn;
    const bool vertical =
        FScrollBars == TScrollStyle::ssVertical || FScrollBars == TScrollStyle::ssBoth;
    const bool horizontal =
        FScrollBars == TScrollStyle::ssHorizontal || FScrollBars == TScrollStyle::ssBoth;
    setVerticalScrollBarPolicy(vertical ? shown : Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(horizontal ? shown : Qt::ScrollBarAlwaysOff);
}

void TCustomRichEditEx::SetHideSelection(bool on)
{
    FHideSelection = on;
    QPalette p = palette();
    const QPalette standard = QApplication::palette(this);
    if (on) {
        // Without the focus the selection is not shown.
        p.setColor(QPalette::Inactive, QPalette::Highlight,
                   p.color(QPalette::Inactive, QPalette::Base));
        p.setColor(QPalette::Inactive, QPalette::HighlightedText,
                   p.color(QPalette::Inactive, QPalette::Text));
    } else {
        p.setColor(QPalette::Inactive, QPalette::Highlight,
                   standard.color(QPalette::Inactive, QPalette::Highlight));
        p.setColor(QPalette::Inactive, QPalette::HighlightedText,
                   standard.color(QPalette::Inactive, QPalette::HighlightedText));
    }
    setPalette(p);
}

void TCustomRichEditEx::SetAutoURLDetect(TAutoURLDetect mode)
{
    FAutoURLDetect = mode;
    FURLDetector->ModeChanged();
}

void TCustomRichEditEx::SetIncludeOLE(bool on)
{
    FIncludeOLE = on;
    if (on && !FOle)
        FOle = std::make_unique<TRichEditOle>(*this);
}

void TCustomRichEditEx::InsertObjectDialog()
{
    if (FIncludeOLE && FOle)
        FOle->InsertObjectDialog();
}

bool TCustomRichEditEx::ObjectSelected() const
{
    return FIncludeOLE && FOle && FOle->ObjectSelected();
}

void TCustomRichEditEx::DoVerb(int index)
{
    if (FIncludeOLE && FOle)
        FOle->DoVerb(index);
}

void TCustomRichEditEx::AfterStreamIn()
{
    FURLDetector->AfterLoad();
}

void TCustomRichEditEx::SetRedraw(bool on)
{
    setUpdatesEnabled(on);
    if (on)
        viewport()->update();
}

// --- Streaming ---------------------------------------------------------------------------------

unsigned TCustomRichEditEx::LoadFormat() const
{
    unsigned format = SF_RTF;
    if (FInputFormat == TInputFormat::ifText)
        format = SF_TEXT;
    else if (FInputFormat == TInputFormat::ifUnicode)
        format = SF_TEXT | SF_UNICODE;
    if (FSelectedInOut)
        format |= SFF_SELECTION;
    if (FPlainRTF)
        format |= SFF_PLAINRTF;
    return format;
}

unsigned TCustomRichEditEx::SaveFormat(TOutputFormat outputFormat) const
{
    unsigned format = SF_RTF;
    switch (outputFormat) {
    case TOutputFormat::ofText:
        format = SF_TEXT;
        break;
    case TOutputFormat::ofRTF:
        format = SF_RTF;
        break;
    case TOutputFormat::ofRTFNoObjs:
        format = SF_RTFNOOBJS;
        break;
    case TOutputFormat::ofTextized:
        format = SF_TEXTIZED;
        break;
    case TOutputFormat::ofUnicode:
        format = SF_TEXT | SF_UNICODE;
        break;
    }
    if (FSelectedInOut)
        format |= SFF_SELECTION;
    if (FPlainRTF)
        format |= SFF_PLAINRTF;
    return format;
}

void TCustomRichEditEx::StreamIn(unsigned format, TEditStream &stream)
{
    stream.Error = 0;
    QByteArray data;
    QByteArray chunk(StreamChunk, Qt::Uninitialized);
    for (;;) {
        qint64 done = 0;
        const int answer = stream.Callback ? stream.Callback(chunk.data(), StreamChunk, done) : 0;
        if (answer != 0) {
            stream.Error = answer;
            return;
        }
        if (done <= 0)
            break;
        data.append(chunk.constData(), std::min(done, StreamChunk));
    }
    StreamInData(data, format, stream);
}

int TCustomRichEditEx::StreamInBytes(const QByteArray &data, unsigned format)
{
    TEditStream stream;
    qint64 offset = 0;
    stream.Callback = [&](char *buffer, qint64 count, qint64 &done) {
        done = std::min<qint64>(count, data.size() - offset);
        std::copy_n(data.constData() + offset, done, buffer);
        offset += done;
        return 0;
    };
    StreamIn(format, stream);
    return stream.Error;
}

void TCustomRichEditEx::StreamInData(const QByteArray &data, unsigned format, TEditStream &stream)
{
    const unsigned kind = format & 0x0F;
    const bool rich = kind == SF_RTF || kind == SF_RTFNOOBJS;
    if (rich && !TRtfReader::IsRtf(data)) {
        stream.Error = ErrorNotRichText;
        return;
    }
    auto fill = [&](QTextCursor &cursor) {
        if (rich) {
            const int from = cursor.selectionStart();
            TRtfReader::Read(data, cursor);
            TRtfObjectIO::AttachObjects(data, *document(), from, cursor.position());
            return;
        }
        const QString text = (format & SF_UNICODE)
                                 ? DecodeUtf16LE(data)
                                 : ToWide(std::string(data.constData(), data.size()));
        InsertPlainText(cursor, NormalizeBreaks(text));
    };

    if ((format & SFF_SELECTION) || FInsertMode) {
        QTextCursor cursor = textCursor();
        {
            QuietScope quiet(FQuietDepth);
            const int start = cursor.selectionStart();
            const int before = TextLength() - (cursor.selectionEnd() - start);
            cursor.beginEditBlock();
            fill(cursor);
            if (FMaxLength > 0 && TextLength() > FMaxLength) {
                // Keep what fits of the inserted text.
                const int end = cursor.position();
                const int keep = std::max(0, FMaxLength - before);
                QTextCursor excess(document());
                excess.setPosition(std::min(end, start + keep));
                excess.setPosition(end, QTextCursor::KeepAnchor);
                excess.removeSelectedText();
            }
            cursor.endEditBlock();
            setTextCursor(cursor);
        }
        ++FGeneration;
        FModified = true;
        FireChange();
        SelectionChanged();
    } else {
        ReplaceWhole(fill);
    }
    AfterStreamIn();
}

void TCustomRichEditEx::StreamOut(unsigned format, TEditStream &stream)
{
    stream.Error = 0;
    int from = 0;
    int to = -1;
    if (format & SFF_SELECTION) {
        const QTextCursor cursor = textCursor();
        from = cursor.selectionStart();
        to = cursor.selectionEnd();
    }
    const unsigned kind = format & 0x0F;
    QByteArray data;
    if (kind == SF_RTF || kind == SF_RTFNOOBJS) {
        TRtfWriter::Options options;
        options.PlainRTF = format & SFF_PLAINRTF;
        options.Language = FLanguage;
        data = TRtfWriter::Write(*document(), from, to, options);
    } else {
        const QString text = WithCrLf(WideTextRange(from, to));
        if (format & SF_UNICODE)
            data = EncodeUtf16LE(text);
        else
            data = QByteArray::fromStdString(ToAnsi(text));
    }
    for (qint64 offset = 0; offset < data.size();) {
        const qint64 count = std::min<qint64>(StreamChunk, data.size() - offset);
        qint64 done = 0;
        const int answer = stream.Callback ? stream.Callback(data.data() + offset, count, done) : 0;
        if (answer != 0) {
            stream.Error = answer;
            return;
        }
        if (done != count) {
            stream.Error = ErrorShortWrite;
            return;
        }
        offset += count;
    }
}

QByteArray TCustomRichEditEx::StreamOutBytes(unsigned format)
{
    QByteArray out;
    TEditStream stream;
    stream.Callback = [&](char *buffer, qint64 count, qint64 &done) {
        out.append(buffer, count);
        done = count;
        return 0;
    };
    StreamOut(format, stream);
    return out;
}

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
    if (!isReadOnly()) {
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
        if (event == QKeySequence::Cut) {
            edits = a != b;
        } else if (event == QKeySequence::Delete) {
            extend(QTextCursor::NextCharacter);
            edits = true;
        } else if (event->key() == Qt::Key_Backspace) {
            extend(QTextCursor::PreviousCharacter);
            edits = true;
        } else if (event == QKeySequence::DeleteEndOfWord) {
            extend(QTextCursor::NextWord);
            edits = true;
        } else if (event == QKeySequence::DeleteStartOfWord) {
            extend(QTextCursor::PreviousWord);
            edits = true;
        } else if (event == QKeySequence::DeleteEndOfLine) {
            extend(QTextCursor::EndOfBlock);
            edits = true;
        } else if (enter || (event->key() == Qt::Key_Tab && WantTabs())) {
            edits = true;
            inserted = 1;
        } else if (!event->text().isEmpty() && event->text().at(0).isPrint() &&
                   !(event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier))) {
            edits = true;
            inserted = static_cast<int>(event->text().size());
        }
        if (edits) {
            if (!AllowEdit(from, to)) {
                event->accept();
                return;
            }
            if (inserted > 0 && FMaxLength > 0 && TextLength() - (b - a) + inserted > FMaxLength) {
                QApplication::beep();
                event->accept();
                return;
            }
        }
    }
    QTextEdit::keyPressEvent(event);
    if (event == QKeySequence::Copy || event == QKeySequence::Cut)
        FClipboardData = QGuiApplication::clipboard()->mimeData();
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
        FontChanged();
    }
}
