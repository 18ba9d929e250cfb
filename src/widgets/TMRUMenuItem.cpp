#include "widgets/TMRUMenuItem.h"

#include "widgets/TMRUFileList.h"

TMRUMenuItem::TMRUMenuItem(TMRUFileList *list, int itemNumber, const QString &fullCaption)
    : QAction(list), FList(list), FItemNumber(itemNumber), FFullCaption(fullCaption)
{
}

TMRUMenuItem::~TMRUMenuItem()
{
    if (FList)
        FList->ItemDestroyed(this);
}
