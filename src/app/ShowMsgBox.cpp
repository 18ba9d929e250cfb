#include "app/ShowMsgBox.h"

#include "app/TDialogForm.h"
#include "widgets/TDialogSeam.h"
#include "widgets/TOverrideCursor.h"

#include <QApplication>

namespace {
int Run(TDialogForm &form)
{
    // The arrow cursor while the box is up.
    const TOverrideCursor cursor(Qt::ArrowCursor);
    form.BeepIfWanted();
    return TDialogSeam::Exec(form);
}
} // namespace

QChar ShowMsgBox(const QString &Caption, QChar Icon, const QString &Message, const QString &Buttons)
{
    TDialogForm form(TMsgBoxSettings(), Caption, Icon, Message, Buttons,
                     TDialogForm::TMode::Message, QString(), QApplication::activeWindow());
    return form.ResultLetter(Run(form));
}

QChar ShowInputBox(const QString &Caption, QChar Icon, const QString &Message, QString &Text)
{
    TDialogForm form(TMsgBoxSettings(), Caption, Icon, Message, QString(),
                     TDialogForm::TMode::Input, Text, QApplication::activeWindow());
    const int result = Run(form);
    if (result == 1)
        Text = form.InputText();
    return form.ResultLetter(result);
}
