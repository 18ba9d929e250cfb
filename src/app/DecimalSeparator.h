#pragma once

class QLocale;

// The decimal separator of the locale as the evaluator reads numbers: a single character of
// code page 1252, or "." when the locale's separator is none (several characters, or one that
// 1252 cannot hold).
char DecimalSeparatorOf(const QLocale &locale);

// Makes the evaluator read numbers with the user's decimal separator; run once at start-up.
void UseSystemDecimalSeparator();
