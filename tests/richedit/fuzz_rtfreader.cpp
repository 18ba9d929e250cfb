// Feeds arbitrary bytes to the rich text reader; what it reads must survive save, load, save.
#include "richedit/TRtfReader.h"
#include "richedit/TRtfWriter.h"

#include <QGuiApplication>
#include <QTextCursor>
#include <QTextDocument>

#include <cstdint>
#include <cstdlib>

namespace {

void EnsureApplication()
{
    if (QCoreApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz_rtfreader";
    static char *argv[] = {name, nullptr};
    // Lives as long as the process: destroying it in the exit handlers, after Qt's own
    // globals are gone, crashes.
    static QGuiApplication *application = new QGuiApplication(argc, argv);
    Q_UNUSED(application);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    EnsureApplication();
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    QTextDocument document;
    QTextCursor cursor(&document);
    if (!TRtfReader::Read(bytes, cursor))
        return 0;
    const QByteArray written = TRtfWriter::Write(document);
    QTextDocument again;
    QTextCursor second(&again);
    if (!TRtfReader::Read(written, second))
        std::abort(); // the writer's output is always rich text
    if (TRtfWriter::Write(again) != written)
        std::abort(); // save, load, save: the same bytes
    if (again.toPlainText() != document.toPlainText())
        std::abort(); // writing loses no text
    return 0;
}
