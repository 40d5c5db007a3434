#include "raster_test_support.h"

#include <png.h>
#include <zlib.h>

#include <csetjmp>
#include <filesystem>
#include <fstream>

namespace {

void AppendToVector(png_structp png, png_bytep data, size_t size) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + size);
}

void NoFlush(png_structp) {}

// Holds only plain data so libpng's long jump skips no destructor.
bool WriteImage(png_structp png, png_infop info, const PngImage* image, png_bytep* rows,
                png_color* palette, png_color_16* gray) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_set_IHDR(png, info, png_uint_32(image->width), png_uint_32(image->height),
                 image->bitDepth, image->colorType,
                 image->interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!image->palette.empty()) {
        png_set_PLTE(png, info, palette, int(image->palette.size() / 3));
    }
    if (!image->paletteAlpha.empty()) {
        png_set_tRNS(png, info, image->paletteAlpha.data(), int(image->paletteAlpha.size()),
                     nullptr);
    }
    if (image->transparentGray >= 0) {
        png_set_tRNS(png, info, nullptr, 0, gray);
    }
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    return true;
}

}  // namespace

std::vector<uint8_t> EncodePng(const PngImage& image) {
    std::vector<uint8_t> out;
    std::vector<png_bytep> rows;
    for (const auto& row : image.rows) {
        rows.push_back(const_cast<png_bytep>(row.data()));
    }
    std::vector<png_color> palette;
    for (size_t i = 0; i + 2 < image.palette.size(); i += 3) {
        palette.push_back({image.palette[i], image.palette[i + 1], image.palette[i + 2]});
    }
    png_color_16 gray = {};
    gray.gray = png_uint_16(image.transparentGray < 0 ? 0 : image.transparentGray);

    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (info) {
        png_set_write_fn(png, &out, AppendToVector, NoFlush);
        if (!WriteImage(png, info, &image, rows.data(), palette.data(), &gray)) {
            out.clear();
        }
    }
    png_destroy_write_struct(&png, &info);
    return out;
}

std::vector<uint8_t> PngChunk(const char type[4], const std::vector<uint8_t>& data) {
    std::vector<uint8_t> chunk;
    const uint32_t length = uint32_t(data.size());
    for (int shift = 24; shift >= 0; shift -= 8) {
        chunk.push_back(uint8_t(length >> shift));
    }
    chunk.insert(chunk.end(), type, type + 4);
    chunk.insert(chunk.end(), data.begin(), data.end());
    const uLong crc = crc32(0, chunk.data() + 4, uInt(chunk.size() - 4));
    for (int shift = 24; shift >= 0; shift -= 8) {
        chunk.push_back(uint8_t(crc >> shift));
    }
    return chunk;
}

bool WriteFile(const std::string& utf8Path, const std::vector<uint8_t>& bytes) {
    std::ofstream file(std::filesystem::u8path(utf8Path), std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return bool(file.flush());
}
