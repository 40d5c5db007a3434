// Without GDI, a font handle is a FreeType face found through fontconfig, sized so that its
// ascent and descent fill the requested cell height as GDI's would. Text never takes a native
// path here: every string goes through the glyph cache, as it does under Wine.
#include <dlfcn.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>

#include "raster/font_handle.h"
#include "raster/font_platform.h"
#include "raster/pixel_rows.h"
#include "raster/text_native.h"
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <memory>
#include <new>

namespace {

// Each font has its own FreeType library, so no library object outlives or is shared by fonts.
struct FreeTypeFont {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    int ascent = 0;
    int descent = 0;
    bool monochrome = false;

    ~FreeTypeFont() {
        if (face) {
            FT_Done_Face(face);
        }
        if (library) {
            FT_Done_FreeType(library);
        }
    }
};

// fontconfig keeps its configuration, the font lists it parsed and the cache files it mapped for
// the whole process, and has no safe way to give them back: FcFini would pull them from under a
// host that uses fontconfig too. Unloaded with this module, it would lose them all, a few hundred
// kilobytes each time a host loads the module again. So the first font pins it in the process,
// where every later load finds it set up.
void KeepFontconfigLoaded() {
    static const bool pinned =
        dlopen("libfontconfig.so.1", RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE) != nullptr;
    (void)pinned;
}

// The installed face fontconfig judges closest to the request: a pattern holding its file and
// index, to be destroyed by the caller; null when there is none.
FcPattern* FindFont(const FontRequest& request) {
    KeepFontconfigLoaded();
    FcPattern* pattern = FcPatternCreate();
    if (!pattern) {
        return nullptr;
    }
    const char* face = request.face && *request.face ? request.face : "Verdana";
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(face));
    FcPatternAddInteger(pattern, FC_WEIGHT,
                        FcWeightFromOpenType(request.weight > 0 ? request.weight : 400));
    FcPatternAddInteger(pattern, FC_SLANT, request.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    return match;
}

// Sizes the face: a positive height is the cell (ascent + descent, from the Windows metrics
// where the font has them), a negative one the character height, 0 a 16-pixel cell.
bool SizeFace(FreeTypeFont* font, int height) {
    FT_Face face = font->face;
    const TT_OS2* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    double ascender = face->ascender, descender = -double(face->descender);
    if (os2 && os2->usWinAscent + os2->usWinDescent > 0) {
        ascender = os2->usWinAscent;
        descender = os2->usWinDescent;
    }
    const double cell = ascender + descender;
    if (!FT_IS_SCALABLE(face) || face->units_per_EM == 0 || cell <= 0) {
        return false;
    }
    if (height == 0) {
        height = 16;
    }
    const double em = height > 0 ? double(height) * face->units_per_EM / cell : -double(height);
    const double cellPixels = height > 0 ? height : std::round(em * cell / face->units_per_EM);
    if (em < 1.0 || em > 30000.0) {
        return false;
    }
    FT_Size_RequestRec size = {};
    size.type = FT_SIZE_REQUEST_TYPE_NOMINAL;
    size.height = FT_Long(std::lround(em * 64.0));
    if (FT_Request_Size(face, &size) != 0) {
        return false;
    }
    font->ascent = int(std::lround(cellPixels * ascender / cell));
    font->descent = int(cellPixels) - font->ascent;
    return true;
}

// The coverage byte of column `c` in a FreeType bitmap row.
inline unsigned Coverage(const FT_Bitmap& bitmap, const unsigned char* row, int c) {
    if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO) {
        return (row[c >> 3] >> (7 - (c & 7)) & 1) ? 255 : 0;
    }
    return row[c];
}

}  // namespace

FontHandle CreateFontHandle(const FontRequest& request) {
    // Nothing here may throw: the editor draws inside the host's process.
    std::unique_ptr<FreeTypeFont> font(new (std::nothrow) FreeTypeFont());
    FcPattern* match = FindFont(request);
    FcChar8* file = nullptr;
    int index = 0;
    bool opened = false;
    if (font && match && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
        if (FcPatternGetInteger(match, FC_INDEX, 0, &index) != FcResultMatch) {
            index = 0;
        }
        if (FT_Init_FreeType(&font->library) != 0) {
            font->library = nullptr;
        } else if (FT_New_Face(font->library, reinterpret_cast<const char*>(file), index,
                               &font->face) != 0) {
            font->face = nullptr;
        } else {
            opened = true;
        }
    }
    if (match) {
        FcPatternDestroy(match);
    }
    if (!opened || !SizeFace(font.get(), request.height)) {
        return nullptr;
    }
    font->monochrome = request.quality == FontQualityPlain;
    return font.release();
}

void DeleteFontHandle(FontHandle handle) { delete static_cast<FreeTypeFont*>(handle); }

int DrawStringNative(const CachedFont&, RasterBitmap*, const char*, int, Rect&, int) { return 0; }

namespace font_platform {

bool IsNtFamily() { return true; }

bool NativeTextAvailable() { return false; }

void PrepareGlyphContext(DeviceContextHandle) {}

int FontHeight(DeviceContextHandle, FontHandle font) {
    const auto* freeType = static_cast<const FreeTypeFont*>(font);
    return freeType ? freeType->ascent + freeType->descent : -1;
}

CharacterBox RenderCharacter(RasterBitmap& scratch, FontHandle font, uint16_t code,
                             int extraWidth) {
    auto* freeType = static_cast<FreeTypeFont*>(font);
    if (!freeType) {
        return {};
    }
    FT_Face face = freeType->face;
    const FT_Int32 load = freeType->monochrome ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_NORMAL;
    if (FT_Load_Glyph(face, FT_Get_Char_Index(face, code), load) != 0) {
        return {};
    }
    // As GDI measures one character on a single line: its advance by the cell height.
    const int advance = int((face->glyph->advance.x + 32) >> 6);
    CharacterBox box;
    box.measuredWidth = advance;
    box.right = advance + extraWidth;
    box.bottom = freeType->ascent + freeType->descent;

    PixelRows rows;
    const FT_Render_Mode mode = freeType->monochrome ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL;
    if (box.right <= 0 || !GetPixelRows(scratch, &rows) ||
        FT_Render_Glyph(face->glyph, mode) != 0) {
        return box;
    }
    // Drawn white on black inside the box, cut to the scratch bitmap, as DrawText clips.
    const FT_Bitmap& bitmap = face->glyph->bitmap;
    const int right = std::min(box.right, rows.width);
    const int bottom = std::min(box.bottom, rows.height);
    const int left = face->glyph->bitmap_left;
    const int top = freeType->ascent - face->glyph->bitmap_top;
    const int pitch = bitmap.pitch;
    for (int r = 0; r < int(bitmap.rows); ++r) {
        const int y = top + r;
        if (y < 0 || y >= bottom) {
            continue;
        }
        const unsigned char* source =
            bitmap.buffer + (pitch >= 0 ? r * pitch : (int(bitmap.rows) - 1 - r) * -pitch);
        uint32_t* row = rows.Row(y);
        for (int c = 0; c < int(bitmap.width); ++c) {
            const int x = left + c;
            if (x >= 0 && x < right) {
                row[x] = Coverage(bitmap, source, c) * 0x010101u;
            }
        }
    }
    return box;
}

}  // namespace font_platform
