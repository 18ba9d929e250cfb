#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace Rtf2Html {

// The lines of a rich text file, without their line breaks (CR, LF or CR LF).
class TRtfLineSource
{
public:
    // Throws ERtfToHtmlError ("File not found", "File access denied", ...) when the file
    // cannot be opened for reading.
    explicit TRtfLineSource(const std::string &fileName);
    ~TRtfLineSource();
    TRtfLineSource(const TRtfLineSource &) = delete;
    TRtfLineSource &operator=(const TRtfLineSource &) = delete;

    // The next line; false when the file has no more lines. Throws on a read error.
    bool ReadLine(std::string &line);

private:
    bool Fill();

    std::FILE *FFile = nullptr;
    std::vector<char> FBuffer;
    size_t FStart = 0;
    size_t FEnd = 0;
    bool FAtEnd = false;
    uint64_t FUnread = 0;       // bytes of the file not yet read into the buffer
    bool FSkipLineFeed = false; // the last line ended with CR: a LF that follows belongs to it
};

} // namespace Rtf2Html
