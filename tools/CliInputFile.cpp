#include "CliInputFile.h"
#include "CliScratch.h"

#include <QFile>

#include <cstdio>
#include <stdexcept>

CliInputFile::CliInputFile(const std::string &name)
{
    if (name != "-") {
        FPath = name;
        return;
    }
    FScratch = NewScratchFolder();
    const QString path = FScratch->filePath(QStringLiteral("stdin"));
    QFile copy(path);
    QFile input;
    if (!copy.open(QIODevice::WriteOnly) || !input.open(stdin, QIODevice::ReadOnly))
        throw std::runtime_error("cannot copy standard input to " + path.toStdString());
    char buffer[65536];
    for (;;) {
        const qint64 read = input.read(buffer, sizeof buffer);
        if (read < 0)
            throw std::runtime_error("cannot read standard input");
        if (read == 0)
            break;
        if (copy.write(buffer, read) != read)
            throw std::runtime_error("cannot copy standard input to " + path.toStdString());
    }
    FPath = QFile::encodeName(path).toStdString();
}
