// Helpers shared by the raster tests: pixel access by logical row, bitmaps with guard values,
// a bottom-up bitmap, and PNG encoding through libpng's writer.
#pragma once

#include "raster/mem_bitmap.h"

#include <cstdint>
#include <string>
#include <vector>

// A MemBitmap whose row 0 lies last in memory.
class BottomUpBitmap : public MemBitmap {
public:
    using MemBitmap::MemBitmap;
    bool IsBottomUp() const override { return true; }
};

// Pixel (x, y) in image coordinates, whichever way the rows lie in memory.
inline uint32_t& PixelAt(const RasterBitmap& bitmap, int x, int y) {
    const int row = bitmap.IsBottomUp() ? bitmap.Height() - 1 - y : y;
    return bitmap.Bits()[ptrdiff_t(row) * bitmap.RowSpan() + x];
}

// Fills every pixel of every row, the padding up to the row span included.
inline void FillAll(RasterBitmap& bitmap, uint32_t value) {
    for (int y = 0; y < bitmap.Height(); ++y) {
        for (int x = 0; x < bitmap.RowSpan(); ++x) {
            PixelAt(bitmap, x, y) = value;
        }
    }
}

// A PNG image to encode: rows of packed samples as the PNG format stores them.
struct PngImage {
    int width = 0;
    int height = 0;
    int colorType = 0;  // PNG_COLOR_TYPE_*
    int bitDepth = 8;
    bool interlaced = false;
    std::vector<std::vector<uint8_t>> rows;
    std::vector<uint8_t> palette;  // r, g, b triples
    std::vector<uint8_t> paletteAlpha;  // tRNS for a palette image
    int transparentGray = -1;  // tRNS for a gray image
};

std::vector<uint8_t> EncodePng(const PngImage& image);

// One PNG chunk: length, type, data, CRC.
std::vector<uint8_t> PngChunk(const char type[4], const std::vector<uint8_t>& data);

// Creates or replaces a file named by a UTF-8 path.
bool WriteFile(const std::string& utf8Path, const std::vector<uint8_t>& bytes);
