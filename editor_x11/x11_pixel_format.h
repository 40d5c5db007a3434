// X11PixelFormat: how a true-colour visual stores a pixel in the images sent to the server (bits
// per pixel, byte order, where red, green and blue lie), and the conversion of the frame
// buffer's 0xAARRGGBB words into it. The usual 24-bit visual stored in 32 bits is the frame
// buffer's own layout and needs no conversion.
#pragma once

#include <cstdint>

struct X11PixelFormat {
    // A true-colour visual's channel masks in a format of 16 or 32 bits per pixel whose rows are
    // padded to `rowPadBits`; `valid` is false for anything else.
    X11PixelFormat(uint32_t redMask, uint32_t greenMask, uint32_t blueMask, int bitsPerPixel,
                   int rowPadBits, bool mostSignificantFirst);

    bool valid = false;
    int bytesPerPixel = 4;
    // The frame buffer's rows can go to the server as they are.
    bool sameAsFrame = false;

    // Bytes of one row of `width` pixels, padding included.
    int RowBytes(int width) const;
    // The pixel value of a frame buffer word: each 8-bit channel cut to, or widened by
    // repeating its top bits to, the width of the visual's mask.
    uint32_t Pixel(uint32_t argb) const;
    // Converts `width` frame buffer words into one row of the image.
    void ConvertRow(const uint32_t* source, int width, uint8_t* out) const;

private:
    int shift_[3] = {16, 8, 0};  // red, green, blue
    int bits_[3] = {8, 8, 8};
    int rowPadBytes_ = 4;
    bool mostSignificantFirst_ = false;
};
