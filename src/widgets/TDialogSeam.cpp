#include "widgets/TDialogSeam.h"

#include <QDialog>
#include <QFileDialog>
#include <QFileSystemModel>

namespace {
TDialogSeam::Handler &CurrentHandler()
{
    static TDialogSeam::Handler handler;
    return handler;
}
// A file dialog that is kept for the next use watches its folder only while it is open: a
// closed one would otherwise look at the whole folder again for every file written there,
// such as the thousands of page files of a long preview.
class TFolderWatch
{
public:
    explicit TFolderWatch(QDialog &dialog)
    {
        if (qobject_cast<QFileDialog *>(&dialog))
            FModels = dialog.findChildren<QFileSystemModel *>();
        Watch(true);
    }
    ~TFolderWatch() { Watch(false); }
    TFolderWatch(const TFolderWatch &) = delete;
    TFolderWatch &operator=(const TFolderWatch &) = delete;

private:
    void Watch(bool on)
    {
        for (QFileSystemModel *model : std::as_const(FModels))
            model->setOption(QFileSystemModel::DontWatchForChanges, !on);
    }

    QList<QFileSystemModel *> FModels;
};
} // namespace

int TDialogSeam::Exec(QDialog &dialog)
{
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
