#pragma once

#include <QSyntaxHighlighter>

class QTextDocument;

// Keeps hidden text (\v) off the screen and the page. Qt has no invisible character format, so
// hidden runs are drawn transparent at a vanishing size through the layout's display formats;
// the document itself, and so its text and what is saved, stay as they are.
class THiddenText : public QSyntaxHighlighter
{
    Q_OBJECT

public:
    // Takes care of the document at once, without waiting for the event loop.
    explicit THiddenText(QTextDocument *document);

    // Off while a whole document is built piece by piece (each piece would look at its whole
    // paragraph again); on again looks at every paragraph once.
    void SetActive(bool on);

protected:
    void highlightBlock(const QString &text) override;

private:
    QTextDocument *FDocument;
};
