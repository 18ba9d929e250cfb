// Arbitrary bytes read as an information file, as plain text and as rich text, through the one
// reader the window and zarvel-cli share: the reader ends, no line holds a line break, the
// same reader gives the same lines when it reads the file again (zarvel-cli reuses it), and
// they are the lines of the file loaded into the reader's control. Plain text of zero bytes
// that is no UTF-16 is refused, and only such a file.
//
// Input: bit 0 of the first byte puts "{\rtf1 " before the rest so that the rich text reader
// is reached at once; the rest is the file.
#include "FuzzApplication.h"
#include "InformationPaneLines.h"
#include "assembly/TInformationReader.h"
#include "text/StringUtils.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {
// The file the reader reads: the reader takes file names, as the window and zarvel-cli do.
const std::string &InputFile()
{
    // Removed with its file at exit; it needs no Qt object that is gone by then.
    static const QTemporaryDir folder;
    static const std::string fileName = folder.filePath(QStringLiteral("input.inf")).toStdString();
    return fileName;
}

std::vector<std::string> Read(TInformationReader &reader, bool inControl = false)
{
    try {
        return inControl ? InformationPaneLines(InputFile()) : reader.Read(InputFile());
    } catch (...) {
        std::abort(); // the file is there: the reader reads whatever it holds
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    EnsureFuzzApplication<QApplication>("fuzz_informationfile");
    static TInformationReader *reader = new TInformationReader();
    const QByteArray rest(reinterpret_cast<const char *>(data + 1),
                          static_cast<qsizetype>(size - 1));
    const QByteArray content = (data[0] & 1) ? QByteArray("{\\rtf1 ") + rest : rest;
    QFile file(QString::fromStdString(InputFile()));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(content) != content.size())
        std::abort();
    file.close();

    const bool utf16 = content.startsWith("\xFF\xFE") || content.startsWith("\xFE\xFF");
    if (content.contains('\0') && !utf16 && !content.startsWith("{\\rtf")) {
        try {
            reader->Read(InputFile());
        } catch (const EStreamError &) {
            return 0;
        }
        std::abort();
    }
    const std::vector<std::string> lines = Read(*reader);
    for (const std::string &line : lines)
        if (line.find_first_of("\r\n") != std::string::npos)
            std::abort();
    if (Read(*reader) != lines || Read(*reader, true) != lines)
        std::abort();
    return 0;
}
