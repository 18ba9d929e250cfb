#include "widgets/TDialogSeam.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QDialog>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QPointer>
#include <QWidget>

namespace {
TDialogSeam::Handler &CurrentHandler()
{
    static TDialogSeam::Handler handler;
    return handler;
}
// A file dialog that is kept for the next use watches its folder only while it is open: a
// closed one would otherwise look at the whole folder again for every file written there,
// such as the thousands of page files of a long preview. Opened again, it reads its folder
// afresh, so that it shows what changed meanwhile.
class TFolderWatch
{
public:
    explicit TFolderWatch(QDialog &dialog)
    {
        if (qobject_cast<QFileDialog *>(&dialog))
            FModels = dialog.findChildren<QFileSystemModel *>();
        for (QFileSystemModel *model : std::as_const(FModels)) {
            if (!model->testOption(QFileSystemModel::DontWatchForChanges))
                continue;
            model->setOption(QFileSystemModel::DontWatchForChanges, false);
            const QString folder = model->rootPath();
            model->setRootPath(QString());
            model->setRootPath(folder);
        }
    }
    ~TFolderWatch()
    {
        for (QFileSystemModel *model : std::as_const(FModels))
            model->setOption(QFileSystemModel::DontWatchForChanges, true);
    }
    TFolderWatch(const TFolderWatch &) = delete;
    TFolderWatch &operator=(const TFolderWatch &) = delete;

private:
    QList<QFileSystemModel *> FModels;
};

// After a dialog the window that was active is active again and its control that had the
// focus has it back. Without a window manager nobody else does that: the window would keep
// getting typed text but no shortcuts. A completer's popup goes with its dialog.
class TFocusReturn
{
public:
    explicit TFocusReturn(QDialog &dialog)
        : FDialog(&dialog), FWindow(QApplication::activeWindow()),
          FFocus(QApplication::focusWidget())
    {
    }
    ~TFocusReturn()
    {
        if (FDialog)
            for (QCompleter *completer : FDialog->findChildren<QCompleter *>())
                if (completer->popup())
                    completer->popup()->hide();
        if (!FWindow || FWindow == FDialog || !FWindow->isVisible())
            return;
        FWindow->activateWindow();
        if (FFocus && FFocus->window() == FWindow && FFocus->isVisible())
            FFocus->setFocus(Qt::ActiveWindowFocusReason);
    }
    TFocusReturn(const TFocusReturn &) = delete;
    TFocusReturn &operator=(const TFocusReturn &) = delete;

private:
    QPointer<QDialog> FDialog;
    QPointer<QWidget> FWindow;
    QPointer<QWidget> FFocus;
};
} // namespace

int TDialogSeam::Exec(QDialog &dialog)
{
    const TFocusReturn focusReturn(dialog);
    const TFolderWatch watch(dialog);
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
