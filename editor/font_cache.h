// FontCache: the fonts of the whole process by size, orientation, style and face, shared by
// every editor and kept until the module is unloaded. Fonts are made and drawn with on the
// window thread; the cache's own lock makes lookups and appends whole.
#pragma once

#include <memory>
#include <vector>

#include "editor/editor_types.h"
#include "plugin/plugin_lock.h"

class CachedFont;

class FontCache {
public:
    static FontCache& Process();

    // The font for the style (made on its first request); null when none can be made.
    RasterFont* Find(const TextStyle& style);

private:
    struct Entry {
        int32_t size;
        int32_t orientation;
        int32_t style;
        char face[32];
        std::unique_ptr<CachedFont> font;
    };

    PluginLock lock_;
    std::vector<Entry> entries_;
};
