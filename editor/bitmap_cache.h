// BitmapCache: the decoded panel images of the whole process, by resource id, so a second
// instance of the plug-in reuses what the first one loaded. Entries are only appended, a missing
// image included, and live until the module is unloaded. Any thread may fetch; the cache's own
// lock makes lookups and appends whole.
#pragma once

#include <memory>

#include "plugin/plugin_lock.h"
#include "plugin/pointer_list.h"

class RasterBitmap;

class BitmapCache {
public:
    // Sets *image to the image for the id, or to null when there is none; false when memory
    // ran short.
    using Loader = bool (*)(void* context, int id, std::unique_ptr<RasterBitmap>* image);

    // The process-wide cache.
    static BitmapCache& Process();

    // Sets *image to the image for the id; on its first request, load(context, id, ...)
    // decides it, null included. False, with nothing cached, when the loader or the cache's
    // own entry ran short of memory: a later request loads again.
    bool Fetch(int id, Loader load, void* context, RasterBitmap** image);
    int Count();
    // Bytes of pixel storage the cached images hold.
    long long PixelBytes();

private:
    struct Entry {
        int id = 0;
        std::unique_ptr<RasterBitmap> bitmap;
    };

    PluginLock lock_;
    PointerList<Entry> entries_;
};
