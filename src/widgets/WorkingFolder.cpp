#include "widgets/WorkingFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

#include <sys/stat.h>
#include <unistd.h>

namespace WorkingFolder {

namespace {
bool CurrentFolderIsWritable()
{
    return IsWritable(QDir::currentPath());
}

void RemoveLeftoversIn(const QString &folder)
{
    const QDir dir(folder);
    static const QRegularExpression leftover(
        QStringLiteral("^(\\$\\$\\$|\\$\\$##|PreviewMetafile\\d+(\\.CPR)?)$"));
    const QStringList names = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names)
        if (leftover.match(name).hasMatch())
            QFile::remove(dir.filePath(name));
}
} // namespace

QString Path()
{
    return CurrentFolderIsWritable() ? QDir::currentPath() : UserFolder();
}

QString File(const QString &name)
{
    if (CurrentFolderIsWritable())
        return name;
    return QDir(UserFolder()).filePath(name);
}

std::string FileBytes(const char *name)
{
    return QFile::encodeName(File(QString::fromLatin1(name))).toStdString();
}

QString UserFolder()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    if (!QFileInfo::exists(folder) && QDir().mkpath(folder))
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return folder;
}

bool IsWritable(const QString &folder)
{
    const QByteArray path = QFile::encodeName(folder);
    struct stat info = {};
    if (::stat(path.constData(), &info) != 0 || !S_ISDIR(info.st_mode))
        return false;
    if (::access(path.constData(), W_OK | X_OK) != 0)
        return false;
    if (::geteuid() == 0)
        return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
    return true;
}

void RemoveLeftovers()
{
    if (CurrentFolderIsWritable())
        RemoveLeftoversIn(QDir::currentPath());
    RemoveLeftoversIn(UserFolder());
}

} // namespace WorkingFolder
