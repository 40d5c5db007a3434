#include "raster/png_writer.h"

#include <png.h>

#include <cstdio>

#include "raster/raster_bitmap.h"

bool WritePngFile(const char* path, const RasterBitmap& bitmap) {
    if (bitmap.Bits() == nullptr || bitmap.IsBottomUp()) return false;
    std::FILE* file = std::fopen(path, "wb");
    if (file == nullptr) return false;
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(bitmap.Width());
    image.height = static_cast<png_uint_32>(bitmap.Height());
    image.format = PNG_FORMAT_BGRA;  // the bytes of 0xAARRGGBB words in memory
    const bool written = png_image_write_to_stdio(&image, file, 0, bitmap.Bits(),
                                                  bitmap.RowSpan() * 4, nullptr) != 0;
    return std::fclose(file) == 0 && written;
}
