#include "assembly/TInformationReader.h"

#include "assembly/TPlainInformationFile.h"
#include "rtf/TDocumentText.h"
#include "text/StringUtils.h"

#include <QDir>
#include <QFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <optional>

namespace {
// The whole file, through Qt so that the program's resources read too.
QByteArray FileBytes(const std::string &fileName)
{
    const QString name = QFile::decodeName(QByteArray::fromStdString(fileName));
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        throw EFOpenError(QDir::toNativeSeparators(name).toStdString());
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw EFOpenError(QDir::toNativeSeparators(name).toStdString());
    return bytes;
}
} // namespace

void TInformationReader::CheckBytes(const std::string &bytes, const std::string &fileName)
{
    TPlainInformationFile::CheckBytes(bytes, fileName);
}

std::vector<std::string> TInformationReader::Read(const std::string &fileName)
{
    const QByteArray bytes = FileBytes(fileName);
    const std::string raw = bytes.toStdString();
    CheckBytes(raw, fileName);
    // Most information files are plain text, whose lines are found without a document.
    if (std::optional<std::vector<std::string>> lines = TPlainInformationFile::Lines(raw))
        return std::move(*lines);
    QTextDocument document;
    // Without word wrap the lines need no layout: a page of no size keeps the document from
    // laying out (and shaping) what it reads.
    document.setPageSize(QSizeF(0, 0));
    QTextCursor cursor(&document);
    TDocumentText::Insert(bytes, cursor);
    return LinesOf(document);
}

std::vector<std::string> TInformationReader::LinesOf(const QTextDocument &document)
{
    std::vector<std::string> lines;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QString text = block.text();
        qsizetype start = 0;
        for (qsizetype at = text.indexOf(QChar::LineSeparator); at >= 0;
             at = text.indexOf(QChar::LineSeparator, start)) {
            lines.push_back(text.mid(start, at - start).toUtf8().toStdString());
            start = at + 1;
        }
        lines.push_back(text.mid(start).toUtf8().toStdString());
    }
    if (!lines.empty() && lines.back().empty())
        lines.pop_back();
    return lines;
}
