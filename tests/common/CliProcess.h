#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// What a run of zarvel-cli gave back.
struct TCliRun
{
    int ExitCode = -1; // -1: it did not finish in time; -2: it crashed
    QByteArray Out;
    QByteArray Err;
};

// Runs the built zarvel-cli as a separate process, the way a user's script runs it, in the
// given folder (the current one when empty) and with the given bytes on its standard input.
TCliRun RunCli(const QStringList &arguments, const QString &folder = QString(),
               const QByteArray &input = QByteArray());
