// The native text path: GDI's DrawText draws the whole string into the bitmap's own DC, or into
// the text scratch bitmap, which is then composited back, for bitmaps without one.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <memory>

#include "raster/blit.h"
#include "raster/cached_font.h"
#include "raster/font_platform.h"
#include "raster/scratch_bitmaps.h"
#include "raster/text_native.h"

namespace {

int ClampToInt(int64_t value) {
    return int(std::clamp<int64_t>(value, std::numeric_limits<int>::min(),
                                   std::numeric_limits<int>::max()));
}

// True when the text (up to its NUL, and within the length when one is given) holds a two- or
// three-byte UTF-8 sequence.
bool HasUtf8Sequence(const char* text, int length) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    const int64_t end = length < 0 ? std::numeric_limits<int64_t>::max() : length;
    // Checked in order, so a NUL stops the look-ahead before anything beyond it is read.
    auto continuation = [&](int64_t i) { return i < end && (bytes[i] & 0xC0) == 0x80; };
    for (int64_t i = 0; i < end && bytes[i] != 0; ++i) {
        const unsigned lead = bytes[i];
        if (lead >= 0xC2 && lead <= 0xDF && continuation(i + 1)) {
            return true;
        }
        if (lead >= 0xE0 && lead <= 0xF4 && continuation(i + 1) && continuation(i + 2)) {
            return true;
        }
    }
    return false;
}

// The text as NUL-terminated UTF-16 when it holds UTF-8 that converts; otherwise none, and the
// raw bytes go to DrawTextA. Up to 999 units need no heap allocation.
class WideText {
public:
    WideText(const char* text, int length) {
        if (!font_platform::IsNtFamily() || !HasUtf8Sequence(text, length)) {
            return;
        }
        const int needed =
            MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, length, nullptr, 0);
        if (needed <= 0) {
            return;
        }
        wchar_t* out = stack_;
        int capacity = kStackUnits;
        if (needed > 999) {
            capacity = needed + 32;
            heap_.reset(static_cast<wchar_t*>(std::malloc(size_t(capacity) * sizeof(wchar_t))));
            out = heap_.get();
            if (!out) {
                return;
            }
        }
        const int converted =
            MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, length, out, capacity - 1);
        if (converted > 0) {
            out[converted] = 0;
            text_ = out;
        }
    }

    int Draw(HDC dc, const char* text, int length, RECT* rect, UINT format) const {
        return text_ ? DrawTextW(dc, text_, -1, rect, format)
                     : DrawTextA(dc, text, length, rect, format);
    }

private:
    struct FreeBlock {
        void operator()(wchar_t* block) const { std::free(block); }
    };
    static constexpr int kStackUnits = 1024;

    wchar_t stack_[kStackUnits];
    std::unique_ptr<wchar_t, FreeBlock> heap_;
    const wchar_t* text_ = nullptr;
};

// Where the scratch path draws: the box in the scratch bitmap and its offset in the destination.
struct ScratchBox {
    int width;
    int height;
    int64_t offsetX = 0;
    int64_t offsetY = 0;
};

// Fits the box to the measured text; without clipping the box is the text. Here the right and
// bottom flags win over the centering ones.
void FitBox(ScratchBox* box, const RECT& measured, int format) {
    if (format & DT_NOCLIP) {
        box->width = measured.right;
        box->height = measured.bottom;
    }
    if (measured.right < box->width) {
        const int spare = box->width - measured.right;
        box->offsetX = (format & DT_RIGHT) ? spare : (format & DT_CENTER) ? spare / 2 : 0;
        box->width = measured.right;
    }
    if (measured.bottom < box->height) {
        const int spare = box->height - measured.bottom;
        box->offsetY = (format & DT_BOTTOM) ? spare : (format & DT_VCENTER) ? spare / 2 : 0;
        box->height = measured.bottom;
    }
}

void GrowTo(SysBitmap* bitmap, int width, int height) {
    if (bitmap->Width() < width || bitmap->Height() < height) {
        bitmap->Resize(width, height);
    }
}

}  // namespace

int DrawStringNative(const CachedFont& font, RasterBitmap* bitmap, const char* text, int length,
                     Rect& rect, int format) {
    const WideText wide(text, length);
    HGDIOBJ handle = static_cast<HGDIOBJ>(font.GetHandle());
    HDC dc = bitmap ? static_cast<HDC>(bitmap->DeviceContext()) : nullptr;
    RECT drawRect = {rect.left, rect.top, rect.right, rect.bottom};
    SysBitmap* scratch = nullptr;
    ScratchBox box = {};
    HGDIOBJ previous = nullptr;

    if (dc) {
        previous = SelectObject(dc, handle);
    } else {
        scratch = &TextScratchBitmap();
        box.width = std::max(1, ClampToInt(int64_t{rect.right} - rect.left));
        box.height = std::max(1, ClampToInt(int64_t{rect.bottom} - rect.top));
        GrowTo(scratch, box.width, box.height);
        dc = static_cast<HDC>(scratch->DeviceContext());
        if (!dc) {
            return 0;
        }
        previous = SelectObject(dc, handle);
        RECT measured = {0, 0, 0, 0};
        const int height = wide.Draw(dc, text, length, &measured,
                                     (format & ~FormatAlignment) | DT_CALCRECT | DT_NOPREFIX);
        if (format & DT_CALCRECT) {
            SelectObject(dc, previous);
            rect.right = ClampToInt(int64_t{rect.left} + measured.right);
            rect.bottom = ClampToInt(int64_t{rect.top} + measured.bottom);
            return height;
        }
        if (!bitmap) {
            SelectObject(dc, previous);
            return 0;
        }
        FitBox(&box, measured, format);
        GrowTo(scratch, box.width, box.height);
        SelectObject(dc, handle);
        const Rect area = {ClampToInt(rect.left + box.offsetX), ClampToInt(rect.top + box.offsetY),
                           ClampToInt(rect.left + box.offsetX + box.width),
                           ClampToInt(rect.top + box.offsetY + box.height)};
        Blit(scratch, bitmap, 0, 0, &area, 1.0f, BlendCopy);
        drawRect = {0, 0, box.width, box.height};
    }

    const uint32_t fore = font.GetForeColor();
    SetTextColor(dc, RGB(fore >> 16 & 0xFF, fore >> 8 & 0xFF, fore & 0xFF));
    SetBkMode(dc, font.BackMode());
    if (font.BackMode() == OPAQUE) {
        const uint32_t back = font.BackColor();
        SetBkColor(dc, RGB(back >> 16 & 0xFF, back >> 8 & 0xFF, back & 0xFF));
    }
    const int result = wide.Draw(dc, text, length, &drawRect, UINT(format) | DT_NOPREFIX);
    GdiFlush();  // the pixels are read directly next

    if (scratch) {
        const Rect drawn = {0, 0, box.width, box.height};
        Blit(bitmap, scratch, ClampToInt(rect.left + box.offsetX),
             ClampToInt(rect.top + box.offsetY), &drawn, font.Weight(), BlendCopy);
    } else if (format & DT_CALCRECT) {
        rect = {drawRect.left, drawRect.top, drawRect.right, drawRect.bottom};
    }
    SelectObject(dc, previous);
    return result;
}
