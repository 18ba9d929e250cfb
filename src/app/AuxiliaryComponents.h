#pragma once

#include <QStringList>

class TMainForm;

// The main window's auxiliary components as its window definition configures them: the two
// recently used lists under the "Document Assembly" items (information files in "MRU Items",
// templates in "MRU Items2"), the balloon of the heading hints and the tip of the day with its
// embedded tips. Needs the window's menu; the components are children of the window and save
// what they keep when the window is freed.
void CreateAuxiliaryComponents(TMainForm &form);

// The tips of "Help" / "Tip of the Day", in order.
QStringList TipsOfTheDay();
