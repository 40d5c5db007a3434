// A host's audio buffers through the plug-in's ProcessBlock, as every format's process callback
// runs them. The host hands one buffer per connected channel (1 or 2 each way here), in channel
// order; inputs and outputs may be the same buffers. Single precision goes through the
// channels' scratch buffers as doubles, double precision goes straight to the effect. A block
// longer than the block size the plug-in was given runs in consecutive pieces of at most that
// size, so no scratch buffer is overrun. Nothing is allocated.
// Threads: the host's audio thread; each call holds the plug-in lock throughout.
#pragma once

#include "plugin/plugin_base.h"

// Frames offset .. offset + frames of the host's float buffers; accumulate adds the result to
// what the outputs hold instead of replacing it.
void ProcessHostAudio(PluginBase& plug, float* const* inputs, float* const* outputs, int offset,
                      int frames, bool accumulate = false);
void ProcessHostAudio(PluginBase& plug, double* const* inputs, double* const* outputs, int offset,
                      int frames);
