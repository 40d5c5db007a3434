// GDI fonts: glyphs are measured and drawn by DrawText into the glyph scratch bitmap's memory DC.
#include <windows.h>

#include <atomic>

#include "raster/font_handle.h"
#include "raster/font_platform.h"

static_assert(FormatCenter == DT_CENTER && FormatRight == DT_RIGHT && FormatVCenter == DT_VCENTER &&
                  FormatBottom == DT_BOTTOM && FormatSingleLine == DT_SINGLELINE &&
                  FormatNoClip == DT_NOCLIP && FormatCalcRect == DT_CALCRECT &&
                  FormatNoPrefix == DT_NOPREFIX,
              "the format word passes straight to DrawText");
static_assert(BackTransparent == TRANSPARENT && BackOpaque == OPAQUE, "GDI back modes");

namespace {

// Process-wide, constant: computed once when the module loads. The NT family has the top bit
// of GetVersion's result clear.
const bool kNtFamily = (GetVersion() & 0x80000000u) == 0;

// Process-wide: whether the process runs under Wine: -1 not yet tested, 0 no, 1 yes. The registry
// is consulted at the first text drawn, not at load, where the loader lock is held.
std::atomic<int> gWineState{-1};

bool RegistryHasWineKey() {
    HKEY key = nullptr;
    if (RegOpenKeyA(HKEY_LOCAL_MACHINE, "Software\\Wine", &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

DWORD GdiQuality(int quality) {
    switch (quality) {
        case FontQualityPlain: return NONANTIALIASED_QUALITY;
        case FontQualityAntialiased: return ANTIALIASED_QUALITY;
        case FontQualityClearType: return CLEARTYPE_QUALITY;
        default: return DEFAULT_QUALITY;
    }
}

}  // namespace

FontHandle CreateFontHandle(const FontRequest& request) {
    return CreateFontA(request.height, 0, request.escapement, request.escapement, request.weight,
                       request.italic, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, GdiQuality(request.quality),
                       DEFAULT_PITCH | FF_DONTCARE, request.face);
}

void DeleteFontHandle(FontHandle handle) {
    if (handle) {
        DeleteObject(static_cast<HGDIOBJ>(handle));
    }
}

namespace font_platform {

bool IsNtFamily() { return kNtFamily; }

bool NativeTextAvailable() {
    // Any thread that finds it untested tests it; every one finds the same answer.
    int state = gWineState.load(std::memory_order_acquire);
    if (state < 0) {
        state = RegistryHasWineKey() ? 1 : 0;
        gWineState.store(state, std::memory_order_release);
    }
    return state == 0;
}

void PrepareGlyphContext(DeviceContextHandle context) {
    HDC dc = static_cast<HDC>(context);
    if (dc) {
        SetTextColor(dc, RGB(255, 255, 255));
        SetBkMode(dc, OPAQUE);
        SetBkColor(dc, RGB(0, 0, 0));
    }
}

int FontHeight(DeviceContextHandle scratchContext, FontHandle font) {
    HDC dc = static_cast<HDC>(scratchContext);
    if (!dc || !font) {
        return -1;
    }
    HGDIOBJ previous = SelectObject(dc, static_cast<HGDIOBJ>(font));
    TEXTMETRICA metrics = {};
    const BOOL read = GetTextMetricsA(dc, &metrics);
    SelectObject(dc, previous);
    return read ? metrics.tmHeight : -1;
}

CharacterBox RenderCharacter(RasterBitmap& scratch, FontHandle font, uint16_t code,
                             int extraWidth) {
    HDC dc = static_cast<HDC>(scratch.DeviceContext());
    if (!dc) {
        return {};
    }
    // Without a font the DC's current one draws, as GDI would.
    HGDIOBJ previous = font ? SelectObject(dc, static_cast<HGDIOBJ>(font)) : nullptr;
    const wchar_t wide[2] = {wchar_t(code), 0};
    const char narrow[2] = {char(code), 0};
    RECT box = {0, 0, 0, 0};
    const UINT format = DT_NOPREFIX | DT_SINGLELINE;
    if (kNtFamily) {
        DrawTextW(dc, wide, 1, &box, format | DT_CALCRECT);
    } else {
        DrawTextA(dc, narrow, 1, &box, format | DT_CALCRECT);
    }
    CharacterBox result;
    result.measuredWidth = box.right;
    box.right += extraWidth;
    if (kNtFamily) {
        DrawTextW(dc, wide, 1, &box, format);
    } else {
        DrawTextA(dc, narrow, 1, &box, format);
    }
    GdiFlush();  // the pixels are read directly next
    if (previous) {
        SelectObject(dc, previous);
    }
    result.right = box.right;
    result.bottom = box.bottom;
    return result;
}

}  // namespace font_platform
