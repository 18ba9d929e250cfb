#pragma once

#include <string>

// How an evaluated number replaces its expression in a text: two decimals, "." as the
// decimal point whatever the locale, no thousands separators, right-aligned in 12 characters
// by leading spaces; a longer rendering stays whole ("       14.00", "       -0.50").
// Rounding works on the value's 18-significant-digit decimal form, halves away from zero, so
// that it follows the number the user typed (1.005 gives 1.01). A negative value that rounds
// to zero shows its sign ("-0.00"); negative zero does not. From 10^36 on the value is written
// in exponent notation ("1.00e+36").
std::string RenderValue(long double value);
