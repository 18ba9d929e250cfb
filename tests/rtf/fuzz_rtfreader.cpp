// Feeds arbitrary bytes to the rich text reader; what it reads must survive save, load, save.
#include "FuzzApplication.h"
#include "rtf/TRtfReader.h"
#include "rtf/TRtfWriter.h"

#include <QGuiApplication>
#include <QTextCursor>
#include <QTextDocument>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    EnsureFuzzApplication<QGuiApplication>("fuzz_rtfreader");
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    QTextDocument document;
    QTextCursor cursor(&document);
    if (!TRtfReader::Read(bytes, cursor))
        return 0;
    const QByteArray written = TRtfWriter::Write(document);
    QTextDocument again;
    QTextCursor second(&again);
    if (!TRtfReader::Read(written, second))
        std::abort(); // the writer's output is always rich text
    if (TRtfWriter::Write(again) != written)
        std::abort(); // save, load, save: the same bytes
    if (again.toPlainText() != document.toPlainText())
        std::abort(); // writing loses no text
    return 0;
}
