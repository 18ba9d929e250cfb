#pragma once

#include <string>
#include <string_view>

// The text that the bytes of a plain text file hold, as UTF-16 code units. A file that starts
// with a UTF-16 byte order mark (either order) reads as UTF-16. Otherwise it reads as UTF-8
// when its bytes are valid UTF-8 (after a byte order mark, if there is one), otherwise as code
// page 1252, which takes any bytes. Plain C++, so that the command line reads information files
// without Qt; the editor's codec (TTextFileCodec) reads through it too.
std::u16string DecodeTextFile(std::string_view bytes);
