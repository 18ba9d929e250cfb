// Built fully static and run when configuring: the front program may be linked so only when
// a static program still reaches the system's code page converters (the C library loads them
// at run time) and its locales.
#include <clocale>
#include <cstring>
#include <iconv.h>

static bool Converts(const char *codePage, const char *bytes, const char *expected)
{
    const iconv_t converter = iconv_open("UTF-8", codePage);
    if (converter == reinterpret_cast<iconv_t>(-1))
        return false;
    char in[8];
    std::strcpy(in, bytes);
    char out[16] = {};
    char *inPointer = in;
    char *outPointer = out;
    std::size_t inLeft = std::strlen(in);
    std::size_t outLeft = sizeof out - 1;
    const bool done = iconv(converter, &inPointer, &inLeft, &outPointer, &outLeft) == 0;
    iconv_close(converter);
    return done && std::strcmp(out, expected) == 0;
}

int main()
{
    if (!std::setlocale(LC_ALL, "C.UTF-8") && !std::setlocale(LC_ALL, "C"))
        return 1;
    // Cyrillic "Ж" in code page 1251, and "日" in Shift-JIS.
    return Converts("CP1251", "\xc6", "\xd0\x96") && Converts("SHIFT_JIS", "\x93\xfa", "\xe6\x97\xa5") ? 0 : 1;
}
