#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>

// The language keys of the open dialog's localized texts. A list holds entries "key=text"
// whose keys are 16-bit language identifiers written as four upper-case hexadecimal digits
// (0407 German, 0807 Swiss German) or primary languages written the same way (0007), plus an
// optional "Default" entry.
namespace PreviewLanguage {

// The language identifier of a locale (primary language | sublanguage << 10); 0 for
// languages without one here.
quint16 LanguageId(const QLocale &locale);
// Key 1 and key 2 of a language identifier: "0807" and "0007".
QString FullKey(quint16 languageId);
QString PrimaryKey(quint16 languageId);

// The entry for key 1, else key 2, else the first entry when there is no "Default", else the
// "Default" entry; empty for an empty list.
QString Lookup(const QStringList &list, const QString &key1, const QString &key2);

QStringList DefaultNoPreviewTexts();
QStringList DefaultPreviewCaptions();
QStringList DefaultScaleHints();
QStringList DefaultWordWrapHints();
QStringList DefaultShowPreviewButtonHints();

} // namespace PreviewLanguage
