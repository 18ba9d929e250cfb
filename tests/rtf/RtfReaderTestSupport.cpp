#include "RtfReaderTestSupport.h"

#include "rtf/TRtfReader.h"
#include "rtf/TRtfWriter.h"

#include "TestEnvironment.h"

#include <QFile>
#include <QTextCursor>

namespace RtfReaderTest {

std::unique_ptr<QTextDocument> Load(const QByteArray &rtf)
{
    auto document = std::make_unique<QTextDocument>();
    QTextCursor cursor(document.get());
    TRtfReader::Read(rtf, cursor);
    return document;
}

std::vector<std::unique_ptr<QTextDocument>> Readings(const QByteArray &rtf)
{
    std::vector<std::unique_ptr<QTextDocument>> readings;
    readings.push_back(Load(rtf));
    readings.push_back(Load(TRtfWriter::Write(*readings.front())));
    return readings;
}

QByteArray Sample(const QString &name)
{
    QFile file(TestEnvironment::dataPath(QStringLiteral("rtf/") + name));
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

QString Text(const QTextDocument &document)
{
    QString text = document.toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return text;
}

} // namespace RtfReaderTest
