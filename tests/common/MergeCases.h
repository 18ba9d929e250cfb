#pragma once

#include "TestEnvironment.h"

#include <QFile>
#include <QStringList>
#include <QTest>

// The merge cases that the window's tests and zarvel-cli's tests both run, on the same files
// (tests/data/assembly), with the same expectations.
namespace MergeCases {

inline QString File(const QString &name)
{
    return TestEnvironment::dataPath(QStringLiteral("assembly/") + name);
}

// The non-empty lines of a case file (UTF-8).
inline QStringList Lines(const QString &name)
{
    QFile file(File(name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// Ordinary "@" text, a placeholder after a control word, computed and apostrophe values, a
// rich-text information file with manual line breaks, and values nesting in five layers under a
// plain-text template whose placeholder ends a line followed by a digit: the template, the
// information file, the file of the merged text's lines and the number of replacements.
inline void AddFinishing()
{
    QTest::addColumn<QString>("templ");
    QTest::addColumn<QString>("information");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("count");
    QTest::newRow("letterhead") << "letterhead.tem"
                                << "letterhead.inf"
                                << "letterhead.expected" << 7;
    QTest::newRow("rich-text information file") << "letterhead.tem"
                                                << "letterhead-rich.inf"
                                                << "letterhead.expected" << 7;
    QTest::newRow("five layers") << "layers.tem"
                                 << "layers.inf"
                                 << "layers.expected" << 31;
    // Values are text in any script: a path, braces, Greek, Hebrew, Cyrillic, Chinese and an
    // emoji, after a control word, after symbols and ideographs, and a placeholder split by
    // groups that only repeat the font; from a UTF-8, a UTF-16 and a rich-text file alike.
    QTest::newRow("values as text, UTF-8") << "values.tem"
                                           << "values.inf"
                                           << "values.expected" << 11;
    QTest::newRow("values as text, UTF-16") << "values.tem"
                                            << "values-utf16.inf"
                                            << "values.expected" << 11;
    QTest::newRow("values as text, rich text") << "values.tem"
                                               << "values-rich.inf"
                                               << "values.expected" << 11;
}

// A case whose information file lacks the value of @7 and computes a date.
inline const char *const StoppingTemplate = "letterhead.tem";
inline const char *const StoppingInformation = "letterhead-short.inf";
inline const char *const StoppingMessageEnd =
    "@7 needs line 14 of the INFORMATION file, which has 12 lines.";
// Lines its check's report must hold.
inline const char *const StoppingCheckLines = "letterhead-short.check";

} // namespace MergeCases
