#include "vst/vst_entry.h"

#include "plugin/plugin_lock.h"

namespace {
// Process-wide: created when the module loads, destroyed when it unloads. Not a static of the
// function: guarding its first use would leave the Windows runtime's guard objects behind on
// every unload of the DLL.
PluginLock gEntryLock;
}  // namespace

vst2::AEffect* CreateVstEffect(vst2::audioMasterCallback host, VstPluginFactory factory) {
    LockGuard guard(gEntryLock);

    VstPlugin* plugin = factory(host);
    if (plugin == nullptr) return nullptr;
    if (!plugin->IsComplete() || !plugin->AddPreset("Empty", plugin->PresetCount())) {
        delete plugin;
        return nullptr;
    }
    vst2::AEffect* effect = plugin->Effect();
    if (effect->numPrograms < 1) effect->numPrograms = 1;
    return effect;
}
