#include "widgets/TDialogSeam.h"

#include <QDialog>

namespace {
TDialogSeam::Handler &CurrentHandler()
{
    static TDialogSeam::Handler handler;
    return handler;
}
} // namespace

int TDialogSeam::Exec(QDialog &dialog)
{
    // Copy first: a handler may install another one while it runs.
    const Handler handler = CurrentHandler();
    if (handler)
        return handler(dialog);
    return dialog.exec();
}

void TDialogSeam::SetHandler(Handler handler)
{
    CurrentHandler() = std::move(handler);
}

bool TDialogSeam::HasHandler()
{
    return static_cast<bool>(CurrentHandler());
}
