// zarvel-cli: runs Zarvel's engines without a window.
#include "CliCommand.h"
#include "richedit/LayoutMemory.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <exception>

namespace {
// Qt's own start-up remarks (a missing runtime folder on a headless machine) are not the
// command's output; everything else still reaches stderr.
void FilterQtMessages(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtWarningMsg && message.contains(QLatin1String("XDG_RUNTIME_DIR")))
        return;
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

void PrintUsage()
{
    std::fprintf(stderr, "usage: zarvel-cli COMMAND [ARGS...]\ncommands:\n");
    for (const CliCommand *command : CliCommand::All())
        std::fprintf(stderr, "  %s %s\n", command->Name().c_str(), command->Usage().c_str());
}
} // namespace

int main(int argc, char *argv[])
{
    // The rich text control needs a GUI application object but never shows a window.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(FilterQtMessages);
    KeepLayoutMemory();
    QApplication app(argc, argv);

    if (argc < 2) {
        PrintUsage();
        return 2;
    }
    const CliCommand *command = CliCommand::Find(argv[1]);
    if (!command) {
        std::fprintf(stderr, "zarvel-cli: unknown command '%s'\n", argv[1]);
        PrintUsage();
        return 2;
    }
    const std::vector<std::string> args(argv + 2, argv + argc);
    try {
        return command->Execute(args);
    } catch (const CliUsageError &e) {
        std::fprintf(stderr, "zarvel-cli %s: %s\nusage: zarvel-cli %s %s\n",
                     command->Name().c_str(), e.what(), command->Name().c_str(),
                     command->Usage().c_str());
        return 2;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "zarvel-cli %s: %s\n", command->Name().c_str(), e.what());
        return 1;
    }
}
