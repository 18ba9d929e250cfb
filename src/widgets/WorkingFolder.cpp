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
// Nobody but the user can put a file or a link into the folder: it is the user's, and neither
// others nor a group other than the user's own may write there. In a shared folder (/tmp) another
// user could plant "$$$" as a link to one of the user's files, or read what the merge writes.
bool IsPrivate(const QString &folder)
{
    struct stat info = {};
    if (::stat(QFile::encodeName(folder).constData(), &info) != 0)
        return false;
    if (info.st_uid != ::geteuid() || (info.st_mode & S_IWOTH) != 0)
        return false;
    return (info.st_mode & S_IWGRP) == 0 || info.st_gid == ::getegid();
}

bool CurrentFolderIsWritable()
{
    const QString current = QDir::currentPath();
    return IsWritable(current) && IsPrivate(current);
}

enum class TEntry { Free, Foreign };

// Makes the place of a working file safe to write: a symbolic link there is removed (the
// working file is never written through one), a regular file of the user's stays to be
// replaced, and anything else (a file of another user, a folder, a device) is Foreign.
TEntry Prepare(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat info = {};
    if (::lstat(name.constData(), &info) != 0)
        return TEntry::Free;
    if (S_ISLNK(info.st_mode))
        return ::unlink(name.constData()) == 0 ? TEntry::Free : TEntry::Foreign;
    if (S_ISREG(info.st_mode) && info.st_uid == ::geteuid())
        return TEntry::Free;
    return TEntry::Foreign;
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
    if (CurrentFolderIsWritable() && Prepare(name) == TEntry::Free)
        return name;
    const QString path = QDir(UserFolder()).filePath(name);
    Prepare(path);
    return path;
}

std::string FileBytes(const char *name)
{
    return QFile::encodeName(File(QString::fromLatin1(name))).toStdString();
}

QString UserFolder()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    if (!QFileInfo::exists(folder))
        QDir().mkpath(folder);
    // The user's alone, also when it was made by something else.
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
