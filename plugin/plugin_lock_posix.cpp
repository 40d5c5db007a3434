#include <mutex>
#include <new>

#include "plugin/plugin_lock.h"

namespace {
std::recursive_mutex& Mutex(unsigned char* storage) {
    return *std::launder(reinterpret_cast<std::recursive_mutex*>(storage));
}
}  // namespace

static_assert(sizeof(std::recursive_mutex) <= 64 && alignof(std::recursive_mutex) <= 16,
              "PluginLock storage");

PluginLock::PluginLock() { new (storage_) std::recursive_mutex(); }
PluginLock::~PluginLock() { Mutex(storage_).~recursive_mutex(); }
void PluginLock::Enter() { Mutex(storage_).lock(); }
void PluginLock::Leave() { Mutex(storage_).unlock(); }
