#include "editor/scaled_images.h"

#include "plugin/make_nothrow.h"
#include "raster/area_resample.h"
#include "raster/mem_bitmap.h"

std::unique_ptr<RasterBitmap> ComposeScaledStrip(const RasterBitmap& source, int frames,
                                                 bool sideBySide, int frameWidth, int frameHeight) {
    if (frames < 1 || frameWidth <= 0 || frameHeight <= 0) return nullptr;
    const int across = sideBySide ? frames : 1;
    const int down = sideBySide ? 1 : frames;
    auto strip = MakeNothrow<MemBitmap>(frameWidth * across, frameHeight * down);
    if (strip == nullptr || strip->Bits() == nullptr) return nullptr;
    const int sourceWidth = source.Width() / across;
    const int sourceHeight = source.Height() / down;
    for (int f = 0; f < frames; ++f) {
        const int col = sideBySide ? f : 0;
        const int row = sideBySide ? 0 : f;
        const Rect from{col * sourceWidth, row * sourceHeight, (col + 1) * sourceWidth,
                        (row + 1) * sourceHeight};
        if (!ResampleArea(source, from, *strip, col * frameWidth, row * frameHeight, frameWidth,
                          frameHeight)) {
            return nullptr;
        }
    }
    return strip;
}

const ScaledImages::Entry* ScaledImages::Lookup(const RasterBitmap* image) const {
    for (int i = 0; i < count_; ++i) {
        if (entries_[i].image == image) return &entries_[i];
    }
    return nullptr;
}

void ScaledImages::Remember(const RasterBitmap* image, int id, const char* name) {
    if (image == nullptr || Lookup(image) != nullptr || count_ == kCapacity) return;
    entries_[count_++] = {image, id, name, 0, {}};
}

bool ScaledImages::Find(const RasterBitmap* image, int* id, const char** name) const {
    const Entry* entry = Lookup(image);
    if (entry == nullptr) return false;
    *id = entry->id;
    *name = entry->name;
    return true;
}

bool ScaledImages::Resolved(const RasterBitmap* image, int percent, ScaledStrip* strip) const {
    const Entry* entry = Lookup(image);
    if (entry == nullptr || entry->percent != percent) return false;
    *strip = entry->scaled;
    return true;
}

void ScaledImages::Resolve(const RasterBitmap* image, int percent, const ScaledStrip& strip) {
    auto* entry = const_cast<Entry*>(Lookup(image));
    if (entry == nullptr) return;
    entry->percent = percent;
    entry->scaled = strip;
}
