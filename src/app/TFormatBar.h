#pragma once

#include "app/TRuler.h"

#include <QObject>
#include <QPointer>

#include <functional>

class QColorDialog;
class QComboBox;
class QFontDialog;
class QLineEdit;
class QPushButton;
class QToolButton;
class QWidget;
class TRichEditEx;
class TTextAttributesEx;

// The formatting controls of the main window's tool bar (font name and size, bold, italic,
// underline, colour, alignment, bullets), the "&Font..." command and the ruler's refresh. They
// act on the document pane only; SelectionChange brings them back in line with it.
//
// The controls are placed on the tool bar panel given at construction, at their fixed positions.
class TFormatBar : public QObject
{
    Q_OBJECT
public:
    TFormatBar(QWidget &speedBar, TRichEditEx &pane, TRuler &ruler);
    ~TFormatBar() override;

    // The character format a formatting command changes: the selection's when at least one
    // character is selected, otherwise the format of new typing.
    TTextAttributesEx &CurrentAttributes() const;

    // Refreshes every control and the ruler's markers from the document pane.
    void SelectionChange();
    // Fills the font name box with the installed fonts, sorted.
    void FillFontNameBox();
    // Sets the ruler's tab bars.
    void InitRulerTabs();

    // Handlers; each does nothing while the tool bar is being refreshed.
    void FontNameChange();
    // Throws "'<text>' is not a valid integer value" for a text that is not an integer.
    void FontSizeChange();
    void BoldButtonClick();
    void ItalicButtonClick();
    void UnderlineButtonClick();
    void colorbuttonClick();
    void AlignButtonClick(QToolButton &sender);
    void BulletsButtonClick();
    // "&Font...": the font dialog for the selection; the pane gets the focus afterwards.
    void SelectFont();

    // Runs a handler started by the user; failures must reach the application's error display.
    // The default shows the message in a message box.
    std::function<void(const std::function<void()> &)> RunCommand;

    QComboBox *FontName = nullptr;
    QLineEdit *FontSize = nullptr;
    QWidget *UpDown1 = nullptr;
    QToolButton *BoldButton = nullptr;
    QToolButton *ItalicButton = nullptr;
    QToolButton *UnderlineButton = nullptr;
    QPushButton *colorbutton = nullptr;
    QLineEdit *Edit1 = nullptr;
    QToolButton *LeftAlign = nullptr;
    QToolButton *CenterAlign = nullptr;
    QToolButton *RightAlign = nullptr;
    QToolButton *BulletsButton = nullptr;
    QColorDialog *CD = nullptr;
    QFontDialog *FontDialog1 = nullptr;

    bool FRefreshingToolbar = false;

    // Range of the up-down buttons bound to FontSize.
    static constexpr int UpDownMin = 0;
    static constexpr int UpDownMax = 100;

private:
    QToolButton *AddToggle(QWidget &bar, const char *name, int left, const QString &hint, int group,
                           const QString &glyph);
    // Down, releasing the other buttons of its group.
    void SetDown(QToolButton &button);
    void StepUpDown(int delta);
    void Run(const std::function<void()> &handler);

    TRichEditEx &FPane;
    TRuler &FRuler;
    QPointer<TRuler> FRulerAlive;
    int FUpDownPosition = 0;
};
