#pragma once

#include <QAction>

class TMRUFileList;

// A menu entry of a recently used list: knows its list, its position in it and its full text.
// The list makes its entries and is their parent, so an entry never outlives it.
class TMRUMenuItem : public QAction
{
    Q_OBJECT
public:
    TMRUMenuItem(TMRUFileList *list, int itemNumber, const QString &fullCaption);
    // Emits Destroying.
    ~TMRUMenuItem() override;

    TMRUFileList *List() const { return FList; }
    // Position of the entry in the list, counted from 1.
    int ItemNumber() const { return FItemNumber; }
    // Accelerator prefix followed by the path.
    QString FullCaption() const { return FFullCaption; }

signals:
    // The entry is about to go, still whole, so that its list can report it.
    void Destroying(TMRUMenuItem *item);

private:
    TMRUFileList *FList;
    int FItemNumber;
    QString FFullCaption;
};
