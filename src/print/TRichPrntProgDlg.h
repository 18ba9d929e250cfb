#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

// Shows what the printer component is doing while it prints or paginates a preview, and
// offers to stop it. It has no logic of its own: the printer creates, fills, shows and frees
// it. While it is up, the program's other windows take no input.
class TRichPrntProgDlg : public QWidget
{
    Q_OBJECT
public:
    explicit TRichPrntProgDlg(QWidget *parent = nullptr);

    QLabel *lblStatus = nullptr;
    QLabel *lblTitle = nullptr;
    QLabel *lblPageNumDesc = nullptr;
    QLabel *lblPageNumber = nullptr;
    QPushButton *btnCancel = nullptr;

protected:
    void keyPressEvent(QKeyEvent *event) override;
};
