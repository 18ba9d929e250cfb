#pragma once

#include <QByteArray>
#include <QString>
#include <QTextDocument>

#include <memory>
#include <vector>

// What the reader's test programs share: reading rich text into a document and reading back
// the samples of tests/data/rtf.
namespace RtfReaderTest {

std::unique_ptr<QTextDocument> Load(const QByteArray &rtf);
// A document as read, and as read again from what the writer saved of it.
std::vector<std::unique_ptr<QTextDocument>> Readings(const QByteArray &rtf);
// A sample's bytes; empty when it cannot be read.
QByteArray Sample(const QString &name);
// The document's text with paragraph ends as "\n"; line separators and no-break spaces kept.
QString Text(const QTextDocument &document);

} // namespace RtfReaderTest
