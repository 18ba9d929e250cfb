#include "CliLetterFile.h"

#include "CliArguments.h"
#include "CliScratch.h"

#include "text/StringUtils.h"

#if __has_include("rtf2html/RtfToHtml.h")
#include "rtf2html/RtfToHtml.h"
#define ZARVEL_HAS_HTML_CONVERTER 1
#endif

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <stdexcept>

namespace {
// Writes a new file.
void WriteNewFile(const QString &path, const std::string &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        throw EFCreateError(FromQString(path));
    if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
            static_cast<qint64>(bytes.size()) ||
        !file.flush())
        throw EWriteError(FromQString(path));
}

// The merged rich text converted by the program's converter. The rich text goes to a scratch
// folder under the output's name (the page's title is that file's name); the page is written
// beside its final name and renamed only once the conversion has succeeded, so a failed case
// leaves no page behind.
void WriteHtml(const QString &path, const std::string &richText)
{
#ifdef ZARVEL_HAS_HTML_CONVERTER
    const std::unique_ptr<QTemporaryDir> scratch = NewScratchFolder();
    const QFileInfo target(path);
    const QString rtf = scratch->filePath(target.completeBaseName() + ".rtf");
    SaveTextFile(FromQString(rtf), richText);
    const QString partial = target.absoluteDir().filePath(
        "." + target.fileName() + "." + QFileInfo(scratch->path()).fileName() + ".part");
    try {
        Rtf2Html::ConvertRtfToHtml(FromQString(rtf), FromQString(partial), {std::string()},
                                   target.fileName().toStdString());
    } catch (...) {
        QFile::remove(partial);
        throw;
    }
    if (std::rename(FromQString(partial).c_str(), FromQString(path).c_str()) != 0) {
        QFile::remove(partial);
        throw EFCreateError(FromQString(path));
    }
#else
    (void)path;
    (void)richText;
    throw std::runtime_error("HTML output needs the rich text to HTML converter, which this "
                             "build does not have");
#endif
}

} // namespace

void WriteLetterFile(const QString &path, const std::string &richText, TLetterFormat format)
{
    switch (format) {
    case TLetterFormat::Rtf:
        WriteNewFile(path, richText);
        break;
    case TLetterFormat::Html:
        WriteHtml(path, richText);
        break;
    case TLetterFormat::Pdf:
        WritePdfLetter(path, richText);
        break;
    }
}
