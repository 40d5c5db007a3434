#include "raster/image_loaders.h"
#include "raster/png_loader.h"
#include "raster_test_support.h"

#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

std::unique_ptr<MemBitmap> Decode(const std::vector<uint8_t>& bytes) {
    return LoadPngFromMemory(bytes.data(), int(bytes.size()));
}

// A w x h image of one colour type whose sample at (x, y) is f(x, y, sample index).
template <typename F>
PngImage MakeImage(int w, int h, int colorType, int bitDepth, int samples, F f) {
    PngImage image;
    image.width = w;
    image.height = h;
    image.colorType = colorType;
    image.bitDepth = bitDepth;
    const int bits = samples * bitDepth;
    for (int y = 0; y < h; ++y) {
        std::vector<uint8_t> row(size_t((w * bits + 7) / 8));
        for (int x = 0; x < w; ++x) {
            for (int i = 0; i < samples; ++i) {
                const unsigned v = f(x, y, i);
                const int bit = (x * samples + i) * bitDepth;
                if (bitDepth == 16) {
                    row[size_t(bit / 8)] = uint8_t(v >> 8);
                    row[size_t(bit / 8 + 1)] = uint8_t(v);
                } else {
                    row[size_t(bit / 8)] |= uint8_t(v << (8 - bitDepth - bit % 8));
                }
            }
        }
        image.rows.push_back(row);
    }
    return image;
}

TEST(PngDecode, EveryColourTypeBecomesStraightArgb) {
    auto rgb = Decode(EncodePng(MakeImage(3, 2, PNG_COLOR_TYPE_RGB, 8, 3, [](int x, int y, int i) {
        return unsigned(x * 40 + y * 7 + i * 100);
    })));
    ASSERT_NE(rgb, nullptr);
    EXPECT_EQ(PixelAt(*rgb, 0, 0), 0xFF0064C8u);
    EXPECT_EQ(PixelAt(*rgb, 2, 1), 0xFF57BB1Fu);  // 87, 187, 287 & 0xFF = 31

    const unsigned rgba[4] = {200, 100, 50, 128};
    auto withAlpha = Decode(EncodePng(
        MakeImage(1, 1, PNG_COLOR_TYPE_RGB_ALPHA, 8, 4, [&](int, int, int i) { return rgba[i]; })));
    ASSERT_NE(withAlpha, nullptr);
    EXPECT_EQ(withAlpha->Bits()[0], 0x80C86432u);  // not premultiplied

    PngImage palette = MakeImage(3, 1, PNG_COLOR_TYPE_PALETTE, 4, 1,
                                 [](int x, int, int) { return unsigned(x); });
    palette.palette = {255, 0, 0, 0, 255, 0, 0, 0, 255};
    palette.paletteAlpha = {0, 128};  // the third entry stays opaque
    auto indexed = Decode(EncodePng(palette));
    ASSERT_NE(indexed, nullptr);
    EXPECT_EQ(PixelAt(*indexed, 0, 0), 0x00FF0000u);
    EXPECT_EQ(PixelAt(*indexed, 1, 0), 0x8000FF00u);
    EXPECT_EQ(PixelAt(*indexed, 2, 0), 0xFF0000FFu);

    PngImage bilevel = MakeImage(10, 1, PNG_COLOR_TYPE_GRAY, 1, 1,
                                 [](int x, int, int) { return unsigned(x % 3 == 0); });
    auto blackWhite = Decode(EncodePng(bilevel));
    ASSERT_NE(blackWhite, nullptr);
    for (int x = 0; x < 10; ++x) {
        EXPECT_EQ(PixelAt(*blackWhite, x, 0), x % 3 == 0 ? 0xFFFFFFFFu : 0xFF000000u) << x;
    }
    bilevel.transparentGray = 0;  // gray with tRNS counts as gray with alpha
    auto keyed = Decode(EncodePng(bilevel));
    ASSERT_NE(keyed, nullptr);
    EXPECT_EQ(PixelAt(*keyed, 0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(PixelAt(*keyed, 1, 0), 0x00000000u);

    auto grayAlpha = Decode(EncodePng(MakeImage(2, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8, 2,
                                                [](int x, int, int i) {
                                                    return unsigned(i == 0 ? 90 + x : 40);
                                                })));
    ASSERT_NE(grayAlpha, nullptr);
    EXPECT_EQ(PixelAt(*grayAlpha, 0, 0), 0x285A5A5Au);
    EXPECT_EQ(PixelAt(*grayAlpha, 1, 0), 0x285B5B5Bu);

    // Sixteen-bit samples keep their high byte (0x12FF gives 0x12, not a rounded 0x13).
    const unsigned samples[4] = {0x12FF, 0xAB01, 0x0080, 0x7FFF};
    auto deep = Decode(EncodePng(MakeImage(1, 1, PNG_COLOR_TYPE_RGB_ALPHA, 16, 4,
                                           [&](int, int, int i) { return samples[i]; })));
    ASSERT_NE(deep, nullptr);
    EXPECT_EQ(deep->Bits()[0], 0x7F12AB00u);
    auto deepOpaque = Decode(EncodePng(MakeImage(1, 1, PNG_COLOR_TYPE_RGB, 16, 3,
                                                 [&](int, int, int i) { return samples[i]; })));
    ASSERT_NE(deepOpaque, nullptr);
    EXPECT_EQ(deepOpaque->Bits()[0], 0xFF12AB00u);
}

TEST(PngDecode, InterlacedMatchesProgressive) {
    PngImage image = MakeImage(13, 11, PNG_COLOR_TYPE_RGB_ALPHA, 8, 4, [](int x, int y, int i) {
        return unsigned((x * 19 + y * 31 + i * 67) & 0xFF);
    });
    auto progressive = Decode(EncodePng(image));
    image.interlaced = true;
    auto interlaced = Decode(EncodePng(image));
    ASSERT_NE(progressive, nullptr);
    ASSERT_NE(interlaced, nullptr);
    for (int y = 0; y < 11; ++y) {
        for (int x = 0; x < 13; ++x) {
            ASSERT_EQ(PixelAt(*interlaced, x, y), PixelAt(*progressive, x, y)) << x << "," << y;
        }
    }
}

std::vector<uint8_t> SmallRgb() {
    return EncodePng(MakeImage(5, 4, PNG_COLOR_TYPE_RGB, 8, 3, [](int x, int y, int i) {
        return unsigned(x * 50 + y * 20 + i);
    }));
}

// Offset just past the last IDAT chunk: the decoder never reads beyond it.
size_t EndOfImageData(const std::vector<uint8_t>& png) {
    size_t end = 8;
    for (size_t at = 8; at + 8 <= png.size();) {
        const size_t length = size_t(png[at]) << 24 | size_t(png[at + 1]) << 16 |
                              size_t(png[at + 2]) << 8 | png[at + 3];
        const size_t next = at + 12 + length;
        if (std::memcmp(&png[at + 4], "IDAT", 4) == 0) {
            end = next;
        }
        at = next;
    }
    return end;
}

// Under the sanitizer build these also show that nothing decoded so far leaks.
TEST(PngDecode, TruncatedAndCorruptDataGiveNull) {
    const std::vector<uint8_t> png = SmallRgb();
    ASSERT_NE(Decode(png), nullptr);
    const size_t end = EndOfImageData(png);
    for (size_t length = 0; length < end; ++length) {
        std::vector<uint8_t> cut(png.begin(), png.begin() + ptrdiff_t(length));
        EXPECT_EQ(LoadPngFromMemory(cut.data(), int(length)), nullptr) << length;
    }
    std::vector<uint8_t> noEnd(png.begin(), png.begin() + ptrdiff_t(end));
    EXPECT_NE(Decode(noEnd), nullptr);  // the end chunks are never read

    for (size_t at = 8; at < end; ++at) {
        std::vector<uint8_t> corrupt = png;
        corrupt[at] ^= 0x20;
        EXPECT_EQ(Decode(corrupt), nullptr) << "byte " << at;
    }
    std::vector<uint8_t> signatureOnly(png.begin(), png.begin() + 8);
    EXPECT_EQ(Decode(signatureOnly), nullptr);
    EXPECT_EQ(LoadPngFromMemory(png.data(), 7), nullptr);
    EXPECT_EQ(LoadPngFromMemory(nullptr, 100), nullptr);
    std::vector<uint8_t> text(64, 'x');
    EXPECT_EQ(Decode(text), nullptr);
}

// Chunks claiming 2 GiB where the data ends, known (tEXt) and unknown (prVt): libpng would
// allocate and clear 2 GiB for the first, and read and checksum that many zeros fed past the
// end for the second, before failing, seconds later. Both fail at once.
TEST(PngDecode, AChunkRunningFarPastTheEndFailsAtOnce) {
    const std::vector<uint8_t> png = SmallRgb();
    for (const char* name : {"tEXt", "prVt"}) {
        std::vector<uint8_t> cut(png.begin(), png.begin() + 33);  // signature and IHDR
        cut.insert(cut.end(), {0x7F, 0xFF, 0xFF, 0xFF});
        cut.insert(cut.end(), name, name + 4);
        cut.insert(cut.end(), {'a', 'b'});
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(Decode(cut), nullptr) << name;
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        EXPECT_LT(seconds, 0.25) << name;
    }
}

// A valid header for a huge image followed by real data for its first rows.
std::vector<uint8_t> HugeRgb(uint32_t width, uint32_t height) {
    std::vector<uint8_t> png = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
    std::vector<uint8_t> header;
    for (uint32_t value : {width, height}) {
        for (int shift = 24; shift >= 0; shift -= 8) {
            header.push_back(uint8_t(value >> shift));
        }
    }
    header.insert(header.end(), {8, PNG_COLOR_TYPE_RGB, 0, 0, 0});
    const std::vector<uint8_t> ihdr = PngChunk("IHDR", header);
    png.insert(png.end(), ihdr.begin(), ihdr.end());
    std::vector<uint8_t> raw(size_t(2) * (1 + size_t(width) * 3), 0x55);
    raw[0] = raw[raw.size() / 2] = 0;  // filter bytes
    std::vector<uint8_t> packed(compressBound(uLong(raw.size())));
    uLongf packedSize = uLongf(packed.size());
    compress(packed.data(), &packedSize, raw.data(), uLong(raw.size()));
    packed.resize(packedSize);
    const std::vector<uint8_t> idat = PngChunk("IDAT", packed);
    png.insert(png.end(), idat.begin(), idat.end());
    return png;
}

TEST(PngDecode, DimensionsThatOverflowAreRefused) {
    EXPECT_EQ(Decode(HugeRgb(65536, 16385)), nullptr);  // 4 x 65536 x 16385 wraps to 262,144
    EXPECT_EQ(Decode(HugeRgb(40000, 40000)), nullptr);
    EXPECT_EQ(Decode(HugeRgb(1000000, 600)), nullptr);
}

class PngFiles : public testing::Test {
protected:
    std::string Path(const std::string& name) const { return testing::TempDir() + name; }
    std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) const {
        EXPECT_TRUE(WriteFile(Path(name), bytes)) << name;
        return Path(name);
    }
};

TEST_F(PngFiles, DecodeIntoNewOrGivenBitmaps) {
    const std::string path = Write("orv-small.png", SmallRgb());
    auto fresh = LoadPngFile(path.c_str());
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(PixelAt(*fresh, 4, 3), 0xFF040506u);  // samples 260, 261, 262 stored as bytes

    MemBitmap given(5, 4);  // span 8: the padding keeps its guard values
    FillAll(given, 0xDEADBEEF);
    ASSERT_TRUE(LoadPngFile(path.c_str(), given));
    BottomUpBitmap upsideDown;
    ASSERT_TRUE(LoadPngFile(path.c_str(), upsideDown));
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 8; ++x) {
            const uint32_t expected = x < 5 ? PixelAt(*fresh, x, y) : 0xDEADBEEFu;
            EXPECT_EQ(PixelAt(given, x, y), expected) << x << "," << y;
        }
        for (int x = 0; x < 5; ++x) {
            EXPECT_EQ(PixelAt(upsideDown, x, y), PixelAt(*fresh, x, y)) << x << "," << y;
        }
    }
    EXPECT_EQ(upsideDown.Bits()[0], PixelAt(*fresh, 0, 3));  // the last row lies first

    const std::string unicode = Write("orv-\xC3\xA4\xE2\x82\xAC.png", SmallRgb());
    EXPECT_NE(LoadPngFile(unicode.c_str()), nullptr);
    EXPECT_EQ(LoadPngFile(Path("orv-missing.png").c_str()), nullptr);
    const std::vector<uint8_t> png = SmallRgb();
    const std::string broken = Write("orv-broken.png", {png.begin(), png.begin() + 40});
    EXPECT_EQ(LoadPngFile(broken.c_str()), nullptr);
    MemBitmap untouched(2, 2);
    EXPECT_FALSE(LoadPngFile(broken.c_str(), untouched));
}

// A bitmap that cannot change its size.
class FixedBitmap : public MemBitmap {
public:
    FixedBitmap() : MemBitmap(3, 3) {}
    bool Resize(int, int) override { return false; }
};

TEST_F(PngFiles, GivenBitmapThatCannotTakeTheSizeFails) {
    const std::string path = Write("orv-fixed.png", SmallRgb());
    FixedBitmap fixed;
    EXPECT_FALSE(LoadPngFile(path.c_str(), fixed));
}

TEST_F(PngFiles, ExtensionRules) {
    const std::vector<uint8_t> png = SmallRgb();
    // On Windows the backslash names a folder; elsewhere it is part of the file name.
    for (const char* folder : {"dir.x", "dir.png"}) {
        std::filesystem::create_directories(std::filesystem::u8path(Path(folder)));
    }
    const char* accepted[] = {"a.PNG", "dir.x\\b.png", "c.pNg"};
    const char* refused[] = {"b.png.bak", "png", "dir.png\\noext", "d.pn"};
    for (const char* name : accepted) {
        const std::string path = Write(name, png);
        EXPECT_NE(LoadImageByExtension(path.c_str(), true), nullptr) << name;
    }
    for (const char* name : refused) {
        const std::string path = Write(name, png);
        EXPECT_EQ(LoadImageByExtension(path.c_str(), true), nullptr) << name;
        EXPECT_NE(LoadImageByExtension(path.c_str(), false), nullptr) << name;
        MemBitmap target;
        EXPECT_FALSE(LoadImageByExtension(path.c_str(), true, target)) << name;
        EXPECT_TRUE(LoadImageByExtension(path.c_str(), false, target)) << name;
    }
    // The PNG loader joined the image loader list when the program was loaded.
    const ImageLoaderEntry* entry = FirstImageLoader();
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(std::memcmp(entry->filter(), "PNG files (*.PNG)\0*.PNG\0", 25), 0);
    MemBitmap target;
    EXPECT_TRUE(entry->load(Path("a.PNG").c_str(), true, target));
    EXPECT_EQ(target.Width(), 5);
}

}  // namespace
