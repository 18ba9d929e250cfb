#include "app/TAutoRecovery.h"

#include "app/TRecoverySnapshot.h"
#include "richedit/TRichEditEx.h"
#include "rtf/TRtfWriter.h"

#include <QDateTime>
#include <QTextDocument>

#include <algorithm>

namespace {
constexpr int DefaultIntervalMs = 60000;

int IntervalFromEnvironment()
{
    bool ok = false;
    const int ms = qEnvironmentVariableIntValue("ZARVEL_RECOVERY_INTERVAL_MS", &ok);
    return ok && ms > 0 ? ms : DefaultIntervalMs;
}

// How often the panes are looked at: a copy is due at most one tick before its interval ends.
int TickMs(int intervalMs)
{
    return std::clamp(intervalMs / 4, 20, 1000);
}
} // namespace

TAutoRecovery::TAutoRecovery(TRichEditEx &document, TRichEditEx &information, TNameOf nameOf,
                             TReport reportFailure, QObject *parent)
    : QObject(parent), FStore(std::make_unique<TRecoveryStore>()), FNameOf(std::move(nameOf)),
      FReportFailure(std::move(reportFailure)), FIntervalMs(IntervalFromEnvironment())
{
    State(TPane::Document).Control = &document;
    State(TPane::Information).Control = &information;
    connect(&document, &QTextEdit::textChanged, this, [this] { Changed(TPane::Document); });
    connect(&information, &QTextEdit::textChanged, this, [this] { Changed(TPane::Information); });

    FTimer.setInterval(TickMs(FIntervalMs));
    connect(&FTimer, &QTimer::timeout, this, &TAutoRecovery::Tick);

    FWriter = new QObject; // deleted in the destructor, once its thread has ended
    FWriter->moveToThread(&FWriterThread);
    FWriterThread.setObjectName(QStringLiteral("recovery copies"));
    FWriterThread.start(QThread::LowPriority);
}

TAutoRecovery::~TAutoRecovery()
{
    FTimer.stop();
    FWriterThread.quit();
    FWriterThread.wait();
    delete FWriter;
    // A normal end: whatever the user did not save, they chose not to keep.
    FStore->RemoveAll();
}

void TAutoRecovery::Changed(TPane pane)
{
    TPaneState &state = State(pane);
    ++state.Changes;
    if (!state.DirtySince.isValid())
        state.DirtySince.start();
    if (!FTimer.isActive())
        FTimer.start();
}

void TAutoRecovery::Tick()
{
    bool watching = false;
    for (const TPane pane : {TPane::Document, TPane::Information}) {
        TPaneState &state = State(pane);
        if (!state.Control->ModifiedFlag()) {
            // Saved, or replaced by something that is on disk already.
            state.Taken = state.Changes;
            state.DirtySince.invalidate();
            if (state.CopyOnDisk)
                RemoveCopy(pane);
            continue;
        }
        if (state.Taken != state.Changes &&
            state.DirtySince.hasExpired(FIntervalMs - FTimer.interval()))
            Take(pane);
        // A modified pane is watched until it is saved, so that its copy goes then.
        watching = true;
    }
    if (!watching)
        FTimer.stop();
}

void TAutoRecovery::WriteNow()
{
    for (const TPane pane : {TPane::Document, TPane::Information}) {
        const TPaneState &state = State(pane);
        if (state.Control->ModifiedFlag() && state.Taken != state.Changes)
            Take(pane);
    }
    if (!FTimer.isActive())
        FTimer.start();
}

void TAutoRecovery::Adopted(const TRecoveryCopy &copy)
{
    FStore->Adopt(copy);
    TPaneState &state = State(copy.Pane);
    state.Taken = state.Changes;
    state.DirtySince.invalidate();
    state.CopyOnDisk = true;
    if (!FTimer.isActive())
        FTimer.start();
}

std::unique_ptr<TRecoverySnapshot> TAutoRecovery::Snapshot(const TRichEditEx &pane)
{
    return std::make_unique<TRecoverySnapshot>(*pane.document());
}

void TAutoRecovery::Take(TPane pane)
{
    TPaneState &state = State(pane);
    QElapsedTimer clock;
    clock.start();
    std::shared_ptr<TRecoverySnapshot> snapshot = Snapshot(*state.Control);
    FLastSnapshotMs = double(clock.nsecsElapsed()) / 1e6;

    TRtfWriter::Options options;
    options.PlainRTF = state.Control->PlainRTF();
    options.Language = state.Control->Language();
    const QString name = FNameOf ? FNameOf(pane) : QString();
    const QDateTime time = QDateTime::currentDateTime();
    state.Taken = state.Changes;
    state.DirtySince.invalidate();
    ++state.InFlight;

    TRecoveryStore *store = FStore.get();
    QMetaObject::invokeMethod(
        FWriter,
        [this, store, pane, snapshot, options, name, time]() mutable {
            const QByteArray richText = TRtfWriter::Write(*snapshot->Build(), 0, -1, options);
            snapshot.reset();
            const QString error = store->Write(pane, richText, name, time);
            QMetaObject::invokeMethod(
                this, [this, pane, error] { Written(pane, error); }, Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

void TAutoRecovery::Written(TPane pane, const QString &error)
{
    TPaneState &state = State(pane);
    --state.InFlight;
    if (!error.isEmpty()) {
        // The changes are still in no copy: marked as not taken, the next round tries again.
        if (state.Taken == state.Changes)
            --state.Taken;
        if (!state.DirtySince.isValid())
            state.DirtySince.start();
        if (!FFailureReported && FReportFailure)
            FReportFailure(tr("Zarvel could not write a recovery copy: %1").arg(error));
        FFailureReported = true;
        emit CopyWritten(pane, error);
        return;
    }
    FFailureReported = false;
    state.CopyOnDisk = true;
    emit CopyWritten(pane, error);
    // Saved while the copy was being written.
    if (!state.Control->ModifiedFlag() && state.InFlight == 0)
        RemoveCopy(pane);
}

void TAutoRecovery::RemoveCopy(TPane pane)
{
    FStore->Remove(pane);
    State(pane).CopyOnDisk = false;
    emit CopyRemoved(pane);
}
