// What an effect derives from in the VST 2 module: VstPlugin, made with the host's callback,
// which the module's entry point (VSTPluginMain) receives.
#pragma once

#include "vst/vst_plugin.h"

using EffectAdapter = VstPlugin;
using EffectHost = vst2::audioMasterCallback;
