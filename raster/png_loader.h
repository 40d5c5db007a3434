// Decoding PNG images (module resources, memory blocks, files) with libpng into bitmaps of
// straight-alpha 0xAARRGGBB pixels; opaque images read back with alpha 255. Every failure answers
// null (or false) without a message. Called on the editor's window thread; the functions share no
// state, so they may run on any thread.
#pragma once

#include "raster/mem_bitmap.h"

#include <memory>

// Resource `id` of type "PNG" in `module` (a module handle; see resources/module_resource.h).
// When given, *shortOfMemory tells whether a null result is for lack of memory, which a later
// call may not meet, rather than an image that is not there or cannot be decoded.
std::unique_ptr<MemBitmap> LoadPngResource(void* module, int id, bool* shortOfMemory = nullptr);

// `size` bytes of a PNG image; they are only read during the call. *shortOfMemory as above.
std::unique_ptr<MemBitmap> LoadPngFromMemory(const void* data, int size,
                                             bool* shortOfMemory = nullptr);

// A PNG file named by a UTF-8 path, into a new bitmap ...
std::unique_ptr<MemBitmap> LoadPngFile(const char* utf8Path);
// ... or into `target`, resized to the image (rows honour its IsBottomUp). False when the file
// cannot be decoded or `target` cannot take the image's size.
bool LoadPngFile(const char* utf8Path, RasterBitmap& target);

// As LoadPngFile; with `checkExtension` set, a path whose extension is not ".png" (any case) is
// refused without opening it. The extension runs from the last dot after the last '/' or '\\';
// a path with no such dot counts whole as its extension.
std::unique_ptr<MemBitmap> LoadImageByExtension(const char* utf8Path, bool checkExtension);
bool LoadImageByExtension(const char* utf8Path, bool checkExtension, RasterBitmap& target);

// The file-dialog filter of the PNG loader: "PNG files (*.PNG)", NUL, "*.PNG", NUL, NUL.
const char* PngFileFilter();
