#pragma once

#include <QWidget>

class QLabel;

// Shows what the printer component is doing while it prints or paginates a preview. It has no
// logic of its own: the printer creates, fills, shows and frees it.
class TRichPrntProgDlg : public QWidget
{
    Q_OBJECT
public:
    explicit TRichPrntProgDlg(QWidget *parent = nullptr);

    QLabel *lblStatus = nullptr;
    QLabel *lblTitle = nullptr;
    QLabel *lblPageNumDesc = nullptr;
    QLabel *lblPageNumber = nullptr;
};
