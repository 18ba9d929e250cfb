#pragma once

#include "app/TPaneRules.h"
#include "app/TRecoveryStore.h"

#include <QElapsedTimer>
#include <QObject>
#include <QThread>
#include <QTimer>

#include <array>
#include <functional>
#include <memory>

class TRecoverySnapshot;
class TRichEditEx;

// Keeps a recovery copy of each modified pane, so that a crash, a killed process or a power
// cut costs at most one interval of work (60 s; ZARVEL_RECOVERY_INTERVAL_MS sets another, for
// tests). A copy is written at most one interval after a change that no copy holds yet, as rich
// text, and goes when its pane is no longer modified (saved, or replaced after the user
// discarded it) and when the program ends normally (this object is destroyed).
//
// The GUI thread only takes a snapshot of the pane's document; the rich text is made from the
// snapshot and written on a thread of its own. A copy that cannot be written is reported once
// through the failure hook, again only after a copy was written since.
class TAutoRecovery : public QObject
{
    Q_OBJECT
public:
    using TNameOf = std::function<QString(TPane)>;
    using TReport = std::function<void(const QString &message)>;

    TAutoRecovery(TRichEditEx &document, TRichEditEx &information, TNameOf nameOf,
                  TReport reportFailure, QObject *parent = nullptr);
    ~TAutoRecovery() override;

    TRecoveryStore &Store() { return *FStore; }
    int IntervalMs() const { return FIntervalMs; }
    // Writes the copies of modified panes that changed since their last copy now, without
    // waiting for the interval.
    void WriteNow();
    // The copy, recovered into its pane, is now this instance's copy of that pane.
    void Adopted(const TRecoveryCopy &copy);
    // What a copy takes of the pane on the GUI thread.
    static std::unique_ptr<TRecoverySnapshot> Snapshot(const TRichEditEx &pane);
    // Milliseconds the GUI thread spent on the last snapshot.
    double LastSnapshotMs() const { return FLastSnapshotMs; }

signals:
    // A copy of the pane was written, or could not be (error not empty).
    void CopyWritten(TPane pane, const QString &error);
    // The copy of the pane was removed.
    void CopyRemoved(TPane pane);

private:
    struct TPaneState
    {
        TRichEditEx *Control = nullptr;
        quint64 Changes = 0;      // changes seen
        quint64 Taken = 0;        // changes held by the last snapshot taken
        QElapsedTimer DirtySince; // the first change no snapshot holds
        bool CopyOnDisk = false;
        int InFlight = 0;
    };

    TPaneState &State(TPane pane) { return FPanes[pane == TPane::Document ? 0 : 1]; }
    void Changed(TPane pane);
    void Tick();
    void Take(TPane pane);
    void Written(TPane pane, const QString &error);
    void RemoveCopy(TPane pane);

    std::unique_ptr<TRecoveryStore> FStore;
    std::array<TPaneState, 2> FPanes;
    TNameOf FNameOf;
    TReport FReportFailure;
    int FIntervalMs = 60000;
    QTimer FTimer;
    QThread FWriterThread;
    QObject *FWriter = nullptr; // lives in FWriterThread
    bool FFailureReported = false;
    double FLastSnapshotMs = 0;
};
