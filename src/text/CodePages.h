#pragma once

// The Windows code page of a rich text font's character set (\fcharsetN): 1252 for 0, 1251 for
// 204 and so on; 0 where the set names none (the default set 1, the symbol set 2, unknown
// numbers), so that the document's own code page applies.
int CodePageOfCharset(int charset);

// The name iconv knows a code page by, for the code pages that rich text is read in besides
// 1252; null for any other.
const char *IconvNameOfCodePage(int codePage);
