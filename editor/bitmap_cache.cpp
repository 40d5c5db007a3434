#include "editor/bitmap_cache.h"

#include "raster/raster_bitmap.h"

namespace {
// Process-wide: created empty when the module loads, its images freed when it unloads.
BitmapCache gBitmapCache;
}  // namespace

BitmapCache& BitmapCache::Process() { return gBitmapCache; }

bool BitmapCache::Fetch(int id, Loader load, void* context, RasterBitmap** image) {
    LockGuard guard(lock_);
    for (int i = 0; i < entries_.Count(); ++i) {
        const Entry* entry = entries_.Get(i);
        if (entry->id == id) {
            *image = entry->bitmap.get();
            return true;
        }
    }
    *image = nullptr;
    // Loaded under the lock, so two instances starting at once decode an image only once.
    std::unique_ptr<RasterBitmap> loaded;
    if (!load(context, id, &loaded)) return false;
    Entry* entry = entries_.AppendNew();
    if (entry == nullptr) return false;
    entry->id = id;
    entry->bitmap = std::move(loaded);
    *image = entry->bitmap.get();
    return true;
}

int BitmapCache::Count() {
    LockGuard guard(lock_);
    return entries_.Count();
}

long long BitmapCache::PixelBytes() {
    LockGuard guard(lock_);
    long long bytes = 0;
    for (int i = 0; i < entries_.Count(); ++i) {
        const RasterBitmap* bitmap = entries_.Get(i)->bitmap.get();
        if (bitmap != nullptr) bytes += 4LL * bitmap->RowSpan() * bitmap->Height();
    }
    return bytes;
}
