#pragma once

#include <QString>
#include <QStringList>

// The program's command line: zarvel [--help] [--version] [--] [FILE...]. Qt's own options
// (-platform, -style, ...) are taken out by the application object before the arguments are
// read as files.
class CommandLine
{
public:
    enum class TAction { Run, Help, Version, Error };

    // The arguments without the program's name. --help (or -h) wins over everything, then
    // --version; an option the program does not know is an error; after "--" every argument is a
    // file name.
    explicit CommandLine(const QStringList &arguments);

    TAction Action() const { return FAction; }
    QStringList Files() const { return FFiles; }
    // What was wrong, for the error action.
    QString Error() const { return FError; }

    static QString Usage();
    static QString VersionText();

private:
    TAction FAction = TAction::Run;
    QStringList FFiles;
    QString FError;
};
