#include "app/TMergedLetterWriter.h"

#include "print/PdfOfDocumentFile.h"
#include "rtf2html/RtfToHtml.h"
#include "text/LeftoverFiles.h"
#include "text/StringUtils.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryDir>

namespace {
std::string Bytes(const QString &fileName)
{
    return QFile::encodeName(fileName).toStdString();
}

QByteArray ReadWhole(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EFOpenError(Bytes(fileName));
    return file.readAll();
}
} // namespace

TMergedLetterWriter::TMergedLetterWriter(TFormat format)
    : FFormat(format),
      FScratch(std::make_unique<QTemporaryDir>(QDir::tempPath() + "/" +
                                               QString::fromStdString(LeftoverMark()) + "XXXXXX"))
{
    if (!FScratch->isValid())
        throw EFCreateError(Bytes(FScratch->path()));
}

TMergedLetterWriter::~TMergedLetterWriter() = default;

QString TMergedLetterWriter::Suffix() const
{
    switch (FFormat) {
    case TFormat::Html:
        return QStringLiteral(".html");
    case TFormat::Pdf:
        return QStringLiteral(".pdf");
    case TFormat::Rtf:
        break;
    }
    return QStringLiteral(".rtf");
}

QByteArray TMergedLetterWriter::Converted(const QString &fileName,
                                          const std::string &richText) const
{
    // The page is titled with the letter's name, as zarvel-cli titles it.
    const QString rtf = FScratch->filePath(QFileInfo(fileName).completeBaseName() + ".rtf");
    SaveTextFile(Bytes(rtf), richText);
    const QString out = FScratch->filePath(QStringLiteral("letter.out"));
    QFile::remove(out);
    if (FFormat == TFormat::Html) {
        Rtf2Html::ConvertRtfToHtml(Bytes(rtf), Bytes(out), {std::string()},
                                   QFileInfo(fileName).fileName().toStdString());
    } else {
        PrintDocumentFileToPdf(rtf, out);
    }
    QFile::remove(rtf);
    QByteArray bytes = ReadWhole(out);
    QFile::remove(out);
    return bytes;
}

void TMergedLetterWriter::Write(const QString &fileName, const std::string &richText) const
{
    const QByteArray bytes = FFormat == TFormat::Rtf ? QByteArray::fromStdString(richText)
                                                     : Converted(fileName, richText);
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw EFCreateError(Bytes(fileName) + " (" + file.errorString().toStdString() + ")");
    if (file.write(bytes) != bytes.size() || !file.commit())
        throw EWriteError(Bytes(fileName) + " (" + file.errorString().toStdString() + ")");
}
