#include "lv2/lv2_entry.h"

#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/options/options.h>
#include <lv2/urid/urid.h>

#include <cstring>

#include "plugin/plugin_lock.h"

namespace {

// Process-wide: created when the module loads, destroyed when it unloads.
PluginLock gEntryLock;

// Far below 8 kHz (a subnormal rate, say) the coefficients overflow; no host runs there.
constexpr double kMinSampleRate = 1000;
constexpr double kMaxSampleRate = 1536000;

Lv2Plugin* PluginOf(LV2_Handle instance) { return static_cast<Lv2Plugin*>(instance); }

const void* FeatureData(const LV2_Feature* const* features, const char* uri) {
    for (const LV2_Feature* const* f = features; f != nullptr && *f != nullptr; ++f) {
        if ((*f)->URI != nullptr && std::strcmp((*f)->URI, uri) == 0) return (*f)->data;
    }
    return nullptr;
}

// The host's longest block from its options, 0 when it names none (or cannot map the names).
int MaxBlockLength(const LV2_Feature* const* features) {
    const auto* map = static_cast<const LV2_URID_Map*>(FeatureData(features, LV2_URID__map));
    const auto* options =
        static_cast<const LV2_Options_Option*>(FeatureData(features, LV2_OPTIONS__options));
    if (map == nullptr || map->map == nullptr || options == nullptr) return 0;
    const LV2_URID maxBlock = map->map(map->handle, LV2_BUF_SIZE__maxBlockLength);
    const LV2_URID atomInt = map->map(map->handle, LV2_ATOM__Int);
    for (const LV2_Options_Option* o = options; o->key != 0 || o->value != nullptr; ++o) {
        if (o->context == LV2_OPTIONS_INSTANCE && o->key == maxBlock && o->type == atomInt &&
            o->size == sizeof(int32_t) && o->value != nullptr) {
            const int32_t frames = *static_cast<const int32_t*>(o->value);
            return frames > 0 ? frames : 0;
        }
    }
    return 0;
}

}  // namespace

LV2_Handle InstantiateLv2Plugin(Lv2PluginFactory factory, double sampleRate,
                                const LV2_Feature* const* features) {
    if (!(sampleRate >= kMinSampleRate && sampleRate <= kMaxSampleRate)) return nullptr;
    Lv2Host host;
    host.sampleRate = sampleRate;
    host.maxBlockLength = MaxBlockLength(features);

    LockGuard guard(gEntryLock);
    Lv2Plugin* plugin = factory(host);
    if (plugin == nullptr) return nullptr;
    if (!plugin->IsComplete() || !plugin->AddPreset("Empty", plugin->PresetCount())) {
        delete plugin;
        return nullptr;
    }
    // As a VST 2 host's effOpen does: the effect takes every parameter as it stands.
    plugin->ReportAllParams();
    plugin->TakeHostRate();
    return plugin;
}

void ConnectLv2Port(LV2_Handle instance, uint32_t port, void* data) {
    if (Lv2Plugin* plugin = PluginOf(instance)) plugin->ConnectPort(port, data);
}

void ActivateLv2Plugin(LV2_Handle instance) {
    if (Lv2Plugin* plugin = PluginOf(instance)) plugin->Activate();
}

void RunLv2Plugin(LV2_Handle instance, uint32_t frames) {
    if (Lv2Plugin* plugin = PluginOf(instance)) plugin->Run(frames);
}

void DeactivateLv2Plugin(LV2_Handle instance) {
    if (Lv2Plugin* plugin = PluginOf(instance)) plugin->Deactivate();
}

void CleanupLv2Plugin(LV2_Handle instance) { delete PluginOf(instance); }

const void* Lv2PluginExtensionData(const char* /*uri*/) { return nullptr; }
