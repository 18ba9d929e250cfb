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

// The message of a failed file: the usual words and the file, then the system's reason.
std::string Failure(const char *words, const QString &fileName, const QFileDevice &file)
{
    return words + NativeName(fileName) + ": " + file.errorString().toStdString();
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
        throw EFileStreamError(Failure("Cannot write file ", fileName, file));
    const QByteArray old = file.readAll();
    if (file.error() == QFileDevice::NoError && file.seek(0) && WriteAll(file, data) &&
        file.resize(data.size()))
        return;
    const std::string failure = Failure("Cannot write file ", fileName, file);
    // Put the old content back as far as the file lets.
    if (file.seek(0) && WriteAll(file, old))
        file.resize(old.size());
    throw EFileStreamError(failure);
}

void SaveThroughTemporaryFile(const QString &fileName, const QByteArray &data)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw EFileStreamError(Failure("Cannot create file ", fileName, file));
    if (file.write(data) != data.size() || !file.commit())
        throw EFileStreamError(Failure("Cannot write file ", fileName, file));
}

// A device or pipe is written as it is: it has no old content to keep, and no file may take
// its place.
void SaveToDevice(const QString &fileName, const QByteArray &data)
{
    QFile device(fileName);
    if (!device.open(QIODevice::WriteOnly | QIODevice::Unbuffered) || !WriteAll(device, data))
        throw EFileStreamError(Failure("Cannot write file ", fileName, device));
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
    if (target.exists() && !target.isDir() && !target.isFile())
        SaveToDevice(fileName, data);
    else if (target.exists() && !target.isDir() && !MayWrite(QFileInfo(target.absolutePath())))
        SaveInPlace(fileName, data);
    else
        SaveThroughTemporaryFile(fileName, data);
}
