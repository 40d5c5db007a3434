#include "editor/bitmap_cache.h"

#include "raster/raster_bitmap.h"

namespace {
// Process-wide: created empty when the module loads, its images freed when it unloads.
BitmapCache gBitmapCache;
}  // namespace

BitmapCache& BitmapCache::Process() { return gBitmapCache; }

RasterBitmap* BitmapCache::Fetch(int id, Loader load, void* context) {
    LockGuard guard(lock_);
    for (const Entry& entry : entries_) {
        if (entry.id == id) return entry.bitmap.get();
    }
    // Loaded under the lock, so two instances starting at once decode an image only once.
    entries_.push_back({id, load(context, id)});
    return entries_.back().bitmap.get();
}

int BitmapCache::Count() {
    LockGuard guard(lock_);
    return static_cast<int>(entries_.size());
}

long long BitmapCache::PixelBytes() {
    LockGuard guard(lock_);
    long long bytes = 0;
    for (const Entry& entry : entries_) {
        if (entry.bitmap) bytes += 4LL * entry.bitmap->RowSpan() * entry.bitmap->Height();
    }
    return bytes;
}
