#pragma once

#include <QStringList>

class QWidget;
class TBalloon;
class TMainMenu;
class TMRUFileList;
class TTipDialog;

// The main window's auxiliary components, named as in the window definition.
struct TAuxiliaryComponents
{
    TMRUFileList *MRUFiles1 = nullptr; // information files
    TMRUFileList *MRUFiles2 = nullptr; // templates
    TBalloon *Balloon1 = nullptr;
    TTipDialog *TipDialog1 = nullptr;
};

// The auxiliary components as the window definition configures them: the two recently used
// lists under the "Document Assembly" items (information files in "MRU Items", templates in
// "MRU Items2"), the balloon of the heading hints and the tip of the day with its embedded tips.
// Needs the window's menu; the components are children of the window and save what they keep
// when the window is freed. What a list's entry does is the window's to connect.
TAuxiliaryComponents CreateAuxiliaryComponents(QWidget &window, const TMainMenu &menu);

// The tips of "Help" / "Tip of the Day", in order.
QStringList TipsOfTheDay();
