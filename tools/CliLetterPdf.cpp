// PDF letters, which need the rich text control and the printer: the model program's alone.
#include "CliLetterFile.h"

#include "CliArguments.h"
#include "CliScratch.h"

#include "print/PdfOfDocumentFile.h"
#include "text/StringUtils.h"

#include <QTemporaryDir>

// The letter loaded as the document pane loads a file, and printed as the main window prints.
void WritePdfLetter(const QString &path, const std::string &richText)
{
    const std::unique_ptr<QTemporaryDir> scratch = NewScratchFolder();
    const QString rtf = scratch->filePath(QStringLiteral("letter.rtf"));
    SaveTextFile(FromQString(rtf), richText);
    PrintDocumentFileToPdf(rtf, path);
}
