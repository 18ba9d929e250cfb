#pragma once

#include <QString>

class QAction;
class QWidget;

// A hint is "short|long": the short part is the tool tip, the long part goes to the hint panel.
// A hint without a bar is both.
QString ShortHint(const QString &hint);
QString LongHint(const QString &hint);

void SetHint(QWidget &widget, const QString &hint);
void SetHint(QAction &action, const QString &hint);
