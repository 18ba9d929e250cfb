#pragma once

#include <QDialog>

class QPushButton;
class TVertScrollText;

// The credits window: acknowledgements scrolling upwards, and an "Ok" button.
class TForm2 : public QDialog
{
    Q_OBJECT
public:
    explicit TForm2(QWidget *parent = nullptr);

    // The 31 lines of the credits text.
    static QStringList CreditLines();

    TVertScrollText *VertScrollText1 = nullptr;
    QPushButton *Button1 = nullptr;
};
