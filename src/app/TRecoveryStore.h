#pragma once

#include "app/TPaneRules.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <memory>
#include <vector>

class QLockFile;

// A recovery copy left behind by an instance of the program that is no longer running.
struct TRecoveryCopy
{
    QString Instance;
    TPane Pane = TPane::Document;
    QString Name;   // the name the pane was known by: a file name, or "untitled"
    QDateTime Time; // when the text was taken
    QString File;   // the rich text
};

// The folder of recovery copies: one rich text copy of each modified pane of each running
// instance of the program, with a small description beside it (pane, name, time). Each
// instance holds a lock file while it runs, so that the copies of instances still running are
// told from those of instances that crashed or were killed.
//
// Write may be called from any one thread at a time; everything else belongs to the thread
// that made the store.
class TRecoveryStore
{
public:
    // The per-user folder under the application data location.
    static QString DefaultFolder();

    // Takes a name of its own in the folder (made if missing, readable by the user alone) and
    // locks it for as long as the store lives.
    explicit TRecoveryStore(const QString &folder = DefaultFolder());
    ~TRecoveryStore();
    TRecoveryStore(const TRecoveryStore &) = delete;
    TRecoveryStore &operator=(const TRecoveryStore &) = delete;

    const QString &Folder() const { return FFolder; }
    const QString &Instance() const { return FInstance; }
    // The instance runs with its lock held; false when the folder cannot be written.
    bool Locked() const;

    // Replaces this instance's copy of the pane, atomically. Returns an empty text, or what
    // went wrong.
    QString Write(TPane pane, const QByteArray &richText, const QString &name,
                  const QDateTime &time) const;
    // This instance's copy of the pane, or an empty name when there is none.
    QString CopyFile(TPane pane) const;
    void Remove(TPane pane) const;
    void RemoveAll() const;

    // The copies of instances that are no longer running, oldest first. Their locks are taken
    // until ReleaseOrphans, so that an instance started meanwhile does not offer them too.
    std::vector<TRecoveryCopy> TakeOrphans();
    // The copy becomes this instance's copy of the pane (replacing the one it had).
    void Adopt(const TRecoveryCopy &copy);
    void Discard(const TRecoveryCopy &copy) const;
    // Lets go of the orphans' locks; copies left in place are offered again next time.
    void ReleaseOrphans();

private:
    QString PathOf(const QString &instance, TPane pane, const QString &suffix) const;

    QString FFolder;
    QString FInstance;
    std::unique_ptr<QLockFile> FLock;
    std::vector<std::unique_ptr<QLockFile>> FOrphanLocks;
};
