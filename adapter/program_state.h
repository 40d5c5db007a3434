// The plug-in's program state as bytes, the same in every format: the chunk header (magic and
// version), then one double per parameter, its plain value in index order. VST 2 exchanges it as
// its program chunk; the other formats store exactly these bytes as their state.
// Threads: any host thread; each operation holds the plug-in lock throughout, so a load never
// meets audio halfway.
#pragma once

#include <cstdint>

#include "plugin/plugin_base.h"
#include "plugin/state_chunk.h"

// Empties chunk and writes the header and the current values; false when memory is short.
bool SaveProgramState(PluginBase& plug, StateChunk& chunk);

// Loads a program state as VST 2 program chunks load: the header is optional (without it the
// values start at byte 0), a value that is not finite leaves its parameter alone, a chunk cut
// short sets the parameters it covers; the current preset then takes the values. Returns the
// position after the values, or -1 for a chunk cut short; the editor is told when it is not -1.
std::int32_t LoadProgramState(PluginBase& plug, const StateChunk& chunk);

// Loads a program state only when it is exactly one: the header with this version, then one
// finite double per parameter and nothing more. Anything else is refused with nothing changed.
// Values outside a parameter's range are taken as its nearer end, as in every other load.
bool LoadProgramStateStrictly(PluginBase& plug, const StateChunk& chunk);
