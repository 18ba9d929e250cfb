#include "widgets/ProgramData.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString ProgramDataFile(const QString &name)
{
    const QDir programFolder(QCoreApplication::applicationDirPath());
    const QString beside = programFolder.filePath(name);
    if (QFileInfo::exists(beside))
        return beside;
    const QString installed =
        QDir::cleanPath(programFolder.filePath(QStringLiteral("../share/zarvel/") + name));
    return QFileInfo::exists(installed) ? installed : beside;
}
