// The panel's images at a scale other than 100%. The module carries every image twice: at 1x
// under its resource id, and drawn at twice the size under kDoubleSizeIdOffset + that id. At 200%
// the double-size image is drawn as it is; any other scale is composed once, frame by frame with
// an area filter, from the double-size set (from the 1x set below 100%, and from 1x when a
// double-size image is missing), and cached process-wide in the image cache beside the images
// it came from. ScaledImages is an editor's table from the 1x images its strips hold to those
// they stand for at the editor's scale, so a frame's draw looks up a pointer and nothing more.
// Window thread only; the table is fixed, so it never allocates.
#pragma once

#include <memory>

#include "editor/editor_types.h"

class RasterBitmap;

constexpr int kDoubleSizeIdOffset = 1000;

// The strip with each of its frames resized to frameWidth x frameHeight by the area filter and
// laid out as the source lays them; null when memory is short.
std::unique_ptr<RasterBitmap> ComposeScaledStrip(const RasterBitmap& source, int frames,
                                                 bool sideBySide, int frameWidth, int frameHeight);

// A strip as an editor at some scale draws it: its bitmap and the size of one frame.
struct ScaledStrip {
    const RasterBitmap* bitmap = nullptr;
    int frameWidth = 0;
    int frameHeight = 0;
};

class ScaledImages {
public:
    static constexpr int kCapacity = 16;

    // Notes which resource a 1x image is; one already noted, or past the capacity, is ignored.
    void Remember(const RasterBitmap* image, int id, const char* name);
    // The resource of a noted image, or false.
    bool Find(const RasterBitmap* image, int* id, const char** name) const;
    // The strip already resolved for the image at the percentage, or false.
    bool Resolved(const RasterBitmap* image, int percent, ScaledStrip* strip) const;
    void Resolve(const RasterBitmap* image, int percent, const ScaledStrip& strip);

private:
    struct Entry {
        const RasterBitmap* image = nullptr;
        int id = 0;
        const char* name = nullptr;
        int percent = 0;  // 0 while unresolved
        ScaledStrip scaled;
    };
    const Entry* Lookup(const RasterBitmap* image) const;

    Entry entries_[kCapacity];
    int count_ = 0;
};
