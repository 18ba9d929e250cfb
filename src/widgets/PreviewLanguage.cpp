#include "widgets/PreviewLanguage.h"

namespace {

struct LanguageCode
{
    QLocale::Language Language;
    quint16 Primary;
};

// Primary language identifiers of the languages a desktop is likely to run in.
const LanguageCode PrimaryLanguages[] = {
    {QLocale::Arabic, 0x01},     {QLocale::Bulgarian, 0x02},
    {QLocale::Catalan, 0x03},    {QLocale::Chinese, 0x04},
    {QLocale::Czech, 0x05},      {QLocale::Danish, 0x06},
    {QLocale::German, 0x07},     {QLocale::Greek, 0x08},
    {QLocale::English, 0x09},    {QLocale::Spanish, 0x0A},
    {QLocale::Finnish, 0x0B},    {QLocale::French, 0x0C},
    {QLocale::Hebrew, 0x0D},     {QLocale::Hungarian, 0x0E},
    {QLocale::Icelandic, 0x0F},  {QLocale::Italian, 0x10},
    {QLocale::Japanese, 0x11},   {QLocale::Korean, 0x12},
    {QLocale::Dutch, 0x13},      {QLocale::NorwegianBokmal, 0x14},
    {QLocale::Polish, 0x15},     {QLocale::Portuguese, 0x16},
    {QLocale::Romanian, 0x18},   {QLocale::Russian, 0x19},
    {QLocale::Croatian, 0x1A},   {QLocale::Slovak, 0x1B},
    {QLocale::Albanian, 0x1C},   {QLocale::Swedish, 0x1D},
    {QLocale::Thai, 0x1E},       {QLocale::Turkish, 0x1F},
    {QLocale::Indonesian, 0x21}, {QLocale::Ukrainian, 0x22},
    {QLocale::Slovenian, 0x24},  {QLocale::Estonian, 0x25},
    {QLocale::Latvian, 0x26},    {QLocale::Lithuanian, 0x27},
    {QLocale::Vietnamese, 0x2A}, {QLocale::NorwegianNynorsk, 0x14},
};

struct Sublanguage
{
    QLocale::Language Language;
    QLocale::Territory Territory;
    quint16 Sub;
};

// Territories whose sublanguage is not the first one.
const Sublanguage Sublanguages[] = {
    {QLocale::German, QLocale::Switzerland, 2},    {QLocale::German, QLocale::Austria, 3},
    {QLocale::German, QLocale::Luxembourg, 4},     {QLocale::German, QLocale::Liechtenstein, 5},
    {QLocale::English, QLocale::UnitedKingdom, 2}, {QLocale::English, QLocale::Australia, 3},
    {QLocale::English, QLocale::Canada, 4},        {QLocale::English, QLocale::NewZealand, 5},
    {QLocale::English, QLocale::Ireland, 6},       {QLocale::English, QLocale::SouthAfrica, 7},
    {QLocale::French, QLocale::Belgium, 2},        {QLocale::French, QLocale::Canada, 3},
    {QLocale::French, QLocale::Switzerland, 4},    {QLocale::French, QLocale::Luxembourg, 5},
    {QLocale::Dutch, QLocale::Belgium, 2},         {QLocale::Spanish, QLocale::Mexico, 2},
    {QLocale::Italian, QLocale::Switzerland, 2},   {QLocale::Portuguese, QLocale::Portugal, 2},
    {QLocale::Swedish, QLocale::Finland, 2},       {QLocale::NorwegianNynorsk, QLocale::Norway, 2},
};

QString Hex4(quint16 value)
{
    return QStringLiteral("%1").arg(value, 4, 16, QLatin1Char('0')).toUpper();
}

QStringList Table(const char *defaultText, const char *danish, const char *german,
                  const char *french, const char *dutch)
{
    const QString english = QString::fromUtf8(defaultText);
    const QString da = QString::fromUtf8(danish);
    const QString de = QString::fromUtf8(german);
    const QString fr = QString::fromUtf8(french);
    const QString nl = QString::fromUtf8(dutch);
    return {"Default=" + english, "0006=" + da, "0007=" + de, "0009=" + english,
            "000C=" + fr,         "0013=" + nl, "0406=" + da, "0407=" + de,
            "0409=" + english,    "040C=" + fr, "0413=" + nl};
}

} // namespace

namespace PreviewLanguage {

quint16 LanguageId(const QLocale &locale)
{
    for (const LanguageCode &code : PrimaryLanguages) {
        if (code.Language != locale.language())
            continue;
        quint16 sub = 1;
        for (const Sublanguage &s : Sublanguages) {
            if (s.Language == locale.language() && s.Territory == locale.territory())
                sub = s.Sub;
        }
        return quint16(code.Primary | (sub << 10));
    }
    return 0;
}

QString FullKey(quint16 languageId)
{
    return Hex4(languageId);
}

QString PrimaryKey(quint16 languageId)
{
    return Hex4(languageId & 0x3FF);
}

QString Lookup(const QStringList &list, const QString &key1, const QString &key2)
{
    if (list.isEmpty())
        return QString();
    const auto valueOf = [&](const QString &key, QString *value) {
        for (const QString &entry : list) {
            const int eq = entry.indexOf(QLatin1Char('='));
            const QString name = eq < 0 ? entry : entry.left(eq);
            if (name.compare(key, Qt::CaseInsensitive) == 0) {
                *value = eq < 0 ? QString() : entry.mid(eq + 1);
                return true;
            }
        }
        return false;
    };
    QString value;
    if (valueOf(key1, &value) || valueOf(key2, &value))
        return value;
    if (!valueOf(QStringLiteral("Default"), &value)) {
        const QString &first = list.first();
        const int eq = first.indexOf(QLatin1Char('='));
        return eq < 0 ? QString() : first.mid(eq + 1);
    }
    return value;
}

QStringList DefaultNoPreviewTexts()
{
    return Table("No preview", "Ingen visning", "Keine Vorschau", "Rien de montrer",
                 "Geen voorbeeld");
}

QStringList DefaultPreviewCaptions()
{
    return Table("Preview:", "Prøvevisning:", "Vorschau:", "Épreuve:", "Voorbeeld:");
}

QStringList DefaultScaleHints()
{
    return Table("Scale to fit", "Komprimér størrelse", "Größe anpassen", "Compression",
                 "Opschalen");
}

QStringList DefaultWordWrapHints()
{
    return Table("Word-wrap", "Liniedeling", "Zeilenumbruch", "Division de lignes",
                 "Regels afbreken");
}

QStringList DefaultShowPreviewButtonHints()
{
    return Table("Show Preview", "Vis prøve", "Vorschau", "Montrer l'epreuve", "Toon Voorbeeld");
}

} // namespace PreviewLanguage
