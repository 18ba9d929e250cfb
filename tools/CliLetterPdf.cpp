// PDF letters, which need the rich text control and the printer: the model program's alone.
#include "CliLetterFile.h"

#include "CliScratchFolder.h"

#include "print/PdfOfDocumentFile.h"
#include "text/StringUtils.h"

#include <QFile>

// The letter loaded as the document pane loads a file, and printed as the main window prints.
void WritePdfLetter(const std::string &path, const std::string &richText)
{
    const CliScratchFolder scratch;
    const std::string rtf = scratch.FilePath("letter.rtf");
    SaveTextFile(rtf, richText);
    PrintDocumentFileToPdf(QFile::decodeName(rtf.c_str()), QFile::decodeName(path.c_str()));
}
