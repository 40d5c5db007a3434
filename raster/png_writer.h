// Writing a bitmap as a PNG file, for the tools and tests that save what the editor drew. Nothing
// in the plug-in itself writes files.
#pragma once

class RasterBitmap;

// Width x Height pixels, alpha kept; false when the file cannot be written.
bool WritePngFile(const char* path, const RasterBitmap& bitmap);
