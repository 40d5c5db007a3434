// RasterBitmap: the interface every drawing operation takes. A pixel is the 32-bit word
// 0xAARRGGBB (bytes B, G, R, A in memory), alpha not premultiplied; rows lie RowSpan pixels apart,
// row 0 first in memory unless IsBottomUp. Bitmaps carry no locks: each is used on one thread
// (the editor's window thread) at a time.
#pragma once

#include <cstdint>

// An operating-system drawing context (HDC on Windows); portable code only passes it along.
using DeviceContextHandle = void*;

class RasterBitmap {
public:
    RasterBitmap() = default;
    RasterBitmap(const RasterBitmap&) = delete;
    RasterBitmap& operator=(const RasterBitmap&) = delete;

    // The virtual operations keep this slot order.
    virtual ~RasterBitmap();
    virtual uint32_t* Bits() const = 0;  // first pixel of row 0, or null
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual int RowSpan() const = 0;  // pixels from one row to the next
    virtual bool IsBottomUp() const;
    virtual bool Resize(int width, int height) = 0;  // true when the size was changed
    virtual DeviceContextHandle DeviceContext() const;
    virtual int Extension() const;
};

// Bytes of pixel storage for rows of `span` pixels, or -1 when the size is empty or the byte
// count (with the 63 bytes of alignment slack) would not fit in 32-bit signed arithmetic.
int64_t PixelStorageBytes(int span, int height);
