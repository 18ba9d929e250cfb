#pragma once

#include <QObject>

class QStringView;
class QTextBlock;
class QTextDocument;

// Pasted logs and data make paragraphs of hundreds of thousands of characters, and Qt lays out
// a paragraph as one piece on every change in it. Two things keep typing in one quick:
// - the layout of a long paragraph is kept after it is made; otherwise the caret, drawn and
//   moved after each key, has Qt work the whole paragraph out again;
// - while the document holds a long paragraph, the screen lays text out without optional
//   shaping (ligatures, OpenType kerning), most of a layout's cost. Only a document whose text
//   reads the same without shaping gets this: none of joined scripts (Arabic, Indic, ...),
//   combining marks or characters beyond the basic plane. Printing keeps all shaping.
// Only the display changes: the document's text and formats, and so what is saved, stay.
class TLongParagraphs : public QObject
{
    Q_OBJECT

public:
    // Paragraphs from this many characters on count as long.
    static constexpr int LongParagraph = 50000;

    // Owned by the document; looks at it at once.
    explicit TLongParagraphs(QTextDocument *document);

    // Off while a whole document is built piece by piece; on again looks at every paragraph.
    void SetActive(bool on);
    // The document's default font was replaced (the pane's font changed): it gets the
    // display's shaping again.
    void DefaultFontReplaced();

    // Whether the screen lays out this document without optional shaping.
    bool Unshaped() const;
    static bool IsLong(const QTextBlock &block);
    // Whether the text looks different, or wrong, without shaping.
    static bool NeedsShaping(QStringView text);

private:
    void ContentsChange(int from, int removed, int added);
    void KeepLayouts(int from, int to);
    bool HasLongParagraph() const;
    bool RangeNeedsShaping(int from, int to) const;
    // A change that may make the unshaped layout right or wrong for the document.
    bool MaySwitch(int from, int removed, int added) const;
    // Unshaped exactly while the document holds a long paragraph and reads right without
    // shaping.
    void ApplyShaping();
    // After the change has been laid out: Qt's layout is not ready to be switched while the
    // document tells its change.
    void ApplyShapingLater();

    QTextDocument *FDocument;
    bool FActive = true;
    bool FApplyPending = false;
};
