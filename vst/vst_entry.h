// What a module's exported entry point does for any effect: create one object under the
// process-wide entry lock, fill the presets it left empty and hand the host its AEffect.
// Called from whichever thread the host creates effects on; creation is serialised.
#pragma once

#include "vst/vst_plugin.h"

// Makes one effect object for the host; null when memory is short. Must not throw.
using VstPluginFactory = VstPlugin* (*)(vst2::audioMasterCallback host);

// The new effect's AEffect, or null when its object could not be made complete (nothing is
// left behind then).
vst2::AEffect* CreateVstEffect(vst2::audioMasterCallback host, VstPluginFactory factory);
