#pragma once

#include <QList>
#include <QPair>
#include <QString>

// Reading and writing one section of an INI file, keeping the key order of the file and the
// values exactly as written (QSettings' INI format sorts keys, splits values at commas and
// escapes backslashes, which other programs' INI files do not expect).
namespace IniFile {

using Entries = QList<QPair<QString, QString>>;

// The name=value lines of a section (name matched ignoring case), in file order.
// A missing file or section gives an empty list.
Entries ReadSection(const QString &fileName, const QString &section);

// Replaces the section's lines by the given entries (an empty list erases the section),
// keeping the rest of the file. Throws std::runtime_error when the file cannot be written.
void WriteSection(const QString &fileName, const QString &section, const Entries &entries);

} // namespace IniFile
