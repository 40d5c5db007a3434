#include "editor_x11/x11_pixel_format.h"

namespace {

// The lowest set bit's position and the number of set bits of a contiguous mask, or false.
bool MaskShape(uint32_t mask, int& shift, int& bits) {
    if (mask == 0) return false;
    shift = __builtin_ctz(mask);
    bits = __builtin_popcount(mask);
    return bits <= 16 && (mask >> shift) == (1u << bits) - 1;
}

// An 8-bit channel at `bits` bits: the top bits, or the value with its top bits repeated below.
uint32_t Scale(uint32_t v8, int bits) {
    if (bits <= 8) return v8 >> (8 - bits);
    uint32_t v = 0;
    for (int filled = 0; filled < bits; filled += 8) v = v << 8 | v8;
    return v >> ((bits + 7) / 8 * 8 - bits);
}

}  // namespace

X11PixelFormat::X11PixelFormat(uint32_t redMask, uint32_t greenMask, uint32_t blueMask,
                               int bitsPerPixel, int rowPadBits, bool mostSignificantFirst) {
    const uint32_t masks[3] = {redMask, greenMask, blueMask};
    for (int c = 0; c < 3; ++c) {
        if (!MaskShape(masks[c], shift_[c], bits_[c])) return;
    }
    if ((bitsPerPixel != 16 && bitsPerPixel != 32) || rowPadBits < 8 || rowPadBits % 8 != 0) {
        return;
    }
    bytesPerPixel = bitsPerPixel / 8;
    rowPadBytes_ = rowPadBits / 8;
    mostSignificantFirst_ = mostSignificantFirst;
    sameAsFrame = bytesPerPixel == 4 && !mostSignificantFirst && redMask == 0xFF0000 &&
                  greenMask == 0xFF00 && blueMask == 0xFF;
    valid = true;
}

int X11PixelFormat::RowBytes(int width) const {
    const int bytes = width * bytesPerPixel;
    return (bytes + rowPadBytes_ - 1) / rowPadBytes_ * rowPadBytes_;
}

uint32_t X11PixelFormat::Pixel(uint32_t argb) const {
    uint32_t pixel = 0;
    for (int c = 0; c < 3; ++c) {
        const uint32_t v8 = argb >> (16 - 8 * c) & 0xFF;
        pixel |= Scale(v8, bits_[c]) << shift_[c];
    }
    return pixel;
}

void X11PixelFormat::ConvertRow(const uint32_t* source, int width, uint8_t* out) const {
    for (int i = 0; i < width; ++i) {
        const uint32_t pixel = sameAsFrame ? source[i] : Pixel(source[i]);
        for (int b = 0; b < bytesPerPixel; ++b) {
            const int byte = mostSignificantFirst_ ? bytesPerPixel - 1 - b : b;
            *out++ = static_cast<uint8_t>(pixel >> (8 * byte));
        }
    }
}
