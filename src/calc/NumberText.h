#pragma once

#include <optional>
#include <string_view>

// Converts an operand of an expression as a number: an optional sign "+" or "-", digits,
// optionally `separator` and digits, optionally "e" followed by an optional sign and digits,
// and nothing else. At least one digit or the separator stands before the exponent; a lone
// separator reads as 0 and "e" without digits as exponent 0. The exponent is read only until
// its value reaches 500. Empty when the text does not fit or its value lies beyond the
// extended range; a value too small for it becomes 0 or a denormal number.
std::optional<long double> TextToNumber(std::string_view text, char separator);
