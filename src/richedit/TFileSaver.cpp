#include "richedit/TFileSaver.h"

#include "richedit/EFileStreamError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {
std::string NativeName(const QString &fileName)
{
    return QDir::toNativeSeparators(fileName).toStdString();
}

bool MayWrite(const QFileInfo &info)
{
    constexpr QFile::Permissions AnyWrite =
        QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    return info.isWritable() && (info.permissions() & AnyWrite);
}

bool WriteAll(QFile &file, const QByteArray &data)
{
    return file.write(data) == data.size() && file.flush();
}

void SaveInPlace(const QString &fileName, const QByteArray &data)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadWrite))
        throw EFileStreamError("Cannot write file " + NativeName(fileName));
    const QByteArray old = file.readAll();
    if (file.error() == QFileDevice::NoError && file.seek(0) && WriteAll(file, data) &&
        file.resize(data.size()))
        return;
    // Put the old content back as far as the file lets.
    if (file.seek(0) && WriteAll(file, old))
        file.resize(old.size());
    throw EFileStreamError("Cannot write file " + NativeName(fileName));
}

void SaveThroughTemporaryFile(const QString &fileName, const QByteArray &data)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw EFileStreamError("Cannot create file " + NativeName(fileName));
    if (file.write(data) != data.size() || !file.commit())
        throw EFileStreamError("Cannot write file " + NativeName(fileName));
}
} // namespace

void TFileSaver::RefuseReadOnly(const QString &fileName)
{
    const QFileInfo target(fileName);
    if (target.exists() && !target.isDir() && !MayWrite(target))
        throw EFileStreamError("Cannot write file " + NativeName(fileName) + ": it is read-only");
}

void TFileSaver::Save(const QString &fileName, const QByteArray &data)
{
    RefuseReadOnly(fileName);
    const QFileInfo target(fileName);
    if (target.exists() && !target.isDir() && !MayWrite(QFileInfo(target.absolutePath())))
        SaveInPlace(fileName, data);
    else
        SaveThroughTemporaryFile(fileName, data);
}
