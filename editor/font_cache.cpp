#include "editor/font_cache.h"

#include <cstring>

#include "plugin/make_nothrow.h"
#include "plugin/text_copy.h"
#include "raster/cached_font.h"
#include "raster/font_handle.h"

namespace {
// Process-wide: created empty when the module loads, its fonts freed when it unloads.
FontCache gFontCache;

FontRequest RequestFor(const TextStyle& style) {
    FontRequest request;
    request.face = style.face;
    request.height = style.size;
    request.escapement = 10 * style.orientation;
    request.weight = style.style == StyleBold ? 700 : 400;
    request.italic = style.style == StyleItalic;
    request.quality = style.quality;
    return request;
}
}  // namespace

FontCache& FontCache::Process() { return gFontCache; }

RasterFont* FontCache::Find(const TextStyle& style) {
    LockGuard guard(lock_);
    for (int i = 0; i < entries_.Count(); ++i) {
        const Entry* entry = entries_.Get(i);
        if (entry->size == style.size && entry->orientation == style.orientation &&
            entry->style == style.style && std::strncmp(entry->face, style.face, 32) == 0) {
            return entry->font.get();
        }
    }
    const FontHandle handle = CreateFontHandle(RequestFor(style));
    if (handle == nullptr) return nullptr;
    auto font = MakeNothrow<CachedFont>();
    if (font == nullptr) {
        DeleteFontHandle(handle);
        return nullptr;
    }
    // From here on the font deletes the handle, also when the entry cannot be had.
    font->SetFromHandle(handle, FontOwnsHandle | FontPreferNative);
    Entry* entry = entries_.AppendNew();
    if (entry == nullptr) return nullptr;
    entry->size = style.size;
    entry->orientation = style.orientation;
    entry->style = style.style;
    CopyText(entry->face, sizeof(entry->face), style.face);
    entry->font = std::move(font);
    return entry->font.get();
}
