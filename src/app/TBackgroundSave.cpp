#include "app/TBackgroundSave.h"

#include "app/TRecoverySnapshot.h"
#include "richedit/RichEditTypes.h"
#include "richedit/TConversion.h"
#include "richedit/TConversionRegistry.h"
#include "richedit/TFileSaver.h"
#include "richedit/TRichEditEx.h"
#include "rtf/TRtfWriter.h"

#include <QEvent>
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

// The pane refuses input that edits it (keys, input methods, drops, pastes by the mouse) until
// the object goes. Made read-only instead, the control would place its caret again, which in a
// paragraph of megabytes takes longer than the whole save.
class TEditRefusal : public QObject
{
public:
    explicit TEditRefusal(TRichEditEx &pane) : FPane(pane)
    {
        FPane.installEventFilter(this);
        FPane.viewport()->installEventFilter(this);
    }
    ~TEditRefusal() override
    {
        FPane.viewport()->removeEventFilter(this);
        FPane.removeEventFilter(this);
    }
    TEditRefusal(const TEditRefusal &) = delete;
    TEditRefusal &operator=(const TEditRefusal &) = delete;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::ShortcutOverride:
        case QEvent::InputMethod:
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
            event->accept();
            return true;
        default:
            return false;
        }
    }

private:
    TRichEditEx &FPane;
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

    const TEditRefusal refusal(pane);
    QProgressDialog progress(QObject::tr("Saving %1 ...").arg(QFileInfo(fileName).fileName()),
                             QString(), 0, 0, window);
    progress.setWindowTitle(QStringLiteral("Zarvel"));
    progress.setWindowModality(Qt::WindowModal);
    // The pane keeps the focus: moved away and back, its caret would be placed twice, each time
    // over the whole paragraph it is in.
    progress.setAttribute(Qt::WA_ShowWithoutActivating);
    progress.setWindowFlag(Qt::WindowDoesNotAcceptFocus);
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
