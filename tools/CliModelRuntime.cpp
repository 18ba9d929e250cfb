// The model program of zarvel-cli: every command, with the document model and the widgets of
// the rich text control and the printer.
#include "CliRuntime.h"

#include "richedit/LayoutMemory.h"

#include <QApplication>
#include <QGuiApplication>

#include <cstdio>

namespace {
// Qt's own start-up remarks (a missing runtime folder on a headless machine) are not the
// command's output; everything else still reaches stderr.
void FilterQtMessages(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtWarningMsg && message.contains(QLatin1String("XDG_RUNTIME_DIR")))
        return;
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}
} // namespace

struct CliRuntime::TState
{
    int Argc = 1; // the toolkit's count of argv: it keeps a reference
    std::unique_ptr<QCoreApplication> Application;
};

CliRuntime::CliRuntime(char *argv[], bool widgets) : FState(std::make_unique<TState>())
{
    // Nothing ever shows a window.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(FilterQtMessages);
    KeepLayoutMemory();
    // The arguments are the command's alone: Qt sees none of them.
    if (widgets)
        FState->Application = std::make_unique<QApplication>(FState->Argc, argv);
    else
        FState->Application = std::make_unique<QGuiApplication>(FState->Argc, argv);
}

CliRuntime::~CliRuntime() = default;

bool CliRuntime::HasDocumentModel()
{
    return true;
}

int CliRuntime::HandOver(char * /*argv*/[])
{
    return 127; // never called: this program has every command
}
