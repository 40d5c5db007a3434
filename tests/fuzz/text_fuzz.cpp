// Texts: bytes a host types into effString2Parameter, for every parameter in turn, and bytes
// DrawString lays out (any UTF-8 or not, any length) into any rectangle of a small bitmap with
// any format, font, colours and compositing. Parameters stay in range as the host reads them;
// a measurement draws nothing; a drawing writes nothing outside its clip rectangle.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "raster/cached_font.h"
#include "raster/font_handle.h"
#include "raster/mem_bitmap.h"
#include "tests/fuzz/fuzz_check.h"
#include "tests/fuzz/fuzz_effect.h"

using namespace vst2;

namespace {

// Fonts are made once: a new one opens its face and empties its glyph cache.
std::vector<std::unique_ptr<CachedFont>> MakeFonts() {
    struct Kind {
        const char* face;
        int height;
        int weight;
        bool italic;
        int quality;
        int flags;
    };
    static constexpr Kind kKinds[] = {
        {"Verdana", 12, 400, false, FontQualityDefault, FontPreferNative},
        {"Verdana", -9, 700, false, FontQualityPlain, 0},
        {"DejaVu Sans Mono", 40, 400, true, FontQualityAntialiased, FontPreferNative},
        {"", 3, 400, false, FontQualityDefault, 0},
        {"Verdana", 14, 400, false, FontQualityDefault, FontFixedAscii | 0x20 | 0x40},
    };
    std::vector<std::unique_ptr<CachedFont>> fonts;
    for (const Kind& kind : kKinds) {
        FontRequest request;
        request.face = kind.face;
        request.height = kind.height;
        request.weight = kind.weight;
        request.italic = kind.italic;
        request.quality = kind.quality;
        const FontHandle handle = CreateFontHandle(request);
        FUZZ_CHECK(handle != nullptr);
        auto font = std::make_unique<CachedFont>();
        font->SetFromHandle(handle, kind.flags | FontOwnsHandle);
        fonts.push_back(std::move(font));
    }
    return fonts;
}

int ChooseCoordinate(FuzzedDataProvider& in) {
    if (in.ConsumeIntegralInRange(0, 31) == 0) {
        return in.ConsumeBool() ? std::numeric_limits<int>::min() : std::numeric_limits<int>::max();
    }
    return in.ConsumeIntegralInRange(-64, 128);
}

void TypeIntoEveryParameter(FuzzedDataProvider& in) {
    static FuzzEffect fx;
    fx.ResetParameters();
    const std::string typed = in.ConsumeRandomLengthString(80);
    for (int index = -1; index <= ORV_Q12::kParamCount; ++index) {
        // Exactly as long as the text, as a host's own string would be.
        std::vector<char> text(typed.c_str(), typed.c_str() + typed.size() + 1);
        const intptr result = fx.Dispatch(effString2Parameter, index, 0, text.data());
        const bool valid = index >= 0 && index < ORV_Q12::kParamCount;
        // Without display texts every text converts: a number, or 0 when it starts with none.
        FUZZ_CHECK(result == (valid ? 1 : 0));
    }
    fx.CheckParameters();
}

void Draw(FuzzedDataProvider& in) {
    static const std::vector<std::unique_ptr<CachedFont>> fonts = MakeFonts();
    CachedFont& font = *fonts[in.ConsumeIntegralInRange<size_t>(0, fonts.size() - 1)];
    font.SetForeColor(in.ConsumeIntegral<std::uint32_t>());
    font.SetBackColor(in.ConsumeIntegral<std::uint32_t>());
    font.SetBackMode(in.ConsumeBool() ? BackTransparent : BackOpaque);
    static constexpr int kModes[] = {0, 1, 2, 3, 4, 5, 0x10000, 0xF3};
    static constexpr float kWeights[] = {0.0f, 0.25f, 0.5f, 1.0f};
    font.SetBlendMode(in.PickValueInArray(kModes), in.ConsumeBool()
                                                       ? in.PickValueInArray(kWeights)
                                                       : in.ConsumeProbability<float>());
    const int format = in.ConsumeIntegral<int>();
    Rect rect{ChooseCoordinate(in), ChooseCoordinate(in), ChooseCoordinate(in),
              ChooseCoordinate(in)};
    const int width = in.ConsumeIntegralInRange(0, 64);
    const int height = in.ConsumeIntegralInRange(0, 48);
    const bool noBitmap = in.ConsumeIntegralInRange(0, 15) == 0;
    const int lengthChoice = in.ConsumeIntegralInRange(-1, 40);
    // The text is the rest: any bytes, NULs included, with a NUL after the last.
    std::vector<char> text = in.ConsumeRemainingBytes<char>();
    const int length = lengthChoice < 0 ? -1 : std::min<int>(lengthChoice, int(text.size()) + 2);
    text.push_back('\0');

    MemBitmap bitmap(width, height);
    for (int y = 0; y < bitmap.Height(); ++y) {
        for (int x = 0; x < bitmap.Width(); ++x) {
            bitmap.Bits()[y * bitmap.RowSpan() + x] = 0x40302010u + std::uint32_t(x * 7 + y);
        }
    }
    const std::vector<std::uint32_t> before =
        bitmap.Bits() ? std::vector<std::uint32_t>(
                            bitmap.Bits(), bitmap.Bits() + bitmap.Height() * bitmap.RowSpan())
                      : std::vector<std::uint32_t>();
    const Rect asked = rect;
    const int result =
        font.DrawString(noBitmap ? nullptr : &bitmap, text.data(), length, rect, format);
    FUZZ_CHECK(result >= 0);

    const bool measuring = (format & FormatCalcRect) != 0;
    if (measuring) {
        FUZZ_CHECK(rect.left == asked.left && rect.top == asked.top);
    } else {
        FUZZ_CHECK(rect.left == asked.left && rect.top == asked.top && rect.right == asked.right &&
                   rect.bottom == asked.bottom);
    }
    // Where drawing may write: nowhere when measuring, else the clip rectangle.
    Rect clip{0, 0, bitmap.Width(), bitmap.Height()};
    if (measuring) {
        clip = Rect{0, 0, 0, 0};
    } else if ((format & FormatNoClip) == 0) {
        clip = Rect{std::max(asked.left, 0), std::max(asked.top, 0),
                    std::min(asked.right, bitmap.Width()), std::min(asked.bottom, bitmap.Height())};
    }
    for (int y = 0; y < bitmap.Height(); ++y) {
        for (int x = 0; x < bitmap.Width(); ++x) {
            const int at = y * bitmap.RowSpan() + x;
            const bool inside =
                x >= clip.left && x < clip.right && y >= clip.top && y < clip.bottom;
            if (!inside && bitmap.Bits()[at] != before[static_cast<size_t>(at)]) {
                std::fprintf(stderr, "format %#x, rect %d,%d,%d,%d on %dx%d: pixel %d,%d written\n",
                             format, asked.left, asked.top, asked.right, asked.bottom, width,
                             height, x, y);
                FUZZ_CHECK(!"a pixel outside the clip rectangle was written");
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    if (in.ConsumeBool()) {
        TypeIntoEveryParameter(in);
    } else {
        Draw(in);
    }
    return 0;
}
