// How orv-q12 gets its effect: the factory effect/orv_q12_standalone_entry.cpp defines, the one
// place that binds the effect to the program.
#pragma once

#include <memory>

#include "standalone/standalone_plugin.h"

// A complete effect with its presets filled, as a module's entry point makes one; null when
// memory is short.
std::unique_ptr<StandalonePlugin> CreateStandaloneEffect();
