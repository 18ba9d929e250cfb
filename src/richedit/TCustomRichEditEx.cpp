#include "richedit/TCustomRichEditEx.h"

#include "richedit/LanguageCodePages.h"
#include "richedit/THiddenText.h"
#include "richedit/TLinesTransfer.h"
#include "richedit/TLongParagraphs.h"
#include "richedit/TParaAttributesEx.h"
#include "richedit/TRichEditOle.h"
#include "richedit/TRichEditStringsEx.h"
#include "richedit/TTextAttributesEx.h"
#include "richedit/TUndoDepth.h"
#include "richedit/TWideRichEditStringsEx.h"
#include "richedit/TextBreaks.h"
#include "richedit/TextSearch.h"
#include "rtf/TCodePage1252.h"
#include "rtf/TDocumentText.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>

TCustomRichEditEx::TCustomRichEditEx(QWidget *parent)
    : QTextEdit(parent), FLinesTransfer(std::make_unique<TLinesTransfer>(*this)),
      FLines(std::make_unique<TRichEditStringsEx>(*this)),
      FWideLines(std::make_unique<TWideRichEditStringsEx>(*this)),
      FSelectionAttributes(std::make_unique<TTextAttributesEx>(this, TAttributeKind::Selection)),
      FDefaultAttributes(std::make_unique<TTextAttributesEx>(this, TAttributeKind::Default)),
      FParagraphAttributes(std::make_unique<TParaAttributesEx>(this)),
      FURLDetector(std::make_unique<TURLDetector>(*this)),
      FUndoDepth(std::make_unique<TUndoDepth>(*document())),
      FHiddenText(new THiddenText(document())), FLongParagraphs(new TLongParagraphs(document()))
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
    return TDocumentText::Range(*document(), cpMin, cpMax);
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

// --- Search ------------------------------------------------------------------------------------

int TCustomRichEditEx::LocateText(const std::string &SearchText, int StartPos, int Length,
                                  unsigned Options) const
{
    return LocateIn(WideTextRange(0, -1), RangeForm(ToWide(SearchText)), StartPos, Length, Options);
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
        // Without word wrap a long paragraph is still shown wrapped: drawing or editing one
        // line of that length makes Qt go through all of it again each time.
        if (TLongParagraphs::IsLong(block))
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

// --- Notifications of the parts ---------------------------------------------------------------

void TCustomRichEditEx::URLMoved(const std::string &url)
{
    if (OnURLMove)
        OnURLMove(this, url);
}

void TCustomRichEditEx::URLClicked(const std::string &url)
{
    if (OnURLClick)
        OnURLClick(this, url);
}

void TCustomRichEditEx::LoadProgress(qint64 pos, qint64 size)
{
    if (OnLoadProgress)
        OnLoadProgress(this, pos, size);
}

void TCustomRichEditEx::SaveProgress(qint64 pos, qint64 size)
{
    if (OnSaveProgress)
        OnSaveProgress(this, pos, size);
}
