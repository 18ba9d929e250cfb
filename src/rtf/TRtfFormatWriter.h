#pragma once

#include <QByteArray>
#include <QFont>
#include <QHash>

class QTextBlock;
class QTextCharFormat;
class TRtfWriterOutput;
class TRtfWriterTables;

// The formatting of the text a writer states: the character formatting of each run, written as
// the words that change it from the run before, and the properties of each paragraph with its
// list number. Numbered paragraphs in a row that look alike are one list to a reader of rich
// text; each such run is a list of the list table.
class TRtfFormatWriter
{
public:
    // The character formatting that the rich text states for a run.
    struct TRunFormat
    {
        int Font = 0;
        int HalfPoints = 20;
        bool Bold = false;
        bool Italic = false;
        int Underline = 0; // 0 none, 1 single, 2 dotted, 3 dashed, 4 wave
        bool Strike = false;
        int Color = 0;
        int Highlight = 0;
        int Script = 0; // 0 normal, 1 superscript, 2 subscript
        bool Hidden = false;
        bool Protected = false;
    };

    // Fonts, colours and lists go into tables; what a format leaves open is the default font's.
    TRtfFormatWriter(TRtfWriterTables &tables, const QFont &defaultFont);

    // The run format of a character format, kept under formatIndex (the document's index of
    // the format) for the next run of it; Forget drops one kept for a single use.
    TRunFormat Resolve(int formatIndex, const QTextCharFormat &format);
    void Forget(int formatIndex) { FResolved.remove(formatIndex); }
    // The words that turn the current run format into f; before the first run all that differ
    // from the reader's defaults.
    void ChangeFormat(TRtfWriterOutput &out, const TRunFormat &f);
    // Whether a run format was stated yet, and the size it states.
    bool FormatKnown() const { return FFormatKnown; }
    int CurrentHalfPoints() const { return FCurrent.HalfPoints; }

    // The paragraph's properties as control words; for a list item also its number in the old
    // form ({\*\pn ...}) and the list table's (\lsN), with the {\pntext ...} group of its label
    // in listText.
    QByteArray ParagraphProperties(const QTextBlock &block, QByteArray &listText);
    // The next list item starts a list of its own (after a paragraph that is none).
    void EndListRun() { FRunKey.clear(); }

private:
    int UnderlineOf(const QTextCharFormat &format) const;
    // The list part of a list item's properties; firstIndent becomes the item's own.
    QByteArray ListProperties(const QTextBlock &block, QByteArray &listText, int &firstIndent);
    // The number a list item shows, counting on from the run it belongs to or starting one.
    int ListNumber(const QTextBlock &block, int &pnStart);

    TRtfWriterTables &FTables;
    const QFont FDefaultFont;
    QHash<int, TRunFormat> FResolved;
    TRunFormat FCurrent;
    bool FFormatKnown = false;
    // The run of list paragraphs that the last paragraph belongs to.
    QByteArray FRunKey;
    int FRunStart = 1;
    int FRunNumber = 1;
};
