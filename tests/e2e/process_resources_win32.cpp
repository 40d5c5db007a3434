#include <malloc.h>
#include <windows.h>
// After windows.h, which it needs.
#include <tlhelp32.h>

#include <cstdint>

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

// Loaded for the whole program, as in a host's process: the module's common dialogs bring in
// the print spooler, and Wine's spooler leaves a mutex handle behind each time it is unloaded.
const HMODULE gSpooler = LoadLibraryA("winspool.drv");

// Kernel handles of the process: GetProcessHandleCount where the system answers it, else the
// handle values that GetHandleInformation recognises (Wine answers the count with 0).
int CountHandles() {
    DWORD count = 0;
    if (GetProcessHandleCount(GetCurrentProcess(), &count) && count > 0) {
        return static_cast<int>(count);
    }
    int found = 0;
    for (uintptr_t value = 4; value < 0x10000; value += 4) {
        DWORD flags = 0;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++found;
    }
    return found;
}

// ORV_Q12.dll, ORV_Q12.clap, ...: the binary of any format's module, among the process's.
bool ModuleLoaded() {
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, GetCurrentProcessId());
    if (snapshot == INVALID_HANDLE_VALUE) return false;
    bool found = false;
    MODULEENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Module32First(snapshot, &entry); more && !found;
         more = Module32Next(snapshot, &entry)) {
        found = _strnicmp(entry.szModule, "ORV_Q12.", 8) == 0;
    }
    CloseHandle(snapshot);
    return found;
}

}  // namespace

ProcessResources MeasureProcess() {
    ProcessResources r;
    // The C library's heap (the module allocates there) and the process heap.
    r.heapBytes =
        BusyBytes(reinterpret_cast<HANDLE>(_get_heap_handle())) + BusyBytes(GetProcessHeap());
    r.handles = CountHandles();
    r.mappings = CountGdiObjects();
    r.moduleLoaded = ModuleLoaded();
    return r;
}

std::string ProcessResources::Describe() const {
    return std::to_string(heapBytes) + " heap bytes, " + std::to_string(handles) + " handles, " +
           std::to_string(mappings) + " GDI objects, module " +
           (moduleLoaded ? "loaded" : "not loaded");
}
