#pragma once

#include <QString>

// Moves one page file through zlib: the file's bytes as one zlib stream (header and checksum)
// at the fastest level, and back.
class TCompress
{
public:
    // Throws std::runtime_error when a file cannot be read or written.
    static void CompressFile(const QString &source, const QString &destination);
    // False when the source cannot be opened or is not a complete zlib stream; a destination
    // written in part is removed again.
    static bool DecompressFile(const QString &source, const QString &destination);

private:
    static constexpr int BufferSize = 4096;
};
