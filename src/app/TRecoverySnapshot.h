#pragma once

#include "rtf/TRtfPageParts.h"

#include <QFont>
#include <QList>
#include <QString>
#include <QTextFormat>
#include <QTextListFormat>
#include <QUrl>
#include <QVariant>

#include <memory>
#include <vector>

class QTextDocument;

// What the rich text writer needs of a document, taken on the GUI thread and rebuilt into a
// document of its own on any other. For flowing text (paragraphs, character formats, lists,
// pictures) it copies the raw text, the document's table of formats and, for each paragraph and
// each run of text, a few numbers: several times cheaper than cloning the document. A document
// with frames (tables) is cloned whole.
class TRecoverySnapshot
{
public:
    explicit TRecoverySnapshot(const QTextDocument &document);
    ~TRecoverySnapshot();
    TRecoverySnapshot(const TRecoverySnapshot &) = delete;
    TRecoverySnapshot &operator=(const TRecoverySnapshot &) = delete;

    // The document again, owned by the calling thread. Once only.
    std::unique_ptr<QTextDocument> Build();

private:
    // Positions count in the raw text; formats are indexes into FFormats.
    struct TBlock
    {
        int Format = 0;
        int CharFormat = 0;
        int List = -1;    // index into FLists
        int FirstRun = 0; // its runs are FRuns[FirstRun, next block's FirstRun)
    };
    struct TRun
    {
        int Position = 0;
        int Length = 0;
        int Format = 0;
    };

    QString FText;
    QList<QTextFormat> FFormats;
    std::vector<TBlock> FBlocks;
    std::vector<TRun> FRuns;
    std::vector<QTextListFormat> FLists;
    std::vector<std::pair<QUrl, QVariant>> FResources;
    QFont FDefaultFont;
    std::unique_ptr<QTextDocument> FClone;
    // Headers and footers the document keeps beside its text, which a save writes back.
    TRtfPageParts FPageParts;
};
