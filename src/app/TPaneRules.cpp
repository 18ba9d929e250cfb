#include "app/TPaneRules.h"

#include <QApplication>
#include <QWidget>

namespace {
bool IsSelfOrInside(const QWidget &pane, const QWidget *widget)
{
    return widget && (widget == &pane || pane.isAncestorOf(widget));
}
} // namespace

TPaneRules::TPaneRules(QWidget &document, QWidget &information)
    : FDocument(document), FInformation(information)
{
}

TPane TPaneRules::RuleA() const
{
    if (IsActiveControl(FDocument) || HasKeyboardFocus(FDocument) || IsShown(FDocument))
        return TPane::Document;
    return TPane::Information;
}

TPane TPaneRules::RuleB() const
{
    if (HasKeyboardFocus(FInformation) || IsShown(FInformation))
        return TPane::Information;
    return TPane::Document;
}

TPane TPaneRules::RuleC() const
{
    if (HasKeyboardFocus(FDocument) || IsShown(FDocument))
        return TPane::Document;
    return TPane::Information;
}

TPane TPaneRules::PasteRule() const
{
    return IsActiveControl(FDocument) ? TPane::Document : TPane::Information;
}

void TPaneRules::Show(TPane pane)
{
    QWidget &other = Widget(Other(pane));
    // A hidden pane stops being the window's active control, as it would on screen.
    if (IsActiveControl(other))
        other.clearFocus();
    other.hide();
    Widget(pane).show();
}

void TPaneRules::ShowAndFocus(TPane pane)
{
    Show(pane);
    Widget(pane).setFocus(Qt::OtherFocusReason);
}

QWidget &TPaneRules::Widget(TPane pane) const
{
    return pane == TPane::Document ? FDocument : FInformation;
}

TPane TPaneRules::Other(TPane pane)
{
    return pane == TPane::Document ? TPane::Information : TPane::Document;
}

bool TPaneRules::IsActiveControl(const QWidget &pane)
{
    const QWidget *window = pane.window();
    return window && IsSelfOrInside(pane, window->focusWidget());
}

bool TPaneRules::HasKeyboardFocus(const QWidget &pane)
{
    return IsSelfOrInside(pane, QApplication::focusWidget());
}

bool TPaneRules::IsShown(const QWidget &pane)
{
    return !pane.isHidden();
}
