// The module's exported entry points. A host calls VSTPluginMain (or the same function under
// the name main) once per effect instance it creates; creation is serialised across the
// process by the entry lock. ORV_EXPORT comes from the build: dllexport on Windows, default
// visibility elsewhere, where a version script keeps every other symbol local.
#include <new>

#include "effect/orv_q12.h"
#include "plugin/plugin_lock.h"

extern "C" ORV_EXPORT vst2::AEffect* VSTPluginMain(vst2::audioMasterCallback host) {
    // Created on the first call, destroyed at process exit.
    static PluginLock entryLock;
    LockGuard guard(entryLock);

    auto* plugin = new (std::nothrow) ORV_Q12(host);
    if (plugin == nullptr) return nullptr;
    plugin->AddPreset("Empty", plugin->PresetCount());
    vst2::AEffect* effect = plugin->Effect();
    if (effect->numPrograms < 1) effect->numPrograms = 1;
    return effect;
}

// C++ reserves the name main for the program's entry, so the second export is an alias whose
// symbol is set by an assembler label.
extern "C" ORV_EXPORT vst2::AEffect* vstMainAlias(vst2::audioMasterCallback host) asm("main");
vst2::AEffect* vstMainAlias(vst2::audioMasterCallback host) { return VSTPluginMain(host); }
