#pragma once

// Shared helpers of the converter tests: run the converter on a rich text held in memory
// and look at the page it wrote.

#include "rtf2html/RtfToHtml.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTest>

#include <string>
#include <vector>

namespace Rtf2HtmlTest {

inline QByteArray ReadFile(const QString &name)
{
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

inline void WriteFile(const QString &name, const QByteArray &bytes)
{
    QFile file(name);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), qint64(bytes.size()));
}

// Converts rtf (written to "in.rtf" in the scratch folder) and returns the whole page.
inline QByteArray ConvertPage(const QByteArray &rtf, const std::vector<std::string> &options = {})
{
    const QString input = QDir::current().filePath("in.rtf");
    const QString output = QDir::current().filePath("out.htm");
    QFile::remove(output);
    WriteFile(input, rtf);
    Rtf2Html::ConvertRtfToHtml(input.toStdString(), output.toStdString(), options);
    return ReadFile(output);
}

// The lines of a page; every line must end with CR LF.
inline QList<QByteArray> PageLines(const QByteArray &page)
{
    QList<QByteArray> lines;
    int start = 0;
    while (start < page.size()) {
        const int end = page.indexOf("\r\n", start);
        if (end < 0) {
            lines.append(page.mid(start) + "<no CR LF>");
            break;
        }
        lines.append(page.mid(start, end - start));
        start = end + 2;
    }
    return lines;
}

// The body of the page between the six head lines and the two closing lines, one page
// line per text line ("\n" between them).
inline QByteArray BodyOf(const QByteArray &page)
{
    QList<QByteArray> lines = PageLines(page);
    if (lines.size() < 8 || lines.at(lines.size() - 2) != "</BODY>" || lines.last() != "</HTML>")
        return "<malformed page>" + page;
    lines = lines.mid(6, lines.size() - 8);
    return lines.join('\n');
}

inline QByteArray Body(const QByteArray &rtf, const std::vector<std::string> &options = {})
{
    return BodyOf(ConvertPage(rtf, options));
}

// The body with its line breaks taken out, for tests about markup rather than lines.
inline QByteArray Flat(const QByteArray &rtf, const std::vector<std::string> &options = {})
{
    return Body(rtf, options).replace('\n', QByteArray());
}

// Options written as one word list in a data row ("optimize onlyDefiniteOpt").
inline std::vector<std::string> Options(const QString &words)
{
    std::vector<std::string> result;
    for (const QString &word : words.split(' ', Qt::SkipEmptyParts))
        result.push_back(word.toStdString());
    return result;
}

} // namespace Rtf2HtmlTest
