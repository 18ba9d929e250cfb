#pragma once

class QFileDialog;

// Gives the detail view of a file dialog drawn by Qt room for its Size, Type and Date
// Modified columns, measured with the dialog's font, so that they are not cut off; the name
// column takes the rest. Nothing happens to a dialog that the desktop draws.
void FitFileDialogColumns(QFileDialog &dialog);
