#include <malloc.h>
#include <windows.h>

#include "tests/e2e/process_resources.h"
#include "tests/win32/host_window.h"

namespace {

// Bytes in the busy blocks of a heap.
long long BusyBytes(HANDLE heap) {
    long long bytes = 0;
    HeapLock(heap);
    PROCESS_HEAP_ENTRY entry = {};
    while (HeapWalk(heap, &entry)) {
        if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) bytes += entry.cbData;
    }
    HeapUnlock(heap);
    return bytes;
}

}  // namespace

ProcessResources MeasureProcess() {
    ProcessResources r;
    // The C library's heap (the module allocates there) and the process heap.
    r.heapBytes =
        BusyBytes(reinterpret_cast<HANDLE>(_get_heap_handle())) + BusyBytes(GetProcessHeap());
    DWORD handles = 0;
    GetProcessHandleCount(GetCurrentProcess(), &handles);
    r.handles = static_cast<int>(handles);
    r.mappings = CountGdiObjects();
    r.moduleLoaded = GetModuleHandleA("ORV_Q12.dll") != nullptr;
    return r;
}

std::string ProcessResources::Describe() const {
    return std::to_string(heapBytes) + " heap bytes, " + std::to_string(handles) + " handles, " +
           std::to_string(mappings) + " GDI objects, module " +
           (moduleLoaded ? "loaded" : "not loaded");
}
