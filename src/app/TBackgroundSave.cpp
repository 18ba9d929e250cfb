#include "app/TBackgroundSave.h"

#include "app/TRecoverySnapshot.h"
#include "richedit/RichEditTypes.h"
#include "richedit/TConversion.h"
#include "richedit/TConversionRegistry.h"
#include "richedit/TFileSaver.h"
#include "richedit/TRichEditEx.h"
#include "richedit/TRtfWriter.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QProgressDialog>
#include <QTextDocument>
#include <QThread>

#include <exception>
#include <memory>
#include <typeinfo>

namespace {
std::function<void()> &WorkerHook()
{
    static std::function<void()> hook;
    return hook;
}

bool IsWholeRichText(const TRichEditEx &pane)
{
    using namespace TStreamFormat;
    const unsigned format = pane.SaveFormat();
    const unsigned kind = format & 0x0F;
    return (kind == SF_RTF || kind == SF_RTFNOOBJS) && !(format & SFF_SELECTION);
}

// The pane refuses typing until the object goes, and is as writable as it was then.
class TReadOnlyScope
{
public:
    explicit TReadOnlyScope(TRichEditEx &pane) : FPane(pane), FWasReadOnly(pane.isReadOnly())
    {
        FPane.setReadOnly(true);
    }
    ~TReadOnlyScope() { FPane.setReadOnly(FWasReadOnly); }
    TReadOnlyScope(const TReadOnlyScope &) = delete;
    TReadOnlyScope &operator=(const TReadOnlyScope &) = delete;

private:
    TRichEditEx &FPane;
    const bool FWasReadOnly;
};
} // namespace

bool TBackgroundSave::Suits(const TRichEditEx &pane, const QString &fileName)
{
    if (!IsWholeRichText(pane) || pane.OnSaveProgress)
        return false;
    const std::unique_ptr<TConversion> conversion =
        TConversionRegistry::Create(TConversionRegistry::ExtensionOf(fileName));
    if (typeid(*conversion) != typeid(TConversion))
        return false;
    return pane.document()->characterCount() >= KMinimumCharacters;
}

void TBackgroundSave::Save(TRichEditEx &pane, const QString &fileName, QWidget *window)
{
    TRtfWriter::Options options;
    options.PlainRTF = pane.PlainRTF();
    options.Language = pane.Language();
    auto snapshot = std::make_shared<TRecoverySnapshot>(*pane.document());

    const TReadOnlyScope readOnly(pane);
    QProgressDialog progress(QObject::tr("Saving %1 ...").arg(QFileInfo(fileName).fileName()),
                             QString(), 0, 0, window);
    progress.setWindowTitle(QStringLiteral("Zarvel"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    progress.show();

    std::exception_ptr failure;
    QEventLoop loop;
    std::unique_ptr<QThread> worker(
        QThread::create([snapshot, options, fileName, &failure, hook = WorkerHook()] {
            try {
                if (hook)
                    hook();
                const QByteArray richText = TRtfWriter::Write(*snapshot->Build(), 0, -1, options);
                TFileSaver::Save(fileName, richText);
            } catch (...) {
                failure = std::current_exception();
            }
        }));
    QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit,
                     Qt::QueuedConnection);
    worker->start();
    // The window repaints; its input is refused while the dialog blocks it.
    loop.exec();
    worker->wait();
    progress.close();
    if (failure)
        std::rethrow_exception(failure);
}

void TBackgroundSave::SetWorkerHook(std::function<void()> hook)
{
    WorkerHook() = std::move(hook);
}
