#include "raster/image_loaders.h"

namespace {
// Process-wide: the head of the loader list, filled at module load and emptied at unload.
ImageLoaderEntry* gFirstLoader = nullptr;
}  // namespace

const ImageLoaderEntry* FirstImageLoader() { return gFirstLoader; }

void PushImageLoader(ImageLoaderEntry* entry) {
    entry->next = gFirstLoader;
    gFirstLoader = entry;
}

void RemoveImageLoader(ImageLoaderEntry* entry) {
    for (ImageLoaderEntry** link = &gFirstLoader; *link; link = &(*link)->next) {
        if (*link == entry) {
            *link = entry->next;
            entry->next = nullptr;
            return;
        }
    }
}
