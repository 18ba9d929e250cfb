#pragma once

#include "richedit/TInsertObjectRequest.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The insert-object dialog: a file, whether it is embedded or linked, and whether it is shown
// as an icon. It only chooses; the control creates the object. It opens centred horizontally
// on the screen with a third of the free height above it.
class TInsertObjectDialog : public QDialog
{
    Q_OBJECT

public:
    // The runner shows the file dialog of "Browse..." (TDialogSeam::Exec).
    explicit TInsertObjectDialog(QWidget *parent, std::function<int(QDialog &)> runner);

    TInsertObjectRequest Request() const;
    void SetRequest(const TInsertObjectRequest &request);

    // Where the dialog goes on a screen: x = (free width) div 2, y = (free height) div 3.
    static QPoint Placement(const QRect &screen, const QSize &window);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void Browse();
    void UpdateButtons();

    QLineEdit *FFile = nullptr;
    QRadioButton *FEmbed = nullptr;
    QRadioButton *FLink = nullptr;
    QCheckBox *FIcon = nullptr;
    QPushButton *FOk = nullptr;
    std::function<int(QDialog &)> FRunner;
};
