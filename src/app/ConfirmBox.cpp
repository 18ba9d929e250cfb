#include "app/ConfirmBox.h"

#include "widgets/TDialogSeam.h"

#include <QAbstractButton>

QMessageBox::StandardButton AskYesNoCancel(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Confirm"), text,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent);
    box.setObjectName(QStringLiteral("ConfirmBox"));
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    box.button(QMessageBox::Yes)->setObjectName(QStringLiteral("Yes"));
    box.button(QMessageBox::No)->setObjectName(QStringLiteral("No"));
    box.button(QMessageBox::Cancel)->setObjectName(QStringLiteral("Cancel"));
    TDialogSeam::Exec(box);
    const QMessageBox::StandardButton answer = box.standardButton(box.clickedButton());
    return answer == QMessageBox::NoButton ? QMessageBox::Cancel : answer;
}
