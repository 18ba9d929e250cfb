#include "app/CommandLine.h"

#include <QCoreApplication>

CommandLine::CommandLine(const QStringList &arguments)
{
    bool help = false;
    bool version = false;
    bool onlyFiles = false;
    for (const QString &argument : arguments) {
        if (onlyFiles || argument == QLatin1String("-") || !argument.startsWith(QLatin1Char('-')))
            FFiles << argument;
        else if (argument == QLatin1String("--"))
            onlyFiles = true;
        else if (argument == QLatin1String("--help") || argument == QLatin1String("-h"))
            help = true;
        else if (argument == QLatin1String("--version"))
            version = true;
        else if (FError.isEmpty())
            FError = QStringLiteral("unknown option '%1'").arg(argument);
    }
    if (help)
        FAction = TAction::Help;
    else if (version)
        FAction = TAction::Version;
    else if (!FError.isEmpty())
        FAction = TAction::Error;
}

QString CommandLine::Usage()
{
    return QStringLiteral(
        "usage: zarvel [--help] [--version] [--] [FILE...]\n"
        "Opens each FILE as the menus do: an information file (.inf) in the information pane,\n"
        "a template (.tem) as the selected template, any other rich or plain text file as the\n"
        "document. Of several files for one pane the last is opened.\n"
        "  -h, --help   show this help and exit\n"
        "  --version    show the version and exit\n");
}

QString CommandLine::VersionText()
{
    return QStringLiteral("zarvel %1\n").arg(QStringLiteral(ZARVEL_VERSION));
}
