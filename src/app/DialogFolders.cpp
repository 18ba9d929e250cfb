#include "app/DialogFolders.h"

#include "widgets/SettingsStore.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace DialogFolders {

namespace {
const char *const LastFolderKey = "Dialogs/LastFolder";

bool IsFolder(const QString &path)
{
    return !path.isEmpty() && QFileInfo(path).isDir();
}
} // namespace

QString StartFolder()
{
    const QString last =
        SettingsStore::Open(TRegRoot::CURRENT_USER)->value(QLatin1String(LastFolderKey)).toString();
    if (IsFolder(last))
        return last;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return IsFolder(documents) ? documents : QDir::homePath();
}

void Remember(const QString &chosenFile)
{
    if (chosenFile.isEmpty())
        return;
    SettingsStore::Open(TRegRoot::CURRENT_USER)
        ->setValue(QLatin1String(LastFolderKey), QFileInfo(chosenFile).absolutePath());
}

} // namespace DialogFolders
