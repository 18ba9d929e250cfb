#include "widgets/TMRUMenuItem.h"

TMRUMenuItem::TMRUMenuItem(TMRUFileList *list, int itemNumber, const QString &fullCaption)
    : FList(list), FItemNumber(itemNumber), FFullCaption(fullCaption)
{
}

TMRUMenuItem::~TMRUMenuItem()
{
    emit Destroying(this);
}
