#include "widgets/IniFile.h"

#include <QFile>
#include <QSaveFile>
#include <QStringList>

#include <stdexcept>

namespace {

QStringList ReadLines(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QString text = QString::fromUtf8(file.readAll());
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// The section name of a "[name]" line, or a null string for other lines.
QString SectionName(const QString &line)
{
    const QString trimmed = line.trimmed();
    if (trimmed.startsWith(QLatin1Char('[')) && trimmed.endsWith(QLatin1Char(']')))
        return trimmed.mid(1, trimmed.size() - 2).trimmed();
    return QString();
}

bool IsSection(const QString &line, const QString &section)
{
    const QString name = SectionName(line);
    return !name.isNull() && name.compare(section.trimmed(), Qt::CaseInsensitive) == 0;
}

} // namespace

namespace IniFile {

Entries ReadSection(const QString &fileName, const QString &section)
{
    Entries entries;
    bool inside = false;
    for (const QString &line : ReadLines(fileName)) {
        if (!SectionName(line).isNull()) {
            inside = IsSection(line, section);
            continue;
        }
        const QString trimmed = line.trimmed();
        if (!inside || trimmed.isEmpty() || trimmed.startsWith(QLatin1Char(';')))
            continue;
        const int eq = trimmed.indexOf(QLatin1Char('='));
        if (eq < 0)
            entries.append({trimmed, QString()});
        else
            entries.append({trimmed.left(eq).trimmed(), trimmed.mid(eq + 1)});
    }
    return entries;
}

void WriteSection(const QString &fileName, const QString &section, const Entries &entries)
{
    QStringList out;
    bool inside = false;
    bool written = false;
    const auto writeEntries = [&] {
        if (entries.isEmpty())
            return;
        out << QLatin1Char('[') + section + QLatin1Char(']');
        for (const auto &entry : entries)
            out << entry.first + QLatin1Char('=') + entry.second;
        written = true;
    };
    for (const QString &line : ReadLines(fileName)) {
        if (!SectionName(line).isNull()) {
            inside = IsSection(line, section);
            if (inside) {
                if (!written)
                    writeEntries();
                continue;
            }
        }
        if (!inside)
            out << line;
    }
    if (!written)
        writeEntries();

    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw std::runtime_error(QStringLiteral("Cannot write the file \"%1\": %2")
                                     .arg(fileName, file.errorString())
                                     .toStdString());
    for (const QString &line : out)
        file.write((line + QLatin1Char('\n')).toUtf8());
    if (!file.commit())
        throw std::runtime_error(QStringLiteral("Cannot write the file \"%1\": %2")
                                     .arg(fileName, file.errorString())
                                     .toStdString());
}

} // namespace IniFile
