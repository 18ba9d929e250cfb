#include "CliArguments.h"

#include "CliCommand.h"

#include <QFileInfo>

QString ToQString(const std::string &path)
{
    return QString::fromLocal8Bit(path.c_str());
}

std::string FromQString(const QString &path)
{
    return path.toLocal8Bit().toStdString();
}

std::string ForTerminal(const std::string &text)
{
    return QString::fromStdString(text).toLocal8Bit().toStdString();
}

bool SameFile(const QString &a, const QString &b)
{
    const QFileInfo first(a);
    const QFileInfo second(b);
    return first.exists() && second.exists() &&
           first.canonicalFilePath() == second.canonicalFilePath();
}

std::string NeedValue(const std::vector<std::string> &args, std::size_t &i)
{
    if (i + 1 >= args.size())
        throw CliUsageError(args[i] + " needs a value");
    return args[++i];
}
