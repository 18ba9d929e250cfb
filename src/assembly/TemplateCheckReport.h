#pragma once

#include <string>

class TTemplateCheck;

// The check of a template in words, as zarvel-cli check prints it and the window's "Check
// Template" shows it: the placeholders the merge will see, those without a value, the pairs
// no placeholder uses, the values that will be computed with their results (and a warning
// where one looks like a date, a time, a phone number or a code), the placeholders split by
// formatting, and how the merge ends. Lines end with LF; the text is code page 1252, and
// control characters of the files' texts are written as escapes (\r, \t, \x0B).
//
// informationName names the information file in the text; the template alone is checked when
// the check has no information lines.
std::string TemplateCheckReport(const TTemplateCheck &check, const std::string &informationName,
                                bool overwriteMode);
