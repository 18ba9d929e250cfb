#pragma once

class QWidget;

// The two stacked panes of the main window.
enum class TPane { Document, Information };

// Which pane a command acts on. The panes lie on top of each other and one is shown at a time;
// every command of the window picks its pane through one of these rules.
class TPaneRules
{
public:
    TPaneRules(QWidget &document, QWidget &information);

    // Document first: the document pane if it is the window's active control, has the keyboard
    // focus or is shown; otherwise the information pane. Save, Save As, Cut, Copy, pane switch.
    TPane RuleA() const;
    // Information first: the information pane if it has the keyboard focus or is shown;
    // otherwise the document pane. Save question, line-ending display.
    TPane RuleB() const;
    // The document pane if it has the keyboard focus or is shown; otherwise the information
    // pane. Find and Replace.
    TPane RuleC() const;
    // Paste: the document pane if it is the window's active control; otherwise the information
    // pane.
    TPane PasteRule() const;

    // Shows one pane and hides the other (the other is hidden first).
    void Show(TPane pane);
    // Shows one pane, hides the other and gives the shown one the keyboard focus.
    void ShowAndFocus(TPane pane);

    QWidget &Widget(TPane pane) const;
    static TPane Other(TPane pane);

    // The pane is the control that has (or last had) the focus inside its window.
    static bool IsActiveControl(const QWidget &pane);
    static bool HasKeyboardFocus(const QWidget &pane);
    // Flagged visible: not hidden by a command, whether or not the window is on screen yet.
    static bool IsShown(const QWidget &pane);

private:
    QWidget &FDocument;
    QWidget &FInformation;
};
