// FontCache: the fonts of the whole process by size, orientation, style and face, shared by
// every editor and kept until the module is unloaded. Editors of several instances may run on
// several window threads: the cache's lock makes lookups and appends whole, and whoever draws or
// measures with a cached font holds it too (Lock), since drawing changes the font's colour and
// glyph cache and the glyph scratch bitmaps every font shares.
#pragma once

#include <memory>

#include "editor/editor_types.h"
#include "plugin/plugin_lock.h"
#include "plugin/pointer_list.h"

class CachedFont;

class FontCache {
public:
    static FontCache& Process();

    // The font for the style (made on its first request); null when none can be made, memory
    // running short included (nothing is cached then, so a later request tries again).
    RasterFont* Find(const TextStyle& style);
    // Held around every use of a cached font; re-entrant, so Find may be called inside.
    PluginLock& Lock() { return lock_; }

private:
    struct Entry {
        int32_t size = 0;
        int32_t orientation = 0;
        int32_t style = 0;
        char face[32] = "";
        std::unique_ptr<CachedFont> font;
    };

    PluginLock lock_;
    PointerList<Entry> entries_;
};
