#include "richedit/LanguageCodePages.h"

#include <QLocale>

namespace {
struct LanguageEntry
{
    QLocale::Language Language;
    int PrimaryId; // low 10 bits of the locale identifier
};

// The languages whose code page is not 1252, by primary language id.
int CodePageOfPrimary(int primary, int sublanguage)
{
    switch (primary) {
    case 0x01: // Arabic
    case 0x20: // Urdu
    case 0x29: // Farsi
        return 1256;
    case 0x02: // Bulgarian
    case 0x19: // Russian
    case 0x22: // Ukrainian
    case 0x23: // Belarusian
    case 0x2F: // Macedonian
    case 0x3F: // Kazakh
    case 0x44: // Tatar
    case 0x50: // Mongolian
        return 1251;
    case 0x1A: // Croatian, Serbian (Latin 1250, Cyrillic 1251)
        return (sublanguage == 0x03 || sublanguage == 0x07) ? 1251 : 1250;
    case 0x04: // Chinese: Taiwan and Hong Kong use Big5
        return (sublanguage == 0x01 || sublanguage == 0x03 || sublanguage == 0x05) ? 950 : 936;
    case 0x05: // Czech
    case 0x0E: // Hungarian
    case 0x15: // Polish
    case 0x18: // Romanian
    case 0x1B: // Slovak
    case 0x1C: // Albanian
    case 0x24: // Slovenian
        return 1250;
    case 0x08: // Greek
        return 1253;
    case 0x0D: // Hebrew
        return 1255;
    case 0x11: // Japanese
        return 932;
    case 0x12: // Korean
        return 949;
    case 0x1E: // Thai
        return 874;
    case 0x1F: // Turkish
    case 0x2C: // Azeri (Latin)
    case 0x43: // Uzbek (Latin)
        return 1254;
    case 0x25: // Estonian
    case 0x26: // Latvian
    case 0x27: // Lithuanian
        return 1257;
    case 0x2A: // Vietnamese
        return 1258;
    default:
        return 1252;
    }
}

const LanguageEntry Languages[] = {
    {QLocale::Arabic, 0x01},     {QLocale::Bulgarian, 0x02},  {QLocale::Catalan, 0x03},
    {QLocale::Chinese, 0x04},    {QLocale::Czech, 0x05},      {QLocale::Danish, 0x06},
    {QLocale::German, 0x07},     {QLocale::Greek, 0x08},      {QLocale::English, 0x09},
    {QLocale::Spanish, 0x0A},    {QLocale::Finnish, 0x0B},    {QLocale::French, 0x0C},
    {QLocale::Hebrew, 0x0D},     {QLocale::Hungarian, 0x0E},  {QLocale::Icelandic, 0x0F},
    {QLocale::Italian, 0x10},    {QLocale::Japanese, 0x11},   {QLocale::Korean, 0x12},
    {QLocale::Dutch, 0x13},      {QLocale::Polish, 0x15},     {QLocale::Portuguese, 0x16},
    {QLocale::Romanian, 0x18},   {QLocale::Russian, 0x19},    {QLocale::Croatian, 0x1A},
    {QLocale::Slovak, 0x1B},     {QLocale::Albanian, 0x1C},   {QLocale::Swedish, 0x1D},
    {QLocale::Thai, 0x1E},       {QLocale::Turkish, 0x1F},    {QLocale::Ukrainian, 0x22},
    {QLocale::Slovenian, 0x24},  {QLocale::Estonian, 0x25},   {QLocale::Latvian, 0x26},
    {QLocale::Lithuanian, 0x27}, {QLocale::Vietnamese, 0x2A},
};
} // namespace

int AnsiCodePageOf(int language)
{
    return CodePageOfPrimary(language & 0x3FF, (language >> 10) & 0x3F);
}

int SystemLanguage()
{
    const QLocale locale = QLocale::system();
    if (locale.language() == QLocale::English || locale.language() == QLocale::C)
        return locale.territory() == QLocale::UnitedKingdom ? 0x0809 : 0x0409;
    for (const LanguageEntry &entry : Languages)
        if (entry.Language == locale.language())
            return 0x0400 | entry.PrimaryId; // the language's default sublanguage
    return 0x0409;
}
