#include "CliOutputFile.h"
#include "CliScratch.h"

#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <stdexcept>

CliOutputFile::CliOutputFile(const std::string &name, const QString &scratchName)
{
    if (name != "-") {
        FPath = QFile::encodeName(QFileInfo(QFile::decodeName(name.c_str())).absoluteFilePath())
                    .toStdString();
        return;
    }
    FScratch = NewScratchFolder();
    FPath = QFile::encodeName(FScratch->filePath(scratchName)).toStdString();
}

void CliOutputFile::Finish() const
{
    if (!FScratch)
        return;
    QFile written(QFile::decodeName(FPath.c_str()));
    if (!written.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + FPath);
    const QByteArray bytes = written.readAll();
    if (std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout) !=
            std::size_t(bytes.size()) ||
        std::fflush(stdout) != 0)
        throw std::runtime_error("cannot write to standard output");
}
