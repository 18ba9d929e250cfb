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

QString UnknownExtensionMessage(const QString &path)
{
    // A ";" starts a new line in the program's message box.
    return QStringLiteral("Nothing was saved: %1 has no extension this program writes.;"
                          "Use .RTF, .TEM or .INF for rich text, .TXT for text (written as "
                          "rich text) or .HTM or .HTML for an HTML page.")
        .arg(QFileInfo(path).fileName());
}
