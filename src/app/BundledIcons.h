#pragma once

#include <QColor>
#include <QIcon>
#include <QString>

// Icons drawn for the program and carried in its resources (":/icons/<name>.svg"), so that they
// show on any desktop, with or without an icon theme. An unknown name gives a null icon.
QIcon BundledIcon(const QString &name);

// The colour button's icon: a letter over a bar in the given colour.
QIcon ColourIcon(const QColor &colour);
