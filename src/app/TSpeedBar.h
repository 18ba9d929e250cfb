#pragma once

#include <QFrame>

class QToolButton;

// The tool bar panel at the top of the main window. Its controls sit at fixed positions, so the
// formatting controls can be placed beside the buttons made here (from left 274 on).
class TSpeedBar : public QFrame
{
    Q_OBJECT
public:
    explicit TSpeedBar(QWidget *parent);

    // Adds a 25 x 25 button (or wider) at a fixed left position, vertically centred, showing
    // the bundled icon of that name (see BundledIcon).
    QToolButton *AddButton(const char *name, int left, const QString &hint, const char *icon,
                           const QString &caption = QString(), int width = 25);

    QToolButton *OpenButton = nullptr;
    QToolButton *SaveButton = nullptr;
    QToolButton *PrintButton = nullptr;
    QToolButton *SpeedButton2 = nullptr;
    QToolButton *PrintPreviewbutton = nullptr;
    QToolButton *SpeedButton3 = nullptr;
    QToolButton *UndoButton = nullptr;
    QToolButton *CutButton = nullptr;
    QToolButton *CopyButton = nullptr;
    QToolButton *PasteButton = nullptr;
    QToolButton *CRLFButton = nullptr;
};
