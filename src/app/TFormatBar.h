#pragma once

#include "app/TRuler.h"

#include <QObject>
#include <QPointer>

#include <functional>

class QAction;
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
// The font name and size boxes apply what the user picks from their lists (also the entry they
// already show) and what is typed into them once it is complete: on Enter or when the box is
// left. Ctrl+B, Ctrl+I and Ctrl+U press the style buttons while the document pane or the tool bar
// has the focus.
class TFormatBar : public QObject
{
    Q_OBJECT
public:
    TFormatBar(QWidget &speedBar, TRichEditEx &pane, TRuler &ruler);
    ~TFormatBar() override;

    // The character format a formatting command changes: the selection's when at least one
    // character is selected, otherwise the format of new typing.
    TTextAttributesEx &CurrentAttributes() const;

    // Refreshes every control and the ruler's markers from the document pane now. Controls that
    // already show the pane's format are left alone.
    void SelectionChange();
    // Asks for SelectionChange at the next turn of the event loop; any number of requests in one
    // turn (a keystroke changes the text and moves the caret) give one refresh.
    void ScheduleRefresh();
    // Runs a requested refresh now, so that a control acts on what the pane shows.
    void FlushRefresh();
    // Fills the font name box with the installed fonts, sorted.
    void FillFontNameBox();
    // Sets the ruler's tab bars.
    void InitRulerTabs();

    // Handlers; each does nothing while the tool bar is being refreshed.
    // The font typed into the name box, when it names an entry of the list; otherwise the box
    // shows the pane's font again.
    void FontNameChange();
    // The size typed into the size box, a whole number of points from 1 to MaxFontSize;
    // anything else (an empty box, 0) is not applied and the box shows the pane's size again.
    void FontSizeChange();
    // The entry picked from a list.
    void FontNameChosen(int index);
    void FontSizeChosen(int index);
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
    // Editable, with the common sizes as its list.
    QComboBox *FontSize = nullptr;
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
    // Ctrl+B, Ctrl+I, Ctrl+U.
    QAction *BoldAction = nullptr;
    QAction *ItalicAction = nullptr;
    QAction *UnderlineAction = nullptr;

    bool FRefreshingToolbar = false;

    // The largest size in points a character format holds.
    static constexpr int MaxFontSize = 1638;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void CreateFontBoxes(QWidget &bar);
    // An editable box whose list entries go to chosen and whose typed text goes to typed;
    // edited is set while the user types into it.
    QComboBox *AddBox(QWidget &bar, const char *name, int left, int width,
                      void (TFormatBar::*chosen)(int), void (TFormatBar::*typed)(), bool &edited);
    void CreateStyleButtons(QWidget &bar);
    void CreateParagraphButtons(QWidget &bar);
    QToolButton *AddToggle(QWidget &bar, const char *name, int left, const QString &hint, int group,
                           const char *icon);
    QAction *AddShortcut(QToolButton &button, const QKeySequence &key);
    // Down, releasing the other buttons of its group.
    void SetDown(QToolButton &button);
    void SetChecked(QToolButton &button, bool down);
    void ShowFontName(const QString &name);
    void ShowFontSize(int size);
    // Selects the entry of that text (case aside), or shows the text without an entry.
    static void ShowInBox(QComboBox &box, const QString &text);
    // Runs a handler, then refreshes the controls from the pane.
    void Run(const std::function<void()> &handler);
    void ApplyFontName(const QString &name);
    void ApplyFontSize(int size);

    // What a box applied last, to which selection, after how many changes of the pane. Enter in
    // a box is reported several times (return, activation, end of editing): a commit that
    // repeats the last one, with nothing changed since, would change nothing and is skipped.
    struct TBoxCommit
    {
        QString Value;
        int Start = -1;
        int Length = -1;
        quint64 Changes = 0;
    };
    bool RepeatsLastCommit(const TBoxCommit &last, const QString &value) const;
    void RememberCommit(TBoxCommit &last, const QString &value) const;

    TRichEditEx &FPane;
    TRuler &FRuler;
    QPointer<TRuler> FRulerAlive;
    bool FRefreshPending = false;
    // The user typed into the box since it last showed the pane's format.
    bool FFontNameEdited = false;
    bool FFontSizeEdited = false;
    TBoxCommit FLastNameCommit;
    TBoxCommit FLastSizeCommit;
    // Changes of the text, its format or the caret.
    quint64 FPaneChanges = 0;
};
