#include "vst/vst_entry.h"

#include "plugin/plugin_lock.h"

vst2::AEffect* CreateVstEffect(vst2::audioMasterCallback host, VstPluginFactory factory) {
    // Created on the first call, destroyed at process exit.
    static PluginLock entryLock;
    LockGuard guard(entryLock);

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
