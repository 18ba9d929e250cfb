#include "app/AssemblyFileKind.h"

#include <QByteArray>
#include <QFile>

namespace {
// Enough to see the header and the first placeholders of any letter.
constexpr qint64 LookedAt = 256 * 1024;

bool HasPlaceholder(const QByteArray &bytes)
{
    for (qsizetype at = bytes.indexOf('@'); at >= 0 && at + 1 < bytes.size();
         at = bytes.indexOf('@', at + 1))
        if (bytes.at(at + 1) >= '0' && bytes.at(at + 1) <= '9')
            return true;
    return false;
}
} // namespace

TAssemblyFileKind AssemblyFileKindOf(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return TAssemblyFileKind::Other;
    const QByteArray bytes = file.read(LookedAt);
    if (bytes.trimmed().isEmpty())
        return TAssemblyFileKind::Other;
    const bool rich = bytes.trimmed().startsWith("{\\rtf");
    const bool placeholders = HasPlaceholder(bytes);
    if (rich && placeholders)
        return TAssemblyFileKind::Template;
    if (!rich && !placeholders)
        return TAssemblyFileKind::Information;
    return TAssemblyFileKind::Other;
}
