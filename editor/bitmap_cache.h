// BitmapCache: the decoded panel images of the whole process, by resource id, so a second
// instance of the plug-in reuses what the first one loaded. Entries are only appended, a missing
// image included, and live until the module is unloaded. Any thread may fetch; the cache's own
// lock makes lookups and appends whole.
#pragma once

#include <memory>
#include <vector>

#include "plugin/plugin_lock.h"

class RasterBitmap;

class BitmapCache {
public:
    using Loader = std::unique_ptr<RasterBitmap> (*)(void* context, int id);

    // The process-wide cache.
    static BitmapCache& Process();

    // The image for the id; on its first request, load(context, id) decides it, null included.
    RasterBitmap* Fetch(int id, Loader load, void* context);
    int Count();
    // Bytes of pixel storage the cached images hold.
    long long PixelBytes();

private:
    struct Entry {
        int id;
        std::unique_ptr<RasterBitmap> bitmap;
    };

    PluginLock lock_;
    std::vector<Entry> entries_;
};
