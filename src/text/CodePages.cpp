#include "text/CodePages.h"

int CodePageOfCharset(int charset)
{
    struct TEntry
    {
        int Charset;
        int CodePage;
    };
    static constexpr TEntry Entries[] = {
        {0, 1252},   {77, 10000}, {128, 932},  {129, 949},  {130, 1361}, {134, 936},
        {136, 950},  {161, 1253}, {162, 1254}, {163, 1258}, {177, 1255}, {178, 1256},
        {186, 1257}, {204, 1251}, {222, 874},  {238, 1250}, {254, 437},  {255, 850}};
    for (const TEntry &entry : Entries)
        if (entry.Charset == charset)
            return entry.CodePage;
    return 0;
}
