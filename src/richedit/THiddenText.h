#pragma once

#include <QObject>

class QTextBlock;
class QTextDocument;

// Keeps hidden text (\v) off the screen and the page. Qt has no invisible character format, so
// hidden runs are drawn transparent at a vanishing size through the display formats of the
// paragraph layouts; the document itself, and so its text and what is saved, stay as they are.
class THiddenText : public QObject
{
    Q_OBJECT

public:
    // Owned by the document; takes care of it at once.
    explicit THiddenText(QTextDocument *document);

    // Off while a whole document is built piece by piece (each piece would look at its whole
    // paragraph again); on again looks at every paragraph once.
    void SetActive(bool on);

private:
    void ContentsChange(int from, int removed, int added);
    // hidden: whether the document has hidden text at all.
    void UpdateBlock(const QTextBlock &block, bool hidden);

    QTextDocument *FDocument;
    bool FActive = true;
};
