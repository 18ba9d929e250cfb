#pragma once

#include <QAction>
#include <QPointer>

class TMRUFileList;

// A menu entry of a recently used list: knows its list, its position in it and its full text.
class TMRUMenuItem : public QAction
{
    Q_OBJECT
public:
    TMRUMenuItem(TMRUFileList *list, int itemNumber, const QString &fullCaption);
    ~TMRUMenuItem() override;

    TMRUFileList *List() const { return FList; }
    // Position of the entry in the list, counted from 1.
    int ItemNumber() const { return FItemNumber; }
    // Accelerator prefix followed by the path.
    QString FullCaption() const { return FFullCaption; }

private:
    QPointer<TMRUFileList> FList;
    int FItemNumber;
    QString FFullCaption;
};
