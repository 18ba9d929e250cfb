#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// The about box: the program's name, maker, acknowledgements, version and memory figures.
class TAboutBox : public QDialog
{
    Q_OBJECT
public:
    explicit TAboutBox(QWidget *parent = nullptr);

    QLabel *ProgramIcon = nullptr;
    QLabel *ProductName = nullptr;
    QLabel *PhysMem = nullptr;
    QLabel *FreeRes = nullptr;
    QPushButton *OKButton = nullptr;

private:
    void FormCreate();
};
