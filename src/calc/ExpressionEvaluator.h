#pragma once

#include <string>

// Arithmetic on short expressions typed into a document ("12*3+4", "sqrt(2)").
// Texts are single-byte (code page 1252); numbers are 80-bit extended (long double).
//
// Calling order: EvaluateExpression, then GetExpressionError. The number may be used only
// when the error text is empty; a failed evaluation returns 0.
// Not reentrant: the last error is one shared text, so evaluations must not interleave.

// Evaluates the expression. Never throws: on failure returns 0 and keeps the message
// for GetExpressionError.
long double EvaluateExpression(const std::string &expression);

// The message of the last evaluation's failure; empty when it succeeded.
std::string GetExpressionError();

// The decimal separator that numbers in expressions use (the user's locale). Until it is
// set, the C library's current locale (localeconv) decides.
void SetDecimalSeparator(char separator);
char DecimalSeparator();
