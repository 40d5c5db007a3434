#include "clap/clap_entry.h"

#include <cstring>

#include "generated/orv_identity.h"
#include "plugin/plugin_lock.h"

namespace {

// Process-wide: created when the module loads, destroyed when it unloads (not statics of a
// function, whose guards would stay behind in the Windows runtime on every unload).
PluginLock gEntryLock;
int gInitCount = 0;

bool Initialised() {
    LockGuard guard(gEntryLock);
    return gInitCount > 0;
}

}  // namespace

const clap::clap_plugin_descriptor kClapDescriptor = {
    clap::kVersion,
    identity::kClapId,
    identity::kProductName,
    identity::kVendorName,
    identity::kUrl,
    "",
    "",
    identity::kVersionText,
    "A two-channel overdrive: a circuit model of an analog overdrive pedal",
    identity::kClapFeatures,
};

// The module keeps nothing of its own to set up: the image and font caches come with the module.
bool ClapEntryInit(const char*) {
    LockGuard guard(gEntryLock);
    ++gInitCount;
    return true;
}

void ClapEntryDeinit() {
    LockGuard guard(gEntryLock);
    if (gInitCount > 0) --gInitCount;
}

std::uint32_t ClapPluginCount(const clap::clap_plugin_factory*) { return Initialised() ? 1 : 0; }

const clap::clap_plugin_descriptor* ClapPluginDescriptor(const clap::clap_plugin_factory*,
                                                         std::uint32_t index) {
    return index == 0 && Initialised() ? &kClapDescriptor : nullptr;
}

const clap::clap_plugin* CreateClapPlugin(const clap::clap_host* host, const char* pluginId,
                                          ClapPluginMaker make) {
    LockGuard guard(gEntryLock);
    if (gInitCount == 0 || host == nullptr || !clap::IsCompatible(host->version) ||
        pluginId == nullptr || std::strcmp(pluginId, kClapDescriptor.id) != 0) {
        return nullptr;
    }
    ClapPlugin* plugin = make(host);
    if (plugin == nullptr) return nullptr;
    if (!plugin->IsComplete() || !plugin->AddPreset("Empty", plugin->PresetCount())) {
        delete plugin;
        return nullptr;
    }
    return plugin->Plugin();
}

const void* ClapFactory(const char* factoryId, const clap::clap_plugin_factory* factory) {
    if (factoryId == nullptr || std::strcmp(factoryId, clap::kPluginFactoryId) != 0) return nullptr;
    return Initialised() ? factory : nullptr;
}
