#pragma once

#include <string>

// How an evaluated number replaces its expression in a text: two decimals, "." as the
// decimal point whatever the locale, no thousands separators, right-aligned in 12 characters
// by leading spaces; a longer rendering stays whole ("       14.00", "       -0.50").
std::string RenderValue(long double value);
