#pragma once

#include <string>

// How a value of the information file is merged. A value that holds an operator character
// ("*", "+", "-", "/", "^") is computed: the evaluator's number, two decimals in 12
// characters, takes its place (12*3 becomes "       36.00"); a value the evaluator rejects stays
// as written. A value that starts with an apostrophe and holds an operator character is merged
// as written without the apostrophe ('08/12/2026 becomes 08/12/2026), as spreadsheets do. A
// value in which two numbers stand with only spaces between them ("+1 555 123 4567", "1 1/2")
// is written text, not a sum, and is merged as written.

// Whether the value holds an operator character.
bool HasOperator(const std::string &value);
// Whether the value is merged as written because of its leading apostrophe.
bool IsQuotedValue(const std::string &value);
// Whether the value goes to the evaluator.
bool IsComputedValue(const std::string &value);
// The text that takes the placeholder's place.
std::string MergedValue(const std::string &value);

// Whether a computed value looks like something that is no sum: a date, a time, a phone number
// or a code. That is digit groups joined only by "/", "-", "." or ":" (08/12/2026, 555-0142,
// 10.30-11.00), a number written with a leading zero (01632 ...), or "+" and seven digits or
// more (+4930123456).
bool LooksLikeDateOrCode(const std::string &value);
