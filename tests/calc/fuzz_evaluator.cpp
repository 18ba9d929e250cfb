// Any text given to the evaluator and to the replacement ends in a value or an error text,
// never in a crash or a hang.
#include "calc/ExpressionEvaluator.h"
#include "calc/TStringManager.h"
#include "calc/ValueRendering.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size);
    const long double value = EvaluateExpression(text);
    if (GetExpressionError().empty())
        RenderValue(value);
    else if (value != 0)
        std::abort();

    // The first two bytes choose the lengths of the search and replacement texts.
    if (size >= 2) {
        const std::size_t f = data[0] % 5;
        const std::size_t r = data[1] % 9;
        std::string target = text.substr(2);
        const std::string search = target.substr(0, f);
        const std::string replacement = target.substr(std::min(target.size(), f), r);
        const std::size_t before = target.size();
        const int count = StringManager.Replace(search, replacement, target, data[0] & 0x20,
                                                data[0] & 0x40, data[0] & 0x80);
        if (count < 0 || target.size() != before + std::size_t(count) * replacement.size() -
                                              std::size_t(count) * search.size())
            std::abort();
    }
    return 0;
}
