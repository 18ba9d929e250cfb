#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

// Small text and file helpers. Texts are single-byte strings (code page 1252); file names
// are in the file system's encoding (UTF-8).

// The text without leading and trailing spaces (code 32 only; tabs and line breaks stay).
std::string TrimSpaces(const std::string &text);
// The text without the run of character c at its start / at its end.
std::string StripLeading(const std::string &text, char c);
std::string StripTrailing(const std::string &text, char c);
// The last count characters of the text; the whole text when count is not less than its
// length; an empty text when count is 0 or less.
std::string RightPart(const std::string &text, int count);
// The value of a hexadecimal digit (either case), -1 for any other character.
int HexDigitValue(int c);
// Whether what occurs in data. Several times faster than the containers' own searches on
// megabytes of rich text, where the backslash that such words start with is everywhere.
bool ContainsBytes(std::string_view data, std::string_view what);

// The whole file as one text, each line (ended by CR, LF or CR LF) followed by CR LF.
// The content ends at the first byte 0. Throws EFOpenError "Cannot open file <name>".
std::string LoadTextFile(const std::string &fileName);
// The whole file, byte for byte. Throws EFOpenError "Cannot open file <name>", also for a file
// that cannot be read to its end.
std::string LoadFileBytes(const std::string &fileName);
// Writes the bytes of the text unchanged, replacing the file only once all of it is written.
// Throws EFCreateError "Cannot create file <name>" or EWriteError "Cannot write file <name>".
void SaveTextFile(const std::string &fileName, const std::string &text);

// The failures of the file helpers; what() is the user-facing message.
class EStreamError : public std::runtime_error
{
public:
    explicit EStreamError(const std::string &message) : std::runtime_error(message) {}
};

class EFOpenError : public EStreamError
{
public:
    explicit EFOpenError(const std::string &fileName) : EStreamError("Cannot open file " + fileName)
    {
    }
};

class EFCreateError : public EStreamError
{
public:
    explicit EFCreateError(const std::string &fileName)
        : EStreamError("Cannot create file " + fileName)
    {
    }
};

class EWriteError : public EStreamError
{
public:
    explicit EWriteError(const std::string &fileName)
        : EStreamError("Cannot write file " + fileName)
    {
    }
};
