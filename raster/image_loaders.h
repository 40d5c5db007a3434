// The process-wide list of image loaders, newest first. The PNG loader joins it when the module is
// loaded and leaves it when the module is unloaded; a generic image loader can walk it to find a
// loader by extension. Entries are linked and unlinked only while the module loads and unloads.
#pragma once

class RasterBitmap;

struct ImageLoaderEntry {
    bool (*load)(const char* utf8Path, bool checkExtension, RasterBitmap& target);
    const char* (*filter)();  // file-dialog filter: pairs of NUL-terminated strings, then a NUL
    ImageLoaderEntry* next;
};

const ImageLoaderEntry* FirstImageLoader();
void PushImageLoader(ImageLoaderEntry* entry);
void RemoveImageLoader(ImageLoaderEntry* entry);
