// The module's plug-in factory: one audio-effect class, its identity from the generated
// identity header, and instances made by the effect's factory function. Process-wide: the one
// factory lives as long as the module; each GetPluginFactory hands out a reference, and when the
// host has released them all, the host context it was given goes too.
// Threads: the host's UI thread; instances are made one at a time.
#pragma once

#include "vst3/vst3_abi.h"
#include "vst3/vst3_plugin.h"

// Makes one effect object, given the factory's host context; null when memory is short. Must not
// throw.
using Vst3PluginCreate = Vst3Plugin* (*)(vst3::FUnknown* hostContext);

// The module's factory with a reference for the caller (what GetPluginFactory returns).
vst3::IPluginFactory* AcquireVst3Factory(Vst3PluginCreate create);
