#pragma once

#include "richedit/RichEditTypes.h"

#include <QString>

#include <string>

class QTextEdit;
class TTextAttributesEx;

// What the parts of a rich text control (its attribute objects, embedded objects and URL
// detection) need of the control, so that they depend on this and not on the control's class.
// TCustomRichEditEx implements it; positions, texts and 8-bit conversions are the control's.
class TRichEditHost
{
public:
    // The control's widget: its document, cursor, viewport and scroll bars.
    virtual QTextEdit &Editor() = 0;
    virtual const QTextEdit &Editor() const = 0;

    virtual int TextLength() const = 0;
    // The characters [cpMin, cpMax) in UTF-16 and 8-bit; cpMax -1 means to the end.
    virtual QString WideTextRange(int cpMin, int cpMax) const = 0;
    virtual std::string TextRange(int cpMin, int cpMax) const = 0;
    virtual int SelectionStart() const = 0;
    virtual void Select(int cpMin, int cpMax) = 0;
    virtual int FirstVisibleLine() const = 0;
    // Off: no repaint until it is switched on again.
    virtual void SetRedraw(bool on) = 0;

    virtual QString ToWide(const std::string &text) const = 0;
    virtual std::string ToAnsi(const QString &text) const = 0;
    virtual int Language() const = 0;

    virtual bool WordFormatting() const = 0;
    virtual TAutoURLDetect AutoURLDetect() const = 0;
    virtual bool AutoVerbMenu() const = 0;
    virtual TTextAttributesEx &SelectionAttributes() = 0;

    // Format-only changes between these calls raise no OnChange.
    virtual void BeginFormatChange() = 0;
    virtual void EndFormatChange() = 0;

    // The handlers of OnChange and OnSelectionChange, for parts that take them away for a while.
    virtual TNotifyEvent &ChangeEvent() = 0;
    virtual TNotifyEvent &SelectionChangeEvent() = 0;
    // Raise OnURLMove and OnURLClick with the control as sender.
    virtual void URLMoved(const std::string &url) = 0;
    virtual void URLClicked(const std::string &url) = 0;

protected:
    TRichEditHost() = default;
    ~TRichEditHost() = default;
    TRichEditHost(const TRichEditHost &) = delete;
    TRichEditHost &operator=(const TRichEditHost &) = delete;
};
