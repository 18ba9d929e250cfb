#include "app/ShowMsgBox.h"

#include "app/TDialogForm.h"
#include "widgets/TDialogSeam.h"

#include <QApplication>
#include <QCursor>

namespace {
// The arrow cursor while the box is up; the previous cursor comes back however the box ends.
class TArrowCursor
{
public:
    TArrowCursor() { QApplication::setOverrideCursor(QCursor(Qt::ArrowCursor)); }
    ~TArrowCursor() { QApplication::restoreOverrideCursor(); }
    TArrowCursor(const TArrowCursor &) = delete;
    TArrowCursor &operator=(const TArrowCursor &) = delete;
};

int Run(TDialogForm &form)
{
    const TArrowCursor cursor;
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
