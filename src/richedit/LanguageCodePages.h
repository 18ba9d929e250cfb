#pragma once

// Locale identifiers of the rich text control's Language and their ANSI code pages.

// The ANSI code page of a locale identifier (1252 for 1033 and the other Western languages).
int AnsiCodePageOf(int language);
// The locale identifier of the system's locale (1033 when it is not known).
int SystemLanguage();
