// What a module's exported LV2 entry points do for any effect: the plug-in's descriptor, whose
// instantiate reads the host's features and makes one object, and the functions behind the
// descriptor's other calls, each handing the call to the instance's Lv2Plugin.
// Threads: instantiate and cleanup come from whichever thread the host creates plug-ins on;
// creation is serialised.
#pragma once

#include <lv2/core/lv2.h>

#include "lv2/lv2_plugin.h"

// Makes one effect object for the host; null when memory is short. Must not throw.
using Lv2PluginFactory = Lv2Plugin* (*)(Lv2Host host);

// The new plug-in instance, or null for a rate no host runs at or an object that could not be
// made complete (nothing is left behind then).
LV2_Handle InstantiateLv2Plugin(Lv2PluginFactory factory, double sampleRate,
                                const LV2_Feature* const* features);

void ConnectLv2Port(LV2_Handle instance, uint32_t port, void* data);
void ActivateLv2Plugin(LV2_Handle instance);
void RunLv2Plugin(LV2_Handle instance, uint32_t frames);
void DeactivateLv2Plugin(LV2_Handle instance);
void CleanupLv2Plugin(LV2_Handle instance);
// No extension interface: the control ports are the plug-in's whole state.
const void* Lv2PluginExtensionData(const char* uri);

// The descriptor of the plug-in at uri whose instantiate calls InstantiateLv2Plugin.
constexpr LV2_Descriptor Lv2PluginDescriptor(const char* uri,
                                             LV2_Handle (*instantiate)(const LV2_Descriptor*,
                                                                       double, const char*,
                                                                       const LV2_Feature* const*)) {
    return {uri,           instantiate,          &ConnectLv2Port,   &ActivateLv2Plugin,
            &RunLv2Plugin, &DeactivateLv2Plugin, &CleanupLv2Plugin, &Lv2PluginExtensionData};
}
