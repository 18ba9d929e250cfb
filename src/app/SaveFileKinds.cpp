#include "app/SaveFileKinds.h"

#include <QFileInfo>

QString UpperExtension(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot).toUpper();
}

TSaveKind SaveKindOf(const QString &path)
{
    const QString extension = UpperExtension(path);
    if (extension.isEmpty())
        return TSaveKind::Unknown;
    if (QStringLiteral(".RTF.TEM.INF").contains(extension))
        return TSaveKind::RichText;
    if (QStringLiteral(".TXT").contains(extension))
        return TSaveKind::PlainText;
    if (QStringLiteral(".HTM.HTML").contains(extension))
        return TSaveKind::Html;
    return TSaveKind::Unknown;
}

bool IsPlainTextName(const QString &path)
{
    return SaveKindOf(path) == TSaveKind::PlainText ||
           UpperExtension(path) == QLatin1String(".INF");
}

QString UnknownExtensionMessage(const QString &path)
{
    // A ";" starts a new line in the program's message box.
    return QStringLiteral("Nothing was saved: %1 has no extension this program writes.;"
                          "Use .RTF or .TEM for rich text, .TXT or .INF for plain text or "
                          ".HTM or .HTML for an HTML page.")
        .arg(QFileInfo(path).fileName());
}
