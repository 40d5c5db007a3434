// Not a test: writes a PNG of sample text, drawn through the glyph cache and, on Windows (Wine
// included), through GDI's native path, so both can be looked at side by side. The image is
// scaled up 2x without smoothing so single pixels stay visible.
#include <png.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "raster/blit.h"
#include "raster/cached_font.h"
#include "raster/fill.h"
#include "raster/font_handle.h"
#include "raster/sys_bitmap.h"
#include "raster/text_native.h"
#include "raster_test_support.h"

namespace {

constexpr int kWidth = 300;
constexpr int kHeight = 350;
constexpr int kScale = 2;

std::unique_ptr<CachedFont> MakeFont(int height, int weight) {
    FontRequest request;
    request.height = height;
    request.weight = weight;
    FontHandle handle = CreateFontHandle(request);
    if (!handle) {
        return nullptr;
    }
    auto font = std::make_unique<CachedFont>();
    font->SetFromHandle(handle, FontOwnsHandle | FontPreferNative);
    return font;
}

// Draws on the glyph path, or with `native` through the operating system when it has a path.
int Text(CachedFont& font, SysBitmap& canvas, bool native, const char* text, Rect rect, int format,
         uint32_t color) {
    font.SetForeColor(color);
    if (native) {
        return DrawStringNative(font, &canvas, text, -1, rect, format);
    }
    return font.DrawString(&canvas, text, -1, rect, format | FormatForceGlyphs);
}

// One block of samples with its top at `top`; returns the next free row.
int DrawBlock(SysBitmap& canvas, int top, bool native, const char* title) {
    auto small = MakeFont(12, 400);
    auto medium = MakeFont(16, 400);
    auto large = MakeFont(24, 700);
    if (!small || !medium || !large) {
        return top;
    }
    int y = top;
    y += Text(*medium, canvas, native, title, {6, y, 294, y}, FormatNoClip, 0xFF000000);
    y += Text(*small, canvas, native, "Drive 5.000  Filter 2.500  Volume -6.0 dB", {6, y, 294, y},
              FormatNoClip, 0xFF202020);
    y += Text(*small, canvas, native,
              "Gr\xC3\xBC\xC3\x9F"
              "e \xE2\x82\xAC \xCE\xA9 \xC3\x84\xC3\x96\xC3\x9C \xC2\xB5s "
              "guitar:\xF0\x9F\x8E\xB8",
              {6, y, 294, y}, FormatNoClip, 0xFF202020);
    // Not UTF-8: the glyph path shows code 0xC0, the native path the raw bytes.
    y += Text(*small, canvas, native, "stray byte:\xC0", {6, y, 294, y}, FormatNoClip, 0xFF202020);
    y += Text(*medium, canvas, native, "centred 12.345", {6, y, 294, y + 20},
              FormatNoClip | FormatCenter, 0xFF803000);
    y += Text(*medium, canvas, native, "right-aligned", {6, y, 294, y + 20},
              FormatNoClip | FormatRight, 0xFF003080);
    y += Text(*large, canvas, native, "ORV Q12 AWAY", {6, y, 294, y}, FormatNoClip, 0xFF000000);
    // Translucent text always takes the glyph path.
    y += Text(*medium, canvas, false, "translucent (alpha 128)", {6, y, 294, y},
              FormatNoClip | FormatUseForeAlpha, 0x80000000);
    return y + 6;
}

bool WriteScaledPng(const char* path, const SysBitmap& canvas) {
    PngImage image;
    image.width = canvas.Width() * kScale;
    image.height = canvas.Height() * kScale;
    image.colorType = PNG_COLOR_TYPE_RGB;
    for (int y = 0; y < image.height; ++y) {
        std::vector<uint8_t> row;
        const uint32_t* source = canvas.Bits() + (y / kScale) * canvas.RowSpan();
        for (int x = 0; x < image.width; ++x) {
            const uint32_t pixel = source[x / kScale];
            row.insert(row.end(), {uint8_t(pixel >> 16), uint8_t(pixel >> 8), uint8_t(pixel)});
        }
        image.rows.push_back(row);
    }
    const std::vector<uint8_t> bytes = EncodePng(image);
    return !bytes.empty() && WriteFile(path, bytes);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUT.png\n", argv[0]);
        return 2;
    }
    SysBitmap canvas(kWidth, kHeight);
    if (!canvas.Bits()) {
        return 1;
    }
    FillRectangle(&canvas, 0, 0, kWidth, kHeight, 0xFFF2EEE4, 1.0f, BlendCopy);
    int y = DrawBlock(canvas, 4, false, "Glyph path");
    FillRectangle(&canvas, 0, y, kWidth, 1, 0xFF999999, 1.0f, BlendCopy);
    if (canvas.DeviceContext()) {
        DrawBlock(canvas, y + 4, true, "Native path (GDI)");
    } else {
        auto font = MakeFont(16, 400);
        Text(*font, canvas, false, "Native path: none on this platform", {6, y + 4, 294, y + 4},
             FormatNoClip, 0xFF000000);
    }
    if (!WriteScaledPng(argv[1], canvas)) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
