// The table of resources compiled into a Linux module as byte arrays. The build generates its
// definition from the images (embed_files.cmake).
#pragma once

struct EmbeddedResource {
    int id;
    const char* type;
    const unsigned char* data;
    int size;
};

extern const EmbeddedResource kEmbeddedResources[];
extern const int kEmbeddedResourceCount;
