// What an effect derives from in the VST 3 module: Vst3Plugin, made with what the host gave the
// module's factory as its context (setHostContext; null when it gave none).
#pragma once

#include "vst3/vst3_plugin.h"

using EffectAdapter = Vst3Plugin;
using EffectHost = vst3::FUnknown*;
