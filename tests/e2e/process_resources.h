// What the test process holds, as far as its platform lets a test count it: the heap bytes in
// use, handles (file descriptors on Linux, kernel handles on Windows), the memory mappings or
// GDI objects, and whether a module of ORV Q12 (of any format) is loaded at all.
#pragma once

#include <string>

struct ProcessResources {
    long long heapBytes = 0;  // allocated and not freed, by the C library's allocator
    int handles = 0;          // open file descriptors; kernel handles on Windows
    int mappings = 0;         // memory regions mapped (Linux); GDI objects (Windows)
    bool moduleLoaded = false;

    std::string Describe() const;
};

ProcessResources MeasureProcess();
