// zarvel-cli eval: the evaluator of "Math calculate" on one expression.
#include "CliCommand.h"

#include "calc/ExpressionEvaluator.h"
#include "calc/ValueRendering.h"

#include <clocale>
#include <cstdio>
#include <cstring>

namespace {
// Numbers in the expression use the user's decimal separator, as in the program: the one of
// the numeric locale that the environment names (LC_ALL, LC_NUMERIC, LANG). The C library's
// own reading and writing of numbers goes back to the "C" locale the evaluator expects.
void UseSystemDecimalSeparator()
{
    if (!std::setlocale(LC_NUMERIC, ""))
        return;
    const char *point = std::localeconv()->decimal_point;
    if (point && std::strlen(point) == 1 && static_cast<unsigned char>(point[0]) < 0x80)
        SetDecimalSeparator(point[0]);
    std::setlocale(LC_NUMERIC, "C");
}

int Eval(const std::vector<std::string> &args)
{
    if (args.empty())
        throw CliUsageError("an expression is needed");
    // Words the shell split apart belong to one expression; spaces do not count in it.
    std::string expression;
    for (const std::string &word : args)
        expression += (expression.empty() ? "" : " ") + word;

    UseSystemDecimalSeparator();
    const long double value = EvaluateExpression(expression);
    const std::string error = GetExpressionError();
    if (!error.empty()) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    std::printf("%s\n", RenderValue(value).c_str());
    return 0;
}

const CliCommand EvalCommand("eval", "EXPR", Eval,
                             "Evaluates an arithmetic expression as \"Math calculate\" does and "
                             "prints the value\nas the merge writes it. Numbers use the "
                             "decimal separator of the user's locale.\nThe expression may "
                             "start with a minus sign; it is never read as an option.");
} // namespace
