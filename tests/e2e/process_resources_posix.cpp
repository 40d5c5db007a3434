#include <dirent.h>
#include <malloc.h>

#include <fstream>
#include <string>

#include "tests/e2e/process_resources.h"

ProcessResources MeasureProcess() {
    ProcessResources r;
    r.heapBytes = static_cast<long long>(mallinfo2().uordblks);
    if (DIR* fds = opendir("/proc/self/fd")) {
        while (const dirent* entry = readdir(fds)) {
            if (entry->d_name[0] != '.') ++r.handles;
        }
        closedir(fds);
        --r.handles;  // the directory being read
    }
    std::ifstream maps("/proc/self/maps");
    for (std::string line; std::getline(maps, line);) {
        ++r.mappings;
        // ORV_Q12.so, ORV_Q12.clap, ...: the binary of any format's module.
        if (line.find("/ORV_Q12.") != std::string::npos) r.moduleLoaded = true;
    }
    return r;
}

std::string ProcessResources::Describe() const {
    return std::to_string(heapBytes) + " heap bytes, " + std::to_string(handles) +
           " file descriptors, " + std::to_string(mappings) + " mappings, module " +
           (moduleLoaded ? "loaded" : "not loaded");
}
