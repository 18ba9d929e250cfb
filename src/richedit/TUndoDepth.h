#pragma once

#include <QObject>

class QTextDocument;

// The undo depth of a document. Qt's undo stack has no depth of its own: with a limit the
// steps past it stay in Qt's history but are no longer offered, so at most the limit can be
// taken back in a row.
class TUndoDepth : public QObject
{
    Q_OBJECT

public:
    explicit TUndoDepth(QTextDocument &document, QObject *parent = nullptr);

    // n > 0: at most n steps; 0: no undo at all (the history is dropped); n < 0: no limit,
    // which is also where a new control starts.
    void SetLimit(int n);
    int Limit() const { return FLimit; }
    // Whether the document should keep a history at all.
    bool Enabled() const { return FLimit != 0; }

    bool CanUndo() const;
    bool CanRedo() const;
    // Counts one undo (redo) about to be made; false when none is offered.
    bool TakeUndo();
    bool TakeRedo();

private:
    void StepAdded();

    QTextDocument &FDocument;
    int FLimit = -1;
    int FUndoSteps = 0; // offered undo steps, at most FLimit
    int FRedoSteps = 0;
};
