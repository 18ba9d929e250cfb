#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>

#include <optional>

// How every message box looks. The program keeps the defaults; the builder takes them as a
// value so that other looks can be tried without changing the program's.
struct TMsgBoxSettings
{
    QString PictureFileName;           // a picture shown at the right; empty: none
    QString DefaultCaption;            // used when a caller passes no caption
    std::optional<QFont> FontOverride; // instead of the bold 11-pixel sans-serif font
    QColor TextColor = QColor(0, 0, 0);
    QColor DialogColor = QColor(0xC0, 0xC0, 0xC0);
    QColor ButtonTextColor = QColor(0, 0, 0);
    bool BeepOnShow = true;
    QRect WorkArea; // empty: the whole primary screen
};
