#include "app/TRecoveryStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QSet>
#include <QStandardPaths>

#include <algorithm>

namespace {
const QString LockSuffix = QStringLiteral(".lock");
const QString CopySuffix = QStringLiteral(".rtf");
const QString InfoSuffix = QStringLiteral(".json");

QString PaneWord(TPane pane)
{
    return pane == TPane::Document ? QStringLiteral("document") : QStringLiteral("information");
}

QString NewInstanceName()
{
    return QStringLiteral("%1-%2")
        .arg(QCoreApplication::applicationPid())
        .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
}

// A lock that only a dead process gives up: the age of a lock file says nothing here, since an
// instance holds its lock for as long as it runs.
std::unique_ptr<QLockFile> TryLock(const QString &fileName)
{
    auto lock = std::make_unique<QLockFile>(fileName);
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0))
        return nullptr;
    return lock;
}

QString WriteAtomically(const QString &fileName, const QByteArray &bytes)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return file.errorString().isEmpty() ? fileName : file.errorString();
    return QString();
}
} // namespace

QString TRecoveryStore::DefaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
           QStringLiteral("/recovery");
}

TRecoveryStore::TRecoveryStore(const QString &folder) : FFolder(folder)
{
    QDir().mkpath(FFolder);
    // Copies of the user's documents are nobody else's business.
    QFile::setPermissions(FFolder,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const QDir dir(FFolder);
    for (int attempt = 0; attempt < 8 && !FLock; ++attempt) {
        FInstance = NewInstanceName();
        // A name still in use by the files of an instance gone long ago is not taken over.
        if (dir.entryList({FInstance + QStringLiteral(".*")}, QDir::Files).isEmpty())
            FLock = TryLock(dir.filePath(FInstance + LockSuffix));
    }
}

TRecoveryStore::~TRecoveryStore() = default;

bool TRecoveryStore::Locked() const
{
    return FLock && FLock->isLocked();
}

QString TRecoveryStore::PathOf(const QString &instance, TPane pane, const QString &suffix) const
{
    return FFolder + QLatin1Char('/') + instance + QLatin1Char('.') + PaneWord(pane) + suffix;
}

QString TRecoveryStore::Write(TPane pane, const QByteArray &richText, const QString &name,
                              const QDateTime &time) const
{
    QString error = WriteAtomically(PathOf(FInstance, pane, CopySuffix), richText);
    if (!error.isEmpty())
        return error;
    const QJsonObject info{{QStringLiteral("pane"), PaneWord(pane)},
                           {QStringLiteral("name"), name},
                           {QStringLiteral("time"), time.toString(Qt::ISODateWithMs)}};
    return WriteAtomically(PathOf(FInstance, pane, InfoSuffix), QJsonDocument(info).toJson());
}

QString TRecoveryStore::CopyFile(TPane pane) const
{
    const QString file = PathOf(FInstance, pane, CopySuffix);
    return QFileInfo::exists(file) ? file : QString();
}

void TRecoveryStore::Remove(TPane pane) const
{
    QFile::remove(PathOf(FInstance, pane, CopySuffix));
    QFile::remove(PathOf(FInstance, pane, InfoSuffix));
}

void TRecoveryStore::RemoveAll() const
{
    Remove(TPane::Document);
    Remove(TPane::Information);
}

std::vector<TRecoveryCopy> TRecoveryStore::TakeOrphans()
{
    const QDir folder(FFolder);
    QSet<QString> instances;
    // Lock files without copies are taken too, so that those of dead instances are cleared.
    const QStringList patterns{QLatin1Char('*') + CopySuffix, QLatin1Char('*') + LockSuffix};
    for (const QString &file : folder.entryList(patterns, QDir::Files))
        instances.insert(file.section(QLatin1Char('.'), 0, 0));
    instances.remove(FInstance);

    std::vector<TRecoveryCopy> copies;
    for (const QString &instance : instances) {
        auto lock = TryLock(folder.filePath(instance + LockSuffix));
        if (!lock)
            continue; // still running, or another instance is offering it right now
        FOrphanLocks.push_back(std::move(lock));
        for (const TPane pane : {TPane::Document, TPane::Information}) {
            TRecoveryCopy copy;
            copy.Instance = instance;
            copy.Pane = pane;
            copy.File = PathOf(instance, pane, CopySuffix);
            const QFileInfo rich(copy.File);
            if (!rich.exists())
                continue;
            QFile infoFile(PathOf(instance, pane, InfoSuffix));
            const QJsonObject info = infoFile.open(QIODevice::ReadOnly)
                                         ? QJsonDocument::fromJson(infoFile.readAll()).object()
                                         : QJsonObject();
            copy.Name = info.value(QStringLiteral("name")).toString(QStringLiteral("untitled"));
            copy.Time = QDateTime::fromString(info.value(QStringLiteral("time")).toString(),
                                              Qt::ISODateWithMs);
            if (!copy.Time.isValid())
                copy.Time = rich.lastModified();
            copies.push_back(copy);
        }
    }
    std::sort(copies.begin(), copies.end(),
              [](const TRecoveryCopy &a, const TRecoveryCopy &b) { return a.Time < b.Time; });
    return copies;
}

void TRecoveryStore::Adopt(const TRecoveryCopy &copy)
{
    Remove(copy.Pane);
    QFile::rename(copy.File, PathOf(FInstance, copy.Pane, CopySuffix));
    QFile::rename(PathOf(copy.Instance, copy.Pane, InfoSuffix),
                  PathOf(FInstance, copy.Pane, InfoSuffix));
}

void TRecoveryStore::Discard(const TRecoveryCopy &copy) const
{
    QFile::remove(copy.File);
    QFile::remove(PathOf(copy.Instance, copy.Pane, InfoSuffix));
}

void TRecoveryStore::ReleaseOrphans()
{
    // The lock files of instances whose copies are all gone go too.
    FOrphanLocks.clear();
}
