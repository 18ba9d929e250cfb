#pragma once

#include <climits>
#include <cstdint>
#include <string_view>

// Character classes and numbers shared by the sections of the converter's reader.
namespace Rtf2Html::ReaderChars {

constexpr int32_t KMaxStyle = 300;

inline bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

inline bool IsLower(char c)
{
    return c >= 'a' && c <= 'z';
}

// A whole decimal number with an optional minus sign that fits 32 bits, or fallback.
inline int32_t ToInt(std::string_view text, int32_t fallback)
{
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && text[i] == '-') {
        negative = true;
        ++i;
    }
    if (i == text.size())
        return fallback;
    int64_t value = 0;
    for (; i < text.size(); ++i) {
        if (!IsDigit(text[i]))
            return fallback;
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<int64_t>(INT32_MAX) + 1)
            return fallback;
    }
    if (negative)
        value = -value;
    if (value > INT32_MAX || value < INT32_MIN)
        return fallback;
    return static_cast<int32_t>(value);
}

} // namespace Rtf2Html::ReaderChars
