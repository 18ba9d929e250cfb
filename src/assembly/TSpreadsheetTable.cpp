#include "assembly/TSpreadsheetTable.h"

#include "assembly/TCaseTable.h"
#include "text/StringUtils.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

namespace {
QString FromBytes(const std::string &fileName)
{
    return QFile::decodeName(QByteArray::fromStdString(fileName));
}

// The profile LibreOffice runs in for Zarvel's conversions.
QString ProfileFolder()
{
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    const QString folder = QDir(cache.isEmpty() ? QDir::tempPath() : cache)
                               .filePath(QStringLiteral("libreoffice-profile"));
    QDir().mkpath(folder);
    return folder;
}
} // namespace

std::string TSpreadsheetTable::OfficeProgram()
{
    for (const char *name : {"soffice", "libreoffice"}) {
        const QString program = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!program.isEmpty())
            return QFile::encodeName(program).toStdString();
    }
    return std::string();
}

std::string TSpreadsheetTable::ConvertToCsv(const std::string &fileName)
{
    const QFileInfo source(FromBytes(fileName));
    if (!source.isFile() || !source.isReadable())
        throw EFOpenError(fileName);
    const std::string program = OfficeProgram();
    if (program.empty())
        throw ECaseTableError(fileName +
                              " is a spreadsheet, which Zarvel reads with LibreOffice, and "
                              "LibreOffice is not installed. Save the sheet as CSV (comma- or "
                              "semicolon-separated) in the spreadsheet program and choose that "
                              "file.");
    QTemporaryDir output;
    if (!output.isValid())
        throw EFCreateError(output.path().toStdString());
    QProcess office;
    office.setProgram(FromBytes(program));
    // The filter's options: comma, double quote, UTF-8, from the first line.
    office.setArguments({QStringLiteral("-env:UserInstallation=") +
                             QUrl::fromLocalFile(ProfileFolder()).toString(QUrl::FullyEncoded),
                         QStringLiteral("--headless"), QStringLiteral("--norestore"),
                         QStringLiteral("--nolockcheck"), QStringLiteral("--convert-to"),
                         QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76,1"),
                         QStringLiteral("--outdir"), output.path(), source.absoluteFilePath()});
    office.setProcessChannelMode(QProcess::MergedChannels);
    office.start();
    const bool finished = office.waitForStarted() && office.waitForFinished(TimeLimit);
    if (!finished) {
        office.kill();
        office.waitForFinished(5000);
        throw ECaseTableError(fileName + " could not be converted to CSV with LibreOffice " +
                              (office.error() == QProcess::Timedout
                                   ? std::string("in the time allowed")
                                   : office.errorString().toStdString()) +
                              ". Save the sheet as CSV and choose that file.");
    }
    const QString csv = QDir(output.path()).filePath(source.completeBaseName() + ".csv");
    if (office.exitCode() != 0 || !QFileInfo::exists(csv))
        throw ECaseTableError(fileName + " could not be converted to CSV with LibreOffice (" +
                              QString::fromLocal8Bit(office.readAll()).trimmed().toStdString() +
                              "). Save the sheet as CSV and choose that file.");
    return LoadFileBytes(QFile::encodeName(csv).toStdString());
}

TCaseTable TSpreadsheetTable::Read(const std::string &fileName)
{
    if (!TCaseTable::IsSpreadsheetName(fileName))
        return TCaseTable::ReadFile(fileName);
    return TCaseTable::Parse(ConvertToCsv(fileName), fileName, ',');
}
