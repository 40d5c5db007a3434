#include <windows.h>

#include <new>

#include "plugin/plugin_lock.h"

namespace {
CRITICAL_SECTION* Section(unsigned char* storage) {
    return std::launder(reinterpret_cast<CRITICAL_SECTION*>(storage));
}
}  // namespace

static_assert(sizeof(CRITICAL_SECTION) <= 64 && alignof(CRITICAL_SECTION) <= 16,
              "PluginLock storage");

PluginLock::PluginLock() { InitializeCriticalSection(new (storage_) CRITICAL_SECTION); }
PluginLock::~PluginLock() { DeleteCriticalSection(Section(storage_)); }
void PluginLock::Enter() { EnterCriticalSection(Section(storage_)); }
void PluginLock::Leave() { LeaveCriticalSection(Section(storage_)); }
