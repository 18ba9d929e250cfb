#include "richedit/TUndoDepth.h"

#include <QTextDocument>

TUndoDepth::TUndoDepth(QTextDocument &document, QObject *parent)
    : QObject(parent), FDocument(document)
{
    // Qt announces one step per edit block or unmerged edit, which is what one Undo takes back.
    connect(&FDocument, &QTextDocument::undoCommandAdded, this, &TUndoDepth::StepAdded);
    // A cleared history (loads, edits the history cannot know) starts the count again.
    connect(&FDocument, &QTextDocument::undoAvailable, this, [this](bool available) {
        if (!available)
            FUndoSteps = 0;
    });
    connect(&FDocument, &QTextDocument::redoAvailable, this, [this](bool available) {
        if (!available)
            FRedoSteps = 0;
    });
}

void TUndoDepth::SetLimit(int n)
{
    FLimit = n;
    FDocument.setUndoRedoEnabled(Enabled());
    if (FLimit > 0 && FUndoSteps > FLimit)
        FUndoSteps = FLimit;
}

void TUndoDepth::StepAdded()
{
    FRedoSteps = 0;
    if (FLimit < 0 || FUndoSteps < FLimit)
        ++FUndoSteps;
}

bool TUndoDepth::CanUndo() const
{
    return FDocument.isUndoAvailable() && (FLimit < 0 || FUndoSteps > 0);
}

bool TUndoDepth::CanRedo() const
{
    return FDocument.isRedoAvailable() && (FLimit < 0 || FRedoSteps > 0);
}

bool TUndoDepth::TakeUndo()
{
    if (!CanUndo())
        return false;
    --FUndoSteps;
    ++FRedoSteps;
    return true;
}

bool TUndoDepth::TakeRedo()
{
    if (!CanRedo())
        return false;
    --FRedoSteps;
    ++FUndoSteps;
    return true;
}
