#pragma once

#include <QString>

#include <functional>

class QPicture;

// The pages of a print preview on disk: page N is the file "PreviewMetafile"N in the working
// folder, a saved page recording, zlib-compressed into N".CPR" when the store compresses. The
// store keeps no count; the numbers run from 0 without a gap, so the first missing file ends
// them.
class TPreviewPageStore
{
public:
    explicit TPreviewPageStore(bool compressed = true) : FCompressed(compressed) {}

    bool Compressed() const { return FCompressed; }
    void SetCompressed(bool compressed) { FCompressed = compressed; }

    // File name of a page: "PreviewMetafile"N, with ".CPR" when compressed.
    static QString FileName(int index, bool compressed);

    // Writes page index over any page of that number. When its file cannot be created,
    // unwritable runs first (to tell the user); a compressing store then throws, as there is
    // nothing to compress, which ends the preview.
    void Store(int index, const QPicture &page, const std::function<void()> &unwritable) const;
    // Reads page index back; false when it is missing or does not decompress.
    bool Load(int index, QPicture &page) const;
    bool Exists(int index) const;
    // Removes the pages from 0 up to the first missing one.
    void DeleteAll() const;

private:
    bool FCompressed;
};
