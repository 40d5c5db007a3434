#include "raster/png_loader.h"

#include "raster/file_open.h"
#include "raster/image_loaders.h"
#include "resources/module_resource.h"

#include <png.h>

#include <algorithm>
#include <cctype>
#include <csetjmp>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

namespace {

constexpr unsigned char kPngSignature[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};

// Zero bytes fed past the end of a block: a few reads' worth, enough for a decode whose last
// rows were complete before the data ran out.
constexpr size_t kZeroFillLimit = 65536;

// The rest of a PNG block in memory, as the read function consumes it.
struct MemoryCursor {
    const unsigned char* next;
    int remaining;
    size_t zerosLeft;
};

// Reading past the end yields zero bytes rather than an error: libpng then fails on a CRC or
// on the data, which ends the decode all the same. A chunk that claims up to 2 GiB past the end
// would only fail after libpng had read (and checked) all of it, so the zeros run out first.
void ReadFromMemory(png_structp png, png_bytep out, size_t count) {
    auto* cursor = static_cast<MemoryCursor*>(png_get_io_ptr(png));
    const size_t taken = std::min(count, size_t(cursor->remaining));
    if (count - taken > cursor->zerosLeft) {
        png_error(png, "read past the end of the data");
    }
    cursor->zerosLeft -= count - taken;
    std::memset(out, 0, count);
    if (taken > 0) {
        std::memcpy(out, cursor->next, taken);
        cursor->next += taken;
        cursor->remaining -= int(taken);
    }
}

// Everything one decode holds. Plain data with no destructors, so libpng's long jump back into
// DecodeRows skips nothing; the caller releases it in Finish.
struct Decode {
    png_structp png = nullptr;
    png_infop info = nullptr;
    RasterBitmap* target = nullptr;  // the bitmap being filled: the caller's, or `created`
    MemBitmap* created = nullptr;    // made by the decode, deleted when it fails
    png_bytep* rows = nullptr;       // std::malloc'ed, one pointer per image row
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    bool shortOfMemory = false;  // an allocation, libpng's own included, failed
};

// libpng's allocations go through these, so a decode that ran short of memory can say so.
png_voidp Allocate(png_structp png, png_alloc_size_t size) {
    void* block = std::malloc(size);
    if (!block) {
        static_cast<Decode*>(png_get_mem_ptr(png))->shortOfMemory = true;
    }
    return block;
}

void Release(png_structp, png_voidp block) { std::free(block); }

bool CreateReader(Decode* job) {
    // The version string of the libpng actually linked: 1.6 refuses a structure made for 1.5.
    job->png = png_create_read_struct_2(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr, job,
                                        Allocate, Release);
    if (!job->png) {
        return false;
    }
    job->info = png_create_info_struct(job->png);
    if (!job->info) {
        png_destroy_read_struct(&job->png, nullptr, nullptr);
        return false;
    }
    return true;
}

// The ancillary chunks no decode here uses are skipped unread: libpng would otherwise allocate
// and clear whatever length such a chunk claims (up to 2 GiB) before finding out that the data
// is not there. Only tRNS (and the critical chunks) matter to the pixels. libpng allocates the
// list, so this runs after the error return point is set.
void SkipUnusedChunks(png_structp png) {
    static constexpr png_byte kUnused[] = "bKGD\0cHRM\0eXIf\0gAMA\0hIST\0iCCP\0iTXt\0oFFs\0"
                                          "pCAL\0pHYs\0sBIT\0sCAL\0sPLT\0sRGB\0tEXt\0tIME\0zTXt";
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, kUnused, int(sizeof(kUnused) / 5));
}

// Asks libpng for rows of `width` pixels of four bytes: alpha, red, green, blue.
void RequestArgbRows(png_structp png, png_infop info, int bitDepth, int colorType) {
    if (colorType == PNG_COLOR_TYPE_PALETTE) {
        png_set_palette_to_rgb(png);
    }
    if (colorType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) {
        png_set_expand_gray_1_2_4_to_8(png);
    }
    if (png_get_valid(png, info, PNG_INFO_tRNS)) {
        png_set_tRNS_to_alpha(png);
        colorType |= PNG_COLOR_MASK_ALPHA;
    }
    if (bitDepth == 16) {
        png_set_strip_16(png);
    }
    if (bitDepth < 8) {
        png_set_packing(png);
    }
    if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA) {
        png_set_gray_to_rgb(png);
    }
    if (colorType & PNG_COLOR_MASK_ALPHA) {
        png_set_swap_alpha(png);
    } else {
        png_set_filler(png, 0xFF, PNG_FILLER_BEFORE);
    }
}

// Runs libpng from the header to the last row into job->target (or a new MemBitmap). False when
// libpng reports an error or the image cannot be held; whatever was allocated stays in `job`.
bool DecodeRows(Decode* job) {
    if (setjmp(png_jmpbuf(job->png))) {
        return false;
    }
    SkipUnusedChunks(job->png);
    png_read_info(job->png, job->info);
    int bitDepth = 0, colorType = 0, interlace = 0, compression = 0, filter = 0;
    png_get_IHDR(job->png, job->info, &job->width, &job->height, &bitDepth, &colorType,
                 &interlace, &compression, &filter);
    RequestArgbRows(job->png, job->info, bitDepth, colorType);

    // A size whose byte count would overflow 32-bit arithmetic is refused before any allocation.
    constexpr png_uint_32 kIntMax = std::numeric_limits<int>::max();
    if (job->width > kIntMax - 3 || job->height > kIntMax ||
        PixelStorageBytes(int((job->width + 3) & ~3u), int(job->height)) < 0) {
        return false;
    }
    const int width = int(job->width);
    const int height = int(job->height);
    if (job->target) {
        job->target->Resize(width, height);
        if (job->target->Width() != width || job->target->Height() != height) {
            return false;
        }
    } else {
        job->created = new (std::nothrow) MemBitmap(width, height);
        job->target = job->created;
    }
    uint32_t* bits = job->target ? job->target->Bits() : nullptr;
    job->rows = bits ? static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * job->height))
                     : nullptr;
    if (!job->rows) {
        // The size was checked above: only memory can be missing here.
        job->shortOfMemory = true;
        return false;
    }
    const ptrdiff_t span = job->target->RowSpan();
    const bool bottomUp = job->target->IsBottomUp();
    for (int i = 0; i < height; ++i) {
        const ptrdiff_t row = bottomUp ? height - 1 - i : i;
        job->rows[i] = reinterpret_cast<png_bytep>(bits + row * span);
    }
    png_read_image(job->png, job->rows);
    return true;
}

// Releases libpng and the row pointers; after a failure also the bitmap the decode created.
// After success, turns every decoded pixel's bytes (A, R, G, B) into the word 0xAARRGGBB.
bool Finish(Decode* job, bool decoded) {
    png_destroy_read_struct(&job->png, &job->info, nullptr);
    if (decoded) {
        for (png_uint_32 i = 0; i < job->height; ++i) {
            png_bytep bytes = job->rows[i];
            uint32_t* pixels = reinterpret_cast<uint32_t*>(bytes);
            for (png_uint_32 x = 0; x < job->width; ++x, bytes += 4) {
                pixels[x] = uint32_t(bytes[0]) << 24 | uint32_t(bytes[1]) << 16 |
                            uint32_t(bytes[2]) << 8 | bytes[3];
            }
        }
    } else {
        delete job->created;
        job->created = nullptr;
    }
    std::free(job->rows);
    job->rows = nullptr;
    return decoded;
}

struct CloseFile {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// Decodes a file into `target`, or into a new bitmap returned through `created`.
bool DecodeFile(const char* utf8Path, RasterBitmap* target, std::unique_ptr<MemBitmap>* created) {
    if (!utf8Path) {
        return false;
    }
    std::unique_ptr<std::FILE, CloseFile> file(OpenFileForReading(utf8Path));
    Decode job;
    if (!file || !CreateReader(&job)) {
        return false;
    }
    job.target = target;
    png_init_io(job.png, file.get());
    const bool decoded = Finish(&job, DecodeRows(&job));
    if (decoded && created) {
        created->reset(job.created);
    }
    return decoded;
}

bool HasPngExtension(const char* path) {
    const char* extension = path;
    for (const char* p = path + std::strlen(path); p > path; --p) {
        const char c = p[-1];
        if (c == '/' || c == '\\') {
            break;
        }
        if (c == '.') {
            extension = p - 1;
            break;
        }
    }
    const char* expected = ".png";
    for (; *extension && *expected; ++extension, ++expected) {
        if (std::tolower(static_cast<unsigned char>(*extension)) != *expected) {
            return false;
        }
    }
    return *extension == '\0' && *expected == '\0';
}

bool LoadImageInto(const char* utf8Path, bool checkExtension, RasterBitmap& target) {
    return LoadImageByExtension(utf8Path, checkExtension, target);
}

// Process-wide: the PNG loader's entry, linked into the image loader list when the module is
// loaded and unlinked when it is unloaded.
struct PngLoaderRegistration {
    ImageLoaderEntry entry{LoadImageInto, PngFileFilter, nullptr};
    PngLoaderRegistration() { PushImageLoader(&entry); }
    ~PngLoaderRegistration() { RemoveImageLoader(&entry); }
} gPngLoaderRegistration;

}  // namespace

std::unique_ptr<MemBitmap> LoadPngResource(void* module, int id, bool* shortOfMemory) {
    const ResourceBytes resource = FindModuleResource(module, id, "PNG");
    return LoadPngFromMemory(resource.data, resource.size, shortOfMemory);
}

std::unique_ptr<MemBitmap> LoadPngFromMemory(const void* data, int size, bool* shortOfMemory) {
    if (shortOfMemory) {
        *shortOfMemory = false;
    }
    if (!data || size <= 7 || std::memcmp(data, kPngSignature, sizeof kPngSignature) != 0) {
        return nullptr;
    }
    Decode job;
    bool decoded = false;
    if (CreateReader(&job)) {
        MemoryCursor cursor{static_cast<const unsigned char*>(data), size, kZeroFillLimit};
        png_set_read_fn(job.png, &cursor, ReadFromMemory);
        decoded = Finish(&job, DecodeRows(&job));
    }
    if (shortOfMemory) {
        *shortOfMemory = job.shortOfMemory;
    }
    return decoded ? std::unique_ptr<MemBitmap>(job.created) : nullptr;
}

std::unique_ptr<MemBitmap> LoadPngFile(const char* utf8Path) {
    std::unique_ptr<MemBitmap> bitmap;
    DecodeFile(utf8Path, nullptr, &bitmap);
    return bitmap;
}

bool LoadPngFile(const char* utf8Path, RasterBitmap& target) {
    return DecodeFile(utf8Path, &target, nullptr);
}

std::unique_ptr<MemBitmap> LoadImageByExtension(const char* utf8Path, bool checkExtension) {
    if (!utf8Path || (checkExtension && !HasPngExtension(utf8Path))) {
        return nullptr;
    }
    return LoadPngFile(utf8Path);
}

bool LoadImageByExtension(const char* utf8Path, bool checkExtension, RasterBitmap& target) {
    if (!utf8Path || (checkExtension && !HasPngExtension(utf8Path))) {
        return false;
    }
    return LoadPngFile(utf8Path, target);
}

const char* PngFileFilter() { return "PNG files (*.PNG)\0*.PNG\0"; }
