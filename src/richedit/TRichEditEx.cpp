#include "richedit/TRichEditEx.h"

TRichEditEx::TRichEditEx(QWidget *parent) : TCustomRichEditEx(parent) {}
