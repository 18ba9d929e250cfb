#pragma once

#include "richedit/RichEditTypes.h"
#include "richedit/TEditStream.h"
#include "richedit/TFormatRange.h"
#include "richedit/TLineLayout.h"
#include "richedit/TRichEditLinesHost.h"
#include "richedit/TTextAttributesEx.h"
#include "richedit/TURLDetector.h"

#include <QTextCharFormat>
#include <QTextEdit>

#include <memory>
#include <string>
#include <vector>

class QIODevice;
class TLinesTransfer;
class TRichEditStringsEx;
class TWideRichEditStringsEx;
class TParaAttributesEx;
class TRichEditOle;
class TUndoDepth;
class THiddenText;
class TLongParagraphs;

// The rich text control of both editor panes, over QTextEdit. The text lives in the widget's
// QTextDocument; positions are QTextCursor positions, in which a paragraph break counts as one
// character, and they run from 0 to TextLength().
//
// 8-bit texts (selected text, whole text, ranges, lines, search text) are std::string holding
// bytes of the control's code page (1252 with the program's Language 1033). In 8-bit texts a
// paragraph break is CR (one byte, so lengths and positions agree), a line break inside a
// paragraph is VT (0x0B), a page break is FF (0x0C).
//
// There is no version-1 rich edit control on this platform: the control is always the full one.
class TCustomRichEditEx : public QTextEdit, public TRichEditLinesHost
{
    Q_OBJECT

public:
    explicit TCustomRichEditEx(QWidget *parent = nullptr);
    ~TCustomRichEditEx() override;

    // --- Selection and text -----------------------------------------------------------------
    int SelectionStart() const override;
    // Caret at p (clamped to the text), nothing selected.
    void SetSelectionStart(int p);
    int SelectionLength() const;
    // Selects n characters from the current start and scrolls the caret into view.
    void SetSelectionLength(int n);
    // Selects [cpMin, cpMax); cpMax -1 means to the end. The caret goes to cpMax.
    void Select(int cpMin, int cpMax) override;
    // The selected text, empty when nothing is selected.
    std::string SelectedText() const;
    // Replaces the selection with s (CR, LF or CR LF end a paragraph). Always undoable.
    // Refused (nothing changes) when it touches protected text that OnProtectChange does not
    // allow; cut to MaxLength.
    void SetSelectedText(const std::string &s);
    // The whole text; its length is TextLength().
    std::string WholeText() const;
    // Replaces the whole text with plain text in the default format; clears undo and the
    // modified flag.
    void SetWholeText(const std::string &s);
    // Number of characters (UTF-16 units), a paragraph break counting once.
    int TextLength() const override;
    // The characters [cpMin, cpMax); cpMax -1 means to the end.
    std::string TextRange(int cpMin, int cpMax) const override;
    // The same ranges in UTF-16, paragraph breaks as CR, line breaks as VT.
    QString WideTextRange(int cpMin, int cpMax) const override;

    void SelectAll();
    void ClearSelection();
    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();
    void Undo();
    void Redo();
    bool CanUndo() const;
    bool CanRedo() const;

    bool ModifiedFlag() const;
    void SetModifiedFlag(bool modified);
    bool ReadOnly() const { return isReadOnly(); }
    void SetReadOnly(bool readOnly) { setReadOnly(readOnly); }
    // 0 = unlimited. Insertions past the limit are cut; loads are cut at the limit.
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int n);
    // The undo depth, 0 = no undo. Until it is first set the depth has no limit.
    int UndoLimit() const { return FUndoLimit; }
    void SetUndoLimit(int n);

    // Empties the control (embedded objects closed without saving) and clears the modified
    // flag and the undo history.
    void ClearDocument() override;

    // Position of the first character of the first match, or -1; the selection is not
    // touched. Options: TLocateOption bits. Range: [StartPos, StartPos + Length) forwards,
    // [StartPos - Length, StartPos] backwards; Length <= 0 reaches to the end of the text in
    // the search direction. The whole match lies inside the range.
    int LocateText(const std::string &SearchText, int StartPos, int Length, unsigned Options) const;

    // Loads the file (rich text, else plain text) in place of the selection.
    void InsertFromFile(const QString &FileName);

    // Lays the text out for a page on a target device and, with render set, draws the lines
    // that fit from request->cpMin; returns the first position not drawn. A null request frees
    // the layout kept between pages.
    int FormatRange(bool render, const TFormatRangeRequest *request)
    {
        return FFormatRange.Format(*document(), render, request);
    }

    // --- Positions, lines and words ---------------------------------------------------------
    // The character nearest to a point in viewport coordinates.
    int CharFromPos(const QPoint &point) const;
    // The character whose box holds the point (viewport coordinates), or -1 when the point is
    // beside the text: left of a line, right of its end or below the last line. A paragraph
    // mark has no box.
    int CharAtPoint(const QPoint &point) const;
    // Top-left of the character in viewport coordinates.
    QPoint PosFromChar(int position) const;
    // TWordBreak codes: WB_CLASSIFY gives the class (and WBF_ flags) of the character at
    // position; the others give a position.
    int FindWordBreak(int code, int position) const;
    // Laid-out lines: a manual line break (Shift+Enter, VT, "\line") ends a line, and so does a
    // paragraph break; with WordWrap a long paragraph is several lines besides (layout width:
    // the viewport's width). A line's length leaves out the break that ends it. There is always
    // at least one line (an empty control has one empty line).
    int PlatformLineCount() const override;
    // Start of line i, or -1 when there is no such line; i < 0 means the caret's line.
    int LineIndex(int line) const override;
    // Length of the line holding the position, without its paragraph break.
    int LineLength(int position) const override;
    // Line that holds the position.
    int LineFromChar(int position) const;
    // The line's text in UTF-16 with its paragraph break as a final CR.
    QString LineText(int line) const override;
    int FirstVisibleLine() const override;
    void ScrollCaret();

    // The formatting rectangle, in the coordinates of the control's client area (inside the
    // frame, scroll bars excluded). An empty rectangle restores the whole client area.
    void SetTextRect(const QRect &rect);
    QRect TextRect() const;
    // Size of the client area as SetTextRect measures it.
    QSize ClientSize() const;

    // --- Conversion -------------------------------------------------------------------------
    int Language() const override { return FLanguage; }
    void SetLanguage(int language) override;
    // ANSI code page of Language.
    int CodePage() const { return FCodePage; }
    QString ToWide(const std::string &text) const override;
    std::string ToAnsi(const QString &text) const override;

    // --- Properties -------------------------------------------------------------------------
    bool PlainRTF() const { return FPlainRTF; }
    void SetPlainRTF(bool on) { FPlainRTF = on; }
    TInputFormat InputFormat() const { return FInputFormat; }
    void SetInputFormat(TInputFormat format) { FInputFormat = format; }
    TOutputFormat OutputFormat() const override { return FOutputFormat; }
    void SetOutputFormat(TOutputFormat format) { FOutputFormat = format; }
    bool SelectedInOut() const { return FSelectedInOut; }
    void SetSelectedInOut(bool on) { FSelectedInOut = on; }
    // Read by the selection attributes (format changes with an empty selection take the word).
    bool WordFormatting() const override { return FWordFormatting; }
    void SetWordFormatting(bool on) { FWordFormatting = on; }
    bool ShowSelectionBar() const { return FShowSelectionBar; }
    void SetShowSelectionBar(bool on);
    TAutoURLDetect AutoURLDetect() const override { return FAutoURLDetect; }
    void SetAutoURLDetect(TAutoURLDetect mode);
    // URL schemes of adExtended and of the URL events; setting copies the entries.
    TURLCollection &CustomURLs() { return FURLDetector->CustomURLs(); }
    void SetCustomURLs(const TURLCollection &urls) { FURLDetector->SetCustomURLs(urls); }
    TColor URLColor() const { return FURLDetector->URLColor(); }
    void SetURLColor(TColor color) { FURLDetector->SetURLColor(color); }
    int URLCursor() const { return FURLDetector->URLCursor(); }
    void SetURLCursor(int cursor) { FURLDetector->SetURLCursor(cursor); }
    TURLDetector &URLDetector() { return *FURLDetector; }
    unsigned LangOptions() const { return FLangOptions; }
    void SetLangOptions(unsigned options) { FLangOptions = options; }
    bool IncludeOLE() const { return FIncludeOLE; }
    // Setting it connects the embedded objects (Ole()).
    void SetIncludeOLE(bool on);
    // The embedded objects; null until IncludeOLE is first set.
    TRichEditOle *Ole() const override { return FOle.get(); }
    // The insert-object dialog and the insertion at the selection (needs IncludeOLE).
    void InsertObjectDialog();
    // True when the selection is one embedded object (needs IncludeOLE).
    bool ObjectSelected() const;
    // Runs a verb of the object of the verb menu or inserted last (needs IncludeOLE).
    void DoVerb(int index);
    bool AutoVerbMenu() const override { return FAutoVerbMenu; }
    void SetAutoVerbMenu(bool on) { FAutoVerbMenu = on; }
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool on);
    // False: Enter is left to the window (Ctrl+Enter still breaks the paragraph).
    bool WantReturns() const { return FWantReturns; }
    void SetWantReturns(bool on) { FWantReturns = on; }
    bool WantTabs() const { return !tabChangesFocus(); }
    void SetWantTabs(bool on) { setTabChangesFocus(!on); }
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle style);
    // False: the scroll bars of ScrollBars are always shown.
    bool HideScrollBars() const { return FHideScrollBars; }
    void SetHideScrollBars(bool on);
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool on);

    // ENM_* bits of TEventMask: which of OnChange, OnSelectionChange, OnResizeRequest and
    // OnProtectChange are raised.
    unsigned EventMask() const override { return FEventMask; }
    void SetEventMask(unsigned mask) override { FEventMask = mask; }
    // Off: no repaint until it is switched on again (then the control repaints).
    void SetRedraw(bool on) override;

    // --- Streaming --------------------------------------------------------------------------
    // Reads the whole transfer, then inserts it: TStreamFormat SF_RTF (Error set and nothing
    // inserted when the data is not rich text), SF_TEXT (1252 bytes) or SF_TEXT | SF_UNICODE
    // (UTF-16LE). With SFF_SELECTION, or inside InsertFromFile, the data replaces the selection
    // as one undoable edit; otherwise it replaces the whole content, and undo history and
    // modified flag are cleared.
    void StreamIn(unsigned format, TEditStream &stream) override;
    // Writes the content (with SFF_SELECTION the selection) as SF_RTF / SF_RTFNOOBJS rich text,
    // SF_TEXT / SF_TEXTIZED 1252 text with CR LF paragraph ends, or SF_TEXT | SF_UNICODE
    // UTF-16LE text.
    void StreamOut(unsigned format, TEditStream &stream) override;
    // The same for data in memory; StreamInBytes returns the transfer's Error.
    int StreamInBytes(const QByteArray &data, unsigned format) override;
    QByteArray StreamOutBytes(unsigned format) override;
    // Format flags of loading and saving from InputFormat / OutputFormat, SelectedInOut and
    // PlainRTF.
    unsigned LoadFormat() const override;
    unsigned SaveFormat() const { return SaveFormat(FOutputFormat); }
    unsigned SaveFormat(TOutputFormat format) const override;

    TRichEditStringsEx &Lines() { return *FLines; }
    TWideRichEditStringsEx &WideLines() override { return *FWideLines; }

    // Character format of the selection and the default format; paragraph format of the
    // paragraphs in the selection. Setting Font assigns it to DefaultAttributes.
    TTextAttributesEx &SelectionAttributes() override { return *FSelectionAttributes; }
    TTextAttributesEx &DefaultAttributes() { return *FDefaultAttributes; }
    TParaAttributesEx &ParagraphAttributes() { return *FParagraphAttributes; }

    // True while InsertFromFile runs (loads then replace only the selection).
    bool InsertMode() const { return FInsertMode; }
    // True while WideLines talks to the control directly.
    bool WideCall() const { return FWideCall; }

    // Replaces [from, to) with UTF-16 text (CR / LF / CR LF paragraph breaks, VT line
    // breaks), checking protected text and MaxLength, and leaves the caret after it. Undoable
    // or not; a non-undoable edit clears the undo history. Returns false when refused.
    bool ReplaceRange(int from, int to, const QString &text, bool undoable) override;
    // Replaces the length characters at each of the starts (ascending, not overlapping,
    // positions of the text as it is now) with the UTF-16 text, all as one undoable edit that
    // raises one OnChange. The inserted text takes the format at its place with the properties
    // of extra added. Places that touch protected text OnProtectChange does not allow are left
    // alone; MaxLength cuts as for ReplaceRange. The caret stays on its text. Returns the
    // number of places replaced.
    int ReplaceEach(const std::vector<int> &starts, int length, const QString &text,
                    const QTextCharFormat &extra = QTextCharFormat());

    // Format-only changes between these calls (the attribute objects' writes) raise no
    // OnChange.
    void BeginFormatChange() override { ++FFormatChangeDepth; }
    void EndFormatChange() override { --FFormatChangeDepth; }

    // --- Events -----------------------------------------------------------------------------
    TNotifyEvent OnChange;
    TNotifyEvent OnSelectionChange;
    TRichEditProgressEvent OnLoadProgress;
    TRichEditProgressEvent OnSaveProgress;
    TRichEditResizeEvent OnResizeRequest;
    TRichEditProtectChange OnProtectChange;
    TRichEditSaveClipboard OnSaveClipboard;
    TURLClickEvent OnURLClick;
    TURLMoveEvent OnURLMove;
    TRichEditMouseEvent OnMouseDown;
    TRichEditMouseEvent OnMouseUp;
    TRichEditMouseEvent OnMouseMove;

protected:
    // Hooks for the attribute objects, URL detection and embedded objects.
    // After every StreamIn that inserted something.
    virtual void AfterStreamIn();
    // After Font changed (the document's default font has already taken it).
    virtual void FontChanged() {}
    // True when an edit of [from, to) may go ahead: no protected character in it (for an
    // empty range: the inserted text would not be protected), or OnProtectChange allows it.
    bool AllowEdit(int from, int to);

    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void insertFromMimeData(const QMimeData *source) override;
    bool canInsertFromMimeData(const QMimeData *source) const override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    QMimeData *createMimeDataFromSelection() const override;
    bool event(QEvent *event) override;

private:
    // What the control's parts reach through TRichEditLinesHost only.
    QTextEdit &Editor() override { return *this; }
    const QTextEdit &Editor() const override { return *this; }
    TNotifyEvent &ChangeEvent() override { return OnChange; }
    TNotifyEvent &SelectionChangeEvent() override { return OnSelectionChange; }
    void URLMoved(const std::string &url) override;
    void URLClicked(const std::string &url) override;
    TLinesTransfer &LinesTransfer() override { return *FLinesTransfer; }
    void SetWideCall(bool on) override { FWideCall = on; }
    void LoadProgress(qint64 pos, qint64 size) override;
    void SaveProgress(qint64 pos, qint64 size) override;
    void LinesChanged() override { FireChange(); }

    TFormatRange FFormatRange;

    void ContentsChanged(int position, int removed, int added);
    void GuardLongWords(int from, int to);
    bool HasHugeParagraph(int from, int to) const;
    void GuardHugeParagraphs();
    void SelectionChanged();
    void DocumentSizeChanged(const QSizeF &size);
    void FireChange();
    void ApplyViewportMargins();
    void ApplyScrollBars();
    // Gives a control that was never shown its size, so that its document is laid out at the
    // viewport's width.
    void PrepareLayout() const;
    const std::vector<TLineLayout::TLine> &Layout() const;
    int DocumentEnd() const;
    int ClampPosition(int p) const;
    bool RangeHasProtected(int from, int to) const;
    QString FitMaxLength(const QString &text, int removed) const;
    void InsertPlainText(QTextCursor &cursor, const QString &text);
    void StreamInData(const QByteArray &data, unsigned format, TEditStream &stream);
    void ReplaceWhole(const std::function<void(QTextCursor &)> &fill);
    void TruncateToMaxLength();
    // Position of the embedded object under a mouse event, or -1.
    int ObjectUnder(const QMouseEvent &event) const;
    void SelectLineAt(const QPoint &point);
    // Tab and Shift+Tab in a table.
    void MoveBetweenCells(bool forward);
    // True when a key that edits may not: protected text or MaxLength refuse it.
    bool RefusesKeyEdit(const QKeyEvent &event);

    std::unique_ptr<TLinesTransfer> FLinesTransfer;
    std::unique_ptr<TRichEditStringsEx> FLines;
    std::unique_ptr<TWideRichEditStringsEx> FWideLines;
    std::unique_ptr<TTextAttributesEx> FSelectionAttributes;
    std::unique_ptr<TTextAttributesEx> FDefaultAttributes;
    std::unique_ptr<TParaAttributesEx> FParagraphAttributes;
    std::unique_ptr<TURLDetector> FURLDetector;
    std::unique_ptr<TRichEditOle> FOle;
    std::unique_ptr<TUndoDepth> FUndoDepth;
    THiddenText *FHiddenText; // owned by the document
    TLongParagraphs *FLongParagraphs; // owned by the document

    int FLanguage = 1033;
    int FCodePage = 1252;
    int FMaxLength = 0;
    int FUndoLimit = 0;
    bool FModified = false;
    bool FPlainRTF = false;
    TInputFormat FInputFormat = TInputFormat::ifRTF;
    TOutputFormat FOutputFormat = TOutputFormat::ofRTF;
    bool FSelectedInOut = false;
    bool FWordFormatting = true;
    bool FShowSelectionBar = false;
    TAutoURLDetect FAutoURLDetect = TAutoURLDetect::adNone;
    unsigned FLangOptions = TLangOption::loAutoFont;
    bool FIncludeOLE = false;
    bool FAutoVerbMenu = true;
    bool FWantReturns = true;
    bool FWordWrap = true;
    TScrollStyle FScrollBars = TScrollStyle::ssNone;
    bool FHideScrollBars = true;
    bool FHideSelection = true;
    unsigned FEventMask = TEventMask::Default;
    QRect FTextRect;
    bool FInsertMode = false;
    bool FWideCall = false;
    int FFormatChangeDepth = 0;
    int FQuietDepth = 0; // programmatic changes that raise no events of their own
    bool FChangePending = false;
    const QMimeData *FClipboardData = nullptr;
    int FLastSelStart = 0;
    int FLastSelEnd = 0;

    mutable TLineLayout FLineLayout;
    quint64 FGeneration = 1; // counts the changes of content and layout
};
