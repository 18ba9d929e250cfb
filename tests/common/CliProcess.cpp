#include "CliProcess.h"

#include <QProcess>

TCliRun RunCli(const QStringList &arguments, const QString &folder, const QByteArray &input)
{
    QProcess process;
    if (!folder.isEmpty())
        process.setWorkingDirectory(folder);
    process.start(qEnvironmentVariable("ZARVEL_BIN_DIR") + "/zarvel-cli", arguments);
    process.write(input);
    process.closeWriteChannel();
    TCliRun run;
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.ExitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    run.Out = process.readAllStandardOutput();
    run.Err = process.readAllStandardError();
    return run;
}
