#pragma once

#include "richedit/TCustomRichEditEx.h"

// The rich text control of the editor panes. All behaviour is in TCustomRichEditEx; this class
// is what the main window places.
class TRichEditEx : public TCustomRichEditEx
{
    Q_OBJECT

public:
    explicit TRichEditEx(QWidget *parent = nullptr);
};
