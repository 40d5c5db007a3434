// Image bytes as a damaged or hostile PNG brings them: decoded from memory, then composited onto
// a small bitmap at any position, with any source rectangle, weight and mode. A decoded image
// has a size and readable pixels; the blit writes nothing outside the area the image can cover.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "raster/blit.h"
#include "raster/mem_bitmap.h"
#include "raster/png_loader.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

constexpr int kSide = 24;

int ChooseMode(FuzzedDataProvider& in) {
    static constexpr int kModes[] = {BlendCopy,
                                     BlendAdd,
                                     BlendDodge,
                                     BlendMultiply,
                                     BlendOverlay,
                                     BlendHsvAdjust,
                                     ChannelCopyMode(3, 0),
                                     ChannelCopyMode(1, 2)};
    if (in.ConsumeIntegralInRange(0, 7) == 0) return in.ConsumeIntegral<int>();
    return in.PickValueInArray(kModes) | (in.ConsumeBool() ? BlendUseSourceAlpha : 0);
}

float ChooseWeight(FuzzedDataProvider& in) {
    static constexpr float kWeights[] = {0.0f, 0.25f, 0.5f, 1.0f};
    return in.ConsumeBool() ? in.PickValueInArray(kWeights) : in.ConsumeProbability<float>();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    // The trailing bytes place the blit; the leading ones are the image.
    const int x = in.ConsumeIntegralInRange(-40, 40);
    const int y = in.ConsumeIntegralInRange(-40, 40);
    const bool withSourceRect = in.ConsumeBool();
    Rect source{};
    source.left = in.ConsumeIntegralInRange(-8, 40);
    source.top = in.ConsumeIntegralInRange(-8, 40);
    source.right = in.ConsumeIntegralInRange(-8, 40);
    source.bottom = in.ConsumeIntegralInRange(-8, 40);
    const float weight = ChooseWeight(in);
    const int mode = ChooseMode(in);
    const std::vector<std::uint8_t> bytes = in.ConsumeRemainingBytes<std::uint8_t>();

    const std::unique_ptr<MemBitmap> image =
        LoadPngFromMemory(bytes.data(), static_cast<int>(bytes.size()));
    if (!image) return 0;
    const int width = image->Width();
    const int height = image->Height();
    FUZZ_CHECK(width > 0 && height > 0 && image->Bits() != nullptr);
    FUZZ_CHECK(image->RowSpan() >= width);
    // Every decoded pixel can be read.
    std::uint32_t any = 0;
    for (int row = 0; row < height; ++row) {
        const std::uint32_t* pixels =
            image->Bits() + static_cast<std::ptrdiff_t>(row) * image->RowSpan();
        for (int col = 0; col < width; ++col) any |= pixels[col];
    }
    (void)any;

    MemBitmap destination(kSide, kSide);
    for (int row = 0; row < kSide; ++row) {
        for (int col = 0; col < kSide; ++col) {
            destination.Bits()[row * destination.RowSpan() + col] =
                0x80000000u | static_cast<std::uint32_t>(row * 977 + col * 131);
        }
    }
    std::vector<std::uint32_t> before(destination.Bits(),
                                      destination.Bits() + kSide * destination.RowSpan());
    Blit(&destination, image.get(), x, y, withSourceRect ? &source : nullptr, weight, mode);
    // Where the (part of the) image lands: a rectangle's top left at (x, y), its parts left of
    // or above the image cut away.
    int left = x, top = y, right = x + width, bottom = y + height;
    if (withSourceRect) {
        left = x + std::max(0, -source.left);
        top = y + std::max(0, -source.top);
        right = left + std::min(source.right, width) - std::max(source.left, 0);
        bottom = top + std::min(source.bottom, height) - std::max(source.top, 0);
    }
    for (int row = 0; row < kSide; ++row) {
        for (int col = 0; col < kSide; ++col) {
            const bool reachable = col >= left && col < right && row >= top && row < bottom;
            const int at = row * destination.RowSpan() + col;
            if (!reachable && destination.Bits()[at] != before[static_cast<size_t>(at)]) {
                std::fprintf(stderr,
                             "%dx%d image at %d,%d, source %d,%d,%d,%d (%s), weight %g, mode %#x: "
                             "pixel %d,%d written\n",
                             width, height, x, y, source.left, source.top, source.right,
                             source.bottom, withSourceRect ? "used" : "unused",
                             static_cast<double>(weight), mode, col, row);
                FUZZ_CHECK(!"a pixel the image cannot cover was written");
            }
        }
    }
    return 0;
}
