#pragma once

#include <QRect>

#include <memory>
#include <vector>

class QPainter;
class QPaintDevice;
class QTextBlock;
class QTextDocument;
class QTextTable;

// The record of one format-range request. Rectangles are in twips (1/1440 inch); positions
// count a paragraph break as one character, as QTextCursor does.
struct TFormatRangeRequest
{
    QPainter *hdc = nullptr;           // where the text is drawn (may be null when measuring)
    QPaintDevice *hdcTarget = nullptr; // the device whose metrics the text is laid out for
    QRect rc;                          // the area to fill
    QRect rcPage;                      // the whole page
    int cpMin = 0;                     // first position to draw
    int cpMax = -1;                    // last position, -1 for the end of the text
};

// Lays a document out for a page area on a target device and draws it one page at a time.
// The layout is made on a clone of the document and kept between calls until Free, so that
// printing never disturbs the document being edited. A form feed (U+000C) ends a page.
// A very long document is cloned and laid out a piece at a time, as the pages ask for it: one
// layout of thousands of printer pages takes Qt minutes.
class TFormatRange
{
public:
    TFormatRange();
    ~TFormatRange();
    TFormatRange(const TFormatRange &) = delete;
    TFormatRange &operator=(const TFormatRange &) = delete;

    // With render set, draws the lines of the source that fit into request.rc from cpMin on;
    // otherwise only measures. Returns the first position that was not drawn. A null request
    // frees the kept layout and returns 0.
    int Format(const QTextDocument &source, bool render, const TFormatRangeRequest *request);

    // Drops the clone and its layout.
    void Free();

    // Text length of a document in the counting of the positions above.
    static int TextLength(const QTextDocument &document);

private:
    struct Line
    {
        int start; // first position of the line
        int end;   // first position after it (includes a block's paragraph break)
        qreal top; // in device pixels of the target
        qreal bottom;
        int pageEnd; // when a form feed ends the page after this line: where the next page starts;
                     // else -1
        bool whole = false; // rows of a table: drawn whole, never cut by a page end
    };
    class MetricDevice;

    void Prepare(const QTextDocument &source, const QPaintDevice &target, int widthPx,
                 int heightPx);
    void LayOut(std::unique_ptr<QTextDocument> clone);
    // Makes sure the kept piece holds the position and, when it is not the end of the text, at
    // least the given number of characters after it.
    void EnsurePiece(int position, int after);
    bool PieceHolds(int position, int after) const;
    void BuildLines();
    void AddBlockLines(const QTextBlock &block);
    void AddTableRows(const QTextTable &table);
    // Rows too tall for a page: they break between the lines of their tallest cell.
    void AddTallRows(const QTextTable &table, int firstRow, int lastRow, const Line &rows);
    int FirstLineAt(int position) const;
    void Draw(QPainter &painter, int first, int last, int left, int top, int width) const;

    std::unique_ptr<QTextDocument> FClone;
    std::unique_ptr<MetricDevice> FDevice;
    std::vector<Line> FLines;
    const QTextDocument *FSource = nullptr;
    int FWidthPx = -1;
    int FHeightPx = -1;
    int FDpiX = 0;
    int FDpiY = 0;
    int FLength = 0;
    bool FInPieces = false;
    int FOffset = 0;   // position in the source of the clone's first character
    int FPieceEnd = 0; // position in the source after the clone's last character
};
